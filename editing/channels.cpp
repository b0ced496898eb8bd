// Choosing the edited channel, showing it, and the left/right link button with what the link
// dialog hands back.
#include "app/form.h"
#include "app/tarn80x.h"
#include "editing/channel_state.h"
#include "editing/link_form.h"
#include "editing/output_format.h"
#include "graph/response.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace tarn {

namespace {

bool linkedAny(int ch) {
    const auto& row = Pc.Link_Matrix[static_cast<size_t>(ch)];
    return std::any_of(row.begin(), row.end(), [](uint8_t v) { return v != 0; });
}

} // namespace

void Tarn80X::BT_CH_Click() {
    const QObject* button = sender();
    if (!button) return;
    const int ch = Channel_From_Name(button->objectName());
    if (ch >= 0) BT_CH_Switch(ch);
}

void Tarn80X::BT_CH_Switch(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    for (int k = 0; k < kChannels; ++k)
        Set_Look(ui->chButton[static_cast<size_t>(k)],
                 k == ch ? ButtonLook::Selected : ButtonLook::Plain);
    Pc.Cur_CH = static_cast<uint8_t>(ch);
    Set_Look(ui->BT_LINK, linkedAny(ch) ? ButtonLook::Selected : ButtonLook::Plain);
    Channel_Refresh(ch);
}

void Tarn80X::Channel_Refresh(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    const size_t i = static_cast<size_t>(ch);
    Pc.Cur_Band = 0;
    Pc.Cur_CH = static_cast<uint8_t>(ch);
    ui->chVol[i]->setText(Volume_Text(Param_Image.CH_Vol(ch)));
    ui->chDelay[i]->setText(GetDelayDisplayStr(Param_Image.CH_Delay(ch)));
    Crossover_Show(ch);
    EQ_Bypass_Show(ch);
    HPF_Curve_Calc(static_cast<uint8_t>(ch));
    LPF_Curve_Calc(static_cast<uint8_t>(ch));
    // A band whose gain slider moves runs the slider's handler, which copies it to the linked
    // channels and sends it while online.
    for (int b = 0; b < kBands; ++b) {
        Pc.Cur_Band = static_cast<uint8_t>(b);
        EQ_Band_Show(ch, b);
    }
    Pc.Cur_Band = 0;
    tarn::EQ_Curve_Calc(static_cast<uint8_t>(ch));
    tarn::Curve_Points_Update(static_cast<uint8_t>(ch));
    Graph_Repaint();
}

void Tarn80X::on_BT_LINK_clicked() {
    const int ch = Pc.Cur_CH;
    if (!linkedAny(ch)) {
        auto* form = new LinkForm;
        form->setAttribute(Qt::WA_DeleteOnClose);
        connect(form, &LinkForm::LinkForm_ChangeEvent, this, &Tarn80X::LinkForm_ChangeUpdate);
        // Without an owner it would outlive the window it edits.
        connect(this, &QObject::destroyed, form, &QObject::deleteLater);
        form->show();
        return;
    }
    // Unlink: both directions, from whichever member of the pair is being edited.
    Chan.Link_Active = 0;
    for (int j = 0; j < kChannels; ++j) {
        Pc.Link_Matrix[static_cast<size_t>(ch)][static_cast<size_t>(j)] = 0;
        Pc.Link_Matrix[static_cast<size_t>(j)][static_cast<size_t>(ch)] = 0;
    }
    Set_Look(ui->BT_LINK, ButtonLook::Plain);
    Chan.Link_Base = kLinkBaseNone;
}

void Tarn80X::LinkForm_ChangeUpdate(uint8_t TempCH) {
    if (TempCH >= kChannels) return;
    const LinkCopyChange copied = Chan.Link_Sync_Pending[TempCH];
    Chan.Link_Sync_Pending[TempCH] = LinkCopyChange{};
    if (Chan.Link_Active == 0) {
        Set_Look(ui->BT_LINK, ButtonLook::Plain);
        Chan.Link_Base = kLinkBaseNone;
        return;
    }
    Set_Look(ui->BT_LINK, ButtonLook::Selected);

    // Showing the channel runs the gain-slider handler of every band whose slider moves, and
    // that handler sends the band. Watching the same signal tells which bands those were.
    uint32_t sentByShow = 0;
    std::array<QMetaObject::Connection, kBands> watch;
    for (int b = 0; b < kBands; ++b)
        watch[b] = connect(ui->eqGainSlider[b], &QSlider::valueChanged, this,
                           [&sentByShow, b] { sentByShow |= 1u << b; });
    BT_CH_Switch(TempCH);
    for (const QMetaObject::Connection& c : watch)
        disconnect(c);
    Pc.Cur_Band = 0;
    // Each send is checked on its own: a failed write takes the link offline.
    const auto online = [] { return Link_Online(); };
    if (online()) Send_HPF(TempCH);
    if (online()) Send_LPF(TempCH);
    // The bypass and every band the copy changed that the show did not send (frequency or Q
    // alone, a gain the slider already stood at, a gain beyond the slider): without these the
    // unit would keep values the window no longer shows.
    if (!copied.eq) return;
    if (online()) Send_EQ_Bypass(TempCH);
    for (int b = 0; b < kBands; ++b) {
        const uint32_t bit = 1u << b;
        if ((copied.bands & bit) && !(sentByShow & bit) && online()) Send_EQ_Band(TempCH, b);
    }
}

} // namespace tarn
