// Choosing the edited channel, showing it, and the left/right link button with what the link
// dialog hands back.
#include "app/form.h"
#include "app/tarn80x.h"
#include "editing/link_form.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/output_format.h"

#include <QPushButton>

namespace tarn {

void Tarn80X::BT_CH_Click() {
    const QObject* button = sender();
    if (!button) return;
    const int ch = Channel_From_Name(button->objectName());
    if (ch >= 0) BT_CH_Switch(ch);
}

// Every band whose slider has to move is sent again (with the linked copies), as a slider move.
void Tarn80X::BT_CH_Switch(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    Edit(0, [&] { core->Channel_Switch(ch); });
    Channel_Refresh(ch);
}

// The display part of a channel switch: every per-channel control from the mirror.
void Tarn80X::Channel_Refresh(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    Pc.Cur_CH = static_cast<uint8_t>(ch);
    Pc.Cur_Band = 0;
    Refresh_Widgets(RefreshChannel | RefreshEq | RefreshCrossover | RefreshOutputs);
}

void Tarn80X::on_BT_LINK_clicked() {
    if (!core->Linked_Any(Pc.Cur_CH)) {
        auto* form = new LinkForm;
        form->setAttribute(Qt::WA_DeleteOnClose);
        connect(form, &LinkForm::LinkForm_SyncRequested, this, &Tarn80X::Link_Synchronise);
        connect(form, &LinkForm::LinkForm_ChangeEvent, this, &Tarn80X::LinkForm_ChangeUpdate);
        // Without an owner it would outlive the window it edits.
        connect(this, &QObject::destroyed, form, &QObject::deleteLater);
        form->show();
        return;
    }
    // Unlink: both directions, from whichever member of the pair is being edited.
    Edit(RefreshChannel, [this] { core->Link_Unlink(); });
}

void Tarn80X::Link_Synchronise() {
    Edit(RefreshAll, [this] { core->Link_Synchronise(); });
}

void Tarn80X::LinkForm_ChangeUpdate(uint8_t TempCH) {
    if (TempCH >= kChannels) return;
    Edit(RefreshAll, [&] { core->Link_Received(TempCH, LinkCopyChange{}); });
}

} // namespace tarn
