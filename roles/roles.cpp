// Speaker roles on the window: the role menus' enabled state, the name buttons and the role slots.
// Names and presets are in role_rules.cpp.
#include "session/roles.h"

#include "app/form.h"
#include "app/tarn80x.h"
#include "model/param_image.h"

#include <QAction>
#include <QPushButton>

namespace tarn {

void Tarn80X::Update_Channel_Name() {
    for (int ch = 0; ch < kChannels; ++ch)
        ui->chNameButton[ch]->setText(tr2(Role_Name(Param_Image.CH_Name(ch))));
}

void Tarn80X::Channel_Display() {
    for (const RoleMenu& menu : menus.role)
        for (int code = 0; code < kRoleSubwoofer + 1; ++code)
            menu.entry[code]->setEnabled(true);
    // Codes 0..18 belong to one channel at a time.
    for (int ch = 0; ch < kChannels; ++ch) {
        const uint8_t code = Param_Image.CH_Name(ch);
        if (code < kRoleSubwoofer)
            for (const RoleMenu& menu : menus.role)
                menu.entry[code]->setEnabled(false);
    }
    Update_Channel_Name();
}

void Tarn80X::Role_Uncheck_All() {
    for (const RoleMenu& menu : menus.role)
        for (QAction* a : menu.entry) {
            a->setCheckable(false);
            a->setCheckable(true);
        }
}

void Tarn80X::Role_Refresh() {
    Channel_Display();
    Role_Uncheck_All();
}

void Tarn80X::Role_Select(int ch, int code) {
    if (code < 0 || code >= kRoleCount) return;
    Edit(RefreshAll, [&] { core->Role_Select(ch, static_cast<uint8_t>(code)); });
}

} // namespace tarn
