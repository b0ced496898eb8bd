#include "app/desktop.h"

#include "app/settings.h"
#include "app/tarn80x.h"
#include "i18n/qt_translations.h"
#include "link/device_access.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/access_texts.h"
#include "session/text.h"
#include "views/status_bar.h"
#include "widgets/notice.h"

#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>

namespace tarn {

void App_Set_Scaling_Attributes() {
    // A desktop at 150 % gets 1.5, however it says so: rounded to 2 the window would not fit a
    // 1920x1080 screen.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

QIcon App_Icon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tarn80x_%1.png").arg(size), QSize(size, size));
    return icon;
}

void Desktop_Attach(Tarn80X& window) {
    window.setWindowIcon(App_Icon());
    Settings_Restore(window);
    Qt_Translations_Apply(Pc.Lang_EN != 0);
    window.statusBar().showAccessStatus();
    QPointer<Tarn80X> target(&window);
    DeviceAccess& access = Link_Machine().access();
    access.changed = [target, &access](bool tellUser) {
        if (!target) return;
        target->statusBar().showAccessStatus();
        if (!tellUser) return;
        const bool inUse = access.state() == UnitAccess::InUse;
        Show_Warning(Fill_Text(inUse ? txt::AccessInUse : txt::AccessLocked, {access.detail()}));
    };
}

void Desktop_Detach(Tarn80X& window) {
    Link_Machine().access().changed = nullptr;
    Settings_Save(window);
}

} // namespace tarn
