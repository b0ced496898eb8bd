// The window's side of the editing session: its undo and redo menu entries, and the refresh of
// the editing widgets from the mirror. Refreshing blocks the widgets' signals, so it never edits
// and never sends.
#include "app/form.h"
#include "app/tarn80x.h"
#include "graph/response.h"
#include "session/channel_state.h"
#include "session/eq_format.h"
#include "session/output_format.h"
#include "views/crossover.h"
#include "views/outputs.h"
#include "widgets/refresh.h"
#include "widgets/styles.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace tarn {

namespace {

size_t at(int i) {
    return static_cast<size_t>(i);
}

} // namespace

void Tarn80X::Editing_Core_Init() {
    session = std::make_unique<EditSession>(Param_Image, Pc, Chan);
    core = &session->core();
    connect(session.get(), &EditSession::refreshNeeded, this, &Tarn80X::Refresh_Widgets);
    connect(session.get(), &EditSession::canUndoChanged, this, [this] { Undo_Actions_Update(); });
    connect(session.get(), &EditSession::canRedoChanged, this, [this] { Undo_Actions_Update(); });
}

void Tarn80X::Edit(unsigned refresh, const std::function<void()>& edit, Gesture gesture, int band) {
    session->apply(refresh, edit, gesture, band);
}

void Tarn80X::Option_Undo_Fun() {
    session->undo();
}

void Tarn80X::Option_Redo_Fun() {
    session->redo();
}

void Tarn80X::Undo_Actions_Update() {
    if (menus.undo) menus.undo->setEnabled(session->canUndo());
    if (menus.redo) menus.redo->setEnabled(session->canRedo());
}

// ---- refresh ----

void Tarn80X::Refresh_Widgets(unsigned refresh, int band) {
    if (refresh & RefreshChannel) channelBar_->refreshButtons();
    if (refresh & RefreshEq) {
        Refresh_Eq();
    } else if ((refresh & RefreshBand) && band >= 0 && band < kBands) {
        Refresh_Band(band);
        tarn::EQ_Curve_Calc(Pc.Cur_CH);
        Curve_Points_Update(Pc.Cur_CH);
        Graph_Repaint();
    }
    if (refresh & RefreshCrossover) Refresh_Crossover();
    if (refresh & RefreshOutputs) outputs_->refresh();
    if (refresh & RefreshInput) channelBar_->showInputButtons();
    if (refresh & RefreshNoiseGate) {
        const uint16_t gate = Param_Image.NoiseGate();
        if (gate <= 6) menus.noiseGateLevel[gate]->setChecked(true);
    }
    if (refresh & RefreshRoles) channelBar_->refreshRoles();
}

// The entries show the stored values in their own format, never the text as typed: a typed Q of
// 2.55 is stored as 2.5, and the screen must not show what the unit does not hold.
void Tarn80X::Refresh_Band(int band) {
    const uint8_t ch = Pc.Cur_CH;
    const size_t b = at(band);
    Set_Text(ui->eqGain[b], Eq_Gain_Text(Param_Image.EQ_Gain_Signed(ch, band)));
    Set_Text(ui->eqFreq[b], Eq_Freq_Text(Param_Image.EQ_Freq(ch, band)));
    Set_Text(ui->eqQ[b], Eq_Q_Text(Param_Image.EQ_Q(ch, band)));
    Set_Slider(ui->eqGainSlider[b], core->slider[b]);
    Place_Band_Marker(band);
    EQ_Led_Show(ch, band);
}

void Tarn80X::Refresh_Eq() {
    for (int b = 0; b < kBands; ++b)
        Refresh_Band(b);
    EQ_Bypass_Show(Pc.Cur_CH);
    tarn::EQ_Curve_Calc(Pc.Cur_CH);
    Curve_Points_Update(Pc.Cur_CH);
    Graph_Repaint();
}

void Tarn80X::Refresh_Crossover() {
    const uint8_t ch = Pc.Cur_CH;
    crossover_->refresh();
    HPF_Curve_Calc(ch); // the curves also place the markers and their lines
    LPF_Curve_Calc(ch);
    Curve_Points_Update(ch);
    Graph_Repaint();
}

} // namespace tarn
