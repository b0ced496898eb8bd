#include "i18n/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarn {

bool Qt_Translations_Apply(bool english) {
    static QTranslator* chinese = nullptr;
    static bool installed = false; // installed twice, it would take two removals
    if (english) {
        if (installed) QCoreApplication::removeTranslator(chinese);
        installed = false;
        return false;
    }
    if (!chinese) {
        // Owned by the application object, so it goes with it.
        auto* loaded = new QTranslator(QCoreApplication::instance());
        if (!loaded->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete loaded;
            return false;
        }
        chinese = loaded;
    }
    if (!installed) installed = QCoreApplication::installTranslator(chinese);
    return installed;
}

} // namespace tarn
