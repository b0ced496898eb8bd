#include "app/settings.h"

#include "app/tarn80x.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/output_format.h"
#include "views/outputs.h"
#include "widgets/file_dialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace tarn {

namespace {

constexpr char kLanguage[] = "language";
constexpr char kWindowPos[] = "window/position";
constexpr char kWindowSize[] = "window/size";
constexpr char kWindowMaximized[] = "window/maximized";
constexpr char kDelayUnit[] = "delay/unit";

} // namespace

void Settings_Restore(Tarn80X& window) {
    QSettings s = App_Settings();
    if (s.value(kLanguage).toString() == QLatin1String("en")) window.Language_Set(1);
    if (s.value(kDelayUnit).toString() == QLatin1String("cm"))
        window.outputsStrip().setDelayUnit(kDelayUnitCm);
    const QPoint pos = s.value(kWindowPos).toPoint();
    // Only onto a screen that is still there: a monitor may have gone since.
    if (s.contains(kWindowPos) && QGuiApplication::screenAt(pos + QPoint(40, 20))) window.move(pos);
    // The size as left, never below the smallest, and within the screen when the screen can hold
    // the smallest window.
    QSize size = s.value(kWindowSize).toSize().expandedTo(window.minimumSize());
    const QScreen* screen = QGuiApplication::screenAt(window.pos() + QPoint(40, 20));
    if (screen && screen->availableSize().width() >= window.minimumWidth() &&
        screen->availableSize().height() >= window.minimumHeight())
        size = size.boundedTo(screen->availableSize());
    if (s.contains(kWindowSize)) window.resize(size);
    // On a screen: a place saved at another scale (100 % then, 150 % now) may reach past the right
    // or bottom edge, and one saved on a screen no longer attached lies on none (then the primary
    // screen takes it). A window that fits is kept wholly inside; along a side where it is larger
    // than the screen, its top-left corner stays on the screen with room to take it by.
    if (const QScreen* home = screen ? screen : QGuiApplication::primaryScreen()) {
        const QRect room = home->availableGeometry();
        const auto keep = [](int at, int length, int first, int roomLength) {
            constexpr int kGrip = 100;
            const int last = length <= roomLength ? first + roomLength - length
                                                  : first + qMax(0, roomLength - kGrip);
            return qBound(first, at, last);
        };
        const QPoint at(keep(window.x(), window.width(), room.left(), room.width()),
                        keep(window.y(), window.height(), room.top(), room.height()));
        if (at != window.pos()) window.move(at);
    }
    if (s.value(kWindowMaximized).toBool())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void Settings_Save(const Tarn80X& window) {
    QSettings s = App_Settings();
    s.setValue(kLanguage, Pc.Lang_EN ? QStringLiteral("en") : QStringLiteral("zh"));
    s.setValue(kDelayUnit,
               Chan.Delay_Unit == kDelayUnitCm ? QStringLiteral("cm") : QStringLiteral("ms"));
    // A maximised window is remembered as maximised, with the place and size it goes back to.
    const QRect normal = window.isMaximized() ? window.normalGeometry() : window.geometry();
    s.setValue(kWindowPos, window.isMaximized() ? normal.topLeft() : window.pos());
    s.setValue(kWindowSize, normal.size());
    s.setValue(kWindowMaximized, window.isMaximized());
}

} // namespace tarn
