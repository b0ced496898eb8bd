// The window's side of the link: what the link machine reports becomes the status text, the
// read-back bar, notices and the controls refreshed from the image.
#include "app/desktop.h"
#include "app/form.h"
#include "app/notice.h"
#include "app/tarn80x.h"
#include "editing/button_look.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "presets/transfer_session.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace tarn {

void Tarn80X::Link_Init() {
    LinkMachine& link = Link_Machine();
    connect(&link, &LinkMachine::statusChanged, this, &Tarn80X::Show_Link_Status);
    connect(&link, &LinkMachine::readbackProgress, this, [this](int block) {
        ui->TickBar->setValue(block);
        ui->TickBar->show();
        Show_Status_Note();
    });
    connect(&link, &LinkMachine::readbackEnded, this, [this] {
        ui->TickBar->hide();
        Show_Status_Note();
    });
    connect(&link, &LinkMachine::readbackComplete, this, &Tarn80X::Readback_Applied);
    connect(&link, &LinkMachine::writeFailed, this, [] { Show_Notice(txt::CommError); });
    connect(&link, &LinkMachine::unitRefused, this, [] { Show_Notice(txt::NameMismatch); });
    connect(&link, &LinkMachine::unitSilent, this, [] { Show_Notice(txt::UnitSilent); });
    connect(&link, &LinkMachine::unitTrouble, this, [] { Show_Notice(txt::UnitTrouble); });
    connect(&link, &LinkMachine::severalUnits, this, [] { Show_Notice(txt::SeveralUnits); });
    connect(&link, &LinkMachine::inputSourceReported, this, &Tarn80X::Show_Input_Buttons);
    // The unit's own knob moved: the master strip shows what the unit now holds.
    connect(&link, &LinkMachine::masterVolumeReported, this,
            [this] { Refresh_Widgets(RefreshOutputs); });
    link.setAutoRun(true);
}

void Tarn80X::Link_Shutdown() {
    LinkMachine& link = Link_Machine();
    link.setAutoRun(false);
    Transfer_Abandon();
    link.abandonJob();
    disconnect(&link, nullptr, this, nullptr);
    disconnect(&link, nullptr, ui->TickBar, nullptr);
    link.closeUnit();
}

void Tarn80X::Link_Tick() {
    Link_Machine().tick();
}

void Tarn80X::Show_Link_Status() {
    const LinkMachine& link = Link_Machine();
    ui->BT_CONNECT->setText(tr2(link.statusLevel() == 2 ? txt::StatusOnline : txt::StatusOffline));
    Show_Access_Status(*ui);
    Show_Status_Note();
}

void Tarn80X::Show_Status_Note() {
    const bool english = Pc.Lang_EN != 0;
    QString note;
    if (Link_Machine().statusLevel() == 0) {
        note = tr2(txt::StatusOfflineNote, english);
        savedWhere[0].clear(); // that file came from a unit no longer here
        savedWhere[1].clear();
    } else {
        note = savedWhere[english ? 1 : 0];
    }
    QLabel* label = ui->Label_Status;
    // A long path loses its middle, not the file name; the tooltip keeps it whole.
    label->setText(
        label->fontMetrics().elidedText(note, Qt::ElideMiddle, label->contentsRect().width()));
    label->setToolTip(note);
    label->setVisible(!note.isEmpty() && ui->TickBar->isHidden());
}

void Tarn80X::Show_Saved_Where(const QString& path) {
    const BilingualText text = Fill_Text(txt::StatusSavedTo, {QDir::toNativeSeparators(path)});
    savedWhere[0] = text.zh;
    savedWhere[1] = text.en;
    Show_Status_Note();
}

void Tarn80X::Readback_Applied() {
    ui->TickBar->hide();
    Show_Status_Note();
    Update_All_State();
    Image_Replaced();
}

void Tarn80X::Update_All_State() {
    // Limits every field first; the master mute is judged on the mute bytes as received.
    Apply_Validity_Rules(Param_Image, Pc);
    Show_Input_Buttons();
    ui->Slider_Total_Bar->setValue(Param_Image.Total_Vol());
    ui->BT_MainMute->setStyleSheet(Pc.Master_Mute ? kStyleSelected : kStyleUnselected);
    Role_Refresh();
    Show_Channel_Outputs();
    for (int ch = 0; ch < kChannels; ++ch) {
        Draw_Phase_Button(ch);
        Draw_Mute_Button(ch);
    }
    const uint16_t gate = Param_Image.NoiseGate();
    if (gate <= 6) menus.noiseGateLevel[gate]->setChecked(true);
    BT_CH_Switch(0);
}

} // namespace tarn
