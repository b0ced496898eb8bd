// The option menu's About entry and the factory reset.
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "presets/about_form.h"
#include "presets/scene_manager.h"
#include "widgets/notice.h"

#include <QPointer>

namespace tarn {

namespace {

constexpr Bilingual kResetQuestion{"确定要将当前机器复位到出厂模式？",
                                   "Reset the unit to its factory settings?"};
constexpr Bilingual kResetDone{"复位完成，请耐心等待2秒钟后自动更新UI！",
                               "Reset done. The screen is updated in 2 seconds!"};

// The unit's time to reset before it is opened again and read back: the two seconds the notice
// tells the user of.
constexpr uint16_t kResetReconnectTicks = 1000;

// The one About box on screen: a new one (with the version as it stands now) replaces it.
QPointer<AboutForm> openAbout;

} // namespace

void Tarn80X::Option_Sub2_Fun() {
    if (openAbout) openAbout->close(); // deleted on close
    auto* about = new AboutForm;
    about->setAttribute(Qt::WA_DeleteOnClose);
    openAbout = about;
    about->show();
}

// Factory reset: asks, sends the reset, and gives the unit two seconds on the link's own clock
// before it is opened again and read back, however long the notice stays open.
void Tarn80X::Option_Sub3_Fun() {
    if (!Link_Online()) return; // nothing to reset while offline
    // Online but still reading the unit back: the sender would drop the reset.
    if (!Unit_Ready_For_Commands()) {
        Show_Notice(txt::ConnectFirst);
        return;
    }
    if (!Ask_Question_Default_No(Text_Of(kResetQuestion))) return; // Return must not reset
    if (!Unit_Ready_For_Commands()) { // the link changed while the question was open
        Show_Notice(txt::ConnectFirst);
        return;
    }
    Send_Factory_Reset();
    if (!Link_Online()) return; // the write failed; the sender has told the user
    Link_Machine().setReconnectCount(kResetReconnectTicks);
    Show_Notice(kResetDone);
}

} // namespace tarn
