# What `cmake --install` and the Debian package ship: the application and its command line, the
# udev rule that gives the user at the seat access to the unit, the desktop entry, the icons, the
# AppStream metainfo and the licence.
include(GNUInstallDirs)

set(TARN_APP_ID org.tarn80x.tarn80x)
# Relative to the prefix: /usr/lib/udev/rules.d in the package; udev also reads
# /usr/local/lib/udev/rules.d, so a default `cmake --install` works after a reload too.
set(TARN_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "Where the udev rule is installed")

install(TARGETS tarn80x tarn80x-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/70-tarn80x.rules DESTINATION ${TARN_UDEV_RULES_DIR})
install(FILES packaging/${TARN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(packaging/${TARN_APP_ID}.metainfo.xml.in
               ${CMAKE_CURRENT_BINARY_DIR}/${TARN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${TARN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/icons/tarn80x.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES packaging/icons/tarn80x_${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME tarn80x.png)
endforeach()
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarn80x)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tarn80X developers")
set(CPACK_PACKAGE_CONTACT "The Tarn80X developers <tarn80x@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tuning application for a six-channel car-audio DSP")
set(CPACK_PACKAGE_DESCRIPTION
    "Finds the DSP on the USB bus, reads its parameters, shows them on one window and sends every change at once.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "udev")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Only the application: the demo, tests and benchmarks are not installed.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_CURRENT_BINARY_DIR};${PROJECT_NAME};ALL;/")
include(CPack)
