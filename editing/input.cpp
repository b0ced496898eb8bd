// Input source buttons and the noise-gate submenu.
#include "app/form.h"
#include "app/tarn80x.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "widgets/styles.h"

#include <QAction>
#include <QPushButton>

namespace tarn {

namespace {

constexpr uint8_t kSourceHigh = 0;
constexpr uint8_t kSourceOptical = 2;

// The button of `source` gets the selected look, the other four the plain one. A source above 2
// selects none.
void drawInputButtons(Form* ui, int source) {
    QPushButton* const bySource[] = {ui->BT_INPUT_HI, ui->BT_INPUT_LOW, ui->BT_INPUT_OPT};
    for (QPushButton* button : {ui->BT_INPUT_HI, ui->BT_INPUT_LOW, ui->BT_INPUT_OPT,
                                ui->BT_INPUT_BT, ui->BT_INPUT_COAX}) {
        const bool selected = source >= 0 && source <= 2 && bySource[source] == button;
        Set_Look(button, selected ? ButtonLook::Selected : ButtonLook::Plain);
    }
}

} // namespace

void Tarn80X::Show_Input_Buttons() {
    drawInputButtons(ui, Param_Image.Input_Source());
}

void Tarn80X::Input_Select(uint8_t source) {
    // Redrawn on every click, even when the source does not change.
    Edit(RefreshInput, [&] { core->Input_Select(source); });
}

void Tarn80X::on_BT_INPUT_HI_clicked() {
    Input_Select(kSourceHigh);
}
void Tarn80X::on_BT_INPUT_OPT_clicked() {
    Input_Select(kSourceOptical);
}
void Tarn80X::on_BT_INPUT_BT_clicked() {}
void Tarn80X::on_BT_INPUT_COAX_clicked() {}

void Tarn80X::Option_NoiseGate_Select(int level) {
    if (level < 0 || level > 6) return;
    // The exclusive group moves the mark when the user picks an entry; the refresh keeps it right
    // when the level is chosen any other way (undo, redo).
    Edit(RefreshNoiseGate, [&] { core->NoiseGate_Select(level); });
}

} // namespace tarn
