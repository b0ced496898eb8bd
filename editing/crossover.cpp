// Crossover editing of Cur_CH: the type and slope menus, the frequency entries and the step
// buttons, for the high-pass and the low-pass filter alike (lowPass picks the set); each forwards
// to the editing core's filter-edit routine as one undo step. Keys and wheel on the entries arrive
// through EqCrossover_EventFilter (eq_bands.cpp) and end in Filter_Freq_Step.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/eq_format.h"

#include <QLineEdit>
#include <optional>

namespace tarn {

namespace {

// A click on any step button within this many link ticks of the previous one is a fast step.
constexpr uint8_t kRepeatGuardTicks = 25;

struct FilterWidgets {
    QLineEdit* freq;
};

FilterWidgets Widgets_Of(const Form* ui, bool lowPass) {
    return {lowPass ? ui->Edit_LPF_Freq : ui->Edit_HPF_Freq};
}

const FilterFields& Fields_Of(bool lowPass) {
    return lowPass ? kLpfFields : kHpfFields;
}

} // namespace

void Tarn80X::HPF_Link_Copy(int ch) {
    core->Filter_Link_Copy(false, ch);
}
void Tarn80X::LPF_Link_Copy(int ch) {
    core->Filter_Link_Copy(true, ch);
}

// ---- menus ----

void Tarn80X::Filter_Type_Select(bool lowPass, int type) {
    if (type < 0 || type >= 3) return;
    FilterEdit edit;
    edit.type = type;
    Edit(RefreshCrossover, [&] { core->Filter_Edit(lowPass, edit); });
}

// Entries 0..7 choose a slope and switch the filter on; entry 8 switches it off and keeps the
// slope, so a later slope entry brings it back with that slope.
void Tarn80X::Filter_Slope_Select(bool lowPass, int entry) {
    if (entry < 0 || entry > 8) return;
    FilterEdit edit;
    if (entry < 8) {
        edit.slope = entry;
        edit.off = 0;
    } else {
        edit.off = 1;
    }
    Edit(RefreshCrossover, [&] { core->Filter_Edit(lowPass, edit); });
}

// ---- frequency: entry, step buttons, keys and wheel ----

void Tarn80X::Filter_Freq_Entry(bool lowPass) {
    FilterEdit edit;
    edit.freq = Parse_Freq(Widgets_Of(ui, lowPass).freq->text());
    if (!edit.freq) return Refresh_Crossover();
    Edit(RefreshCrossover, [&] { core->Filter_Edit(lowPass, edit); });
}

void Tarn80X::Filter_Freq_Step(bool lowPass, bool up, bool fast, Gesture gesture) {
    FilterEdit edit;
    edit.freq =
        Crossover_Freq_Step(Param_Image.filterFreq(Fields_Of(lowPass), Pc.Cur_CH), up, fast);
    edit.sendFirst = true;
    Edit(
        RefreshCrossover, [&] { core->Filter_Edit(lowPass, edit); }, gesture);
}

// The buttons repeat by themselves while held (first repeat after 1000 ms, then every 100 ms);
// each repeat is a click here, and the clicks of one hold are one undo step.
void Tarn80X::Filter_Step_Button(bool lowPass, bool up) {
    const bool fast = Link_Machine().repeatGuard() != 0;
    if (!fast) Begin_Gesture();
    Link_Machine().setRepeatGuard(kRepeatGuardTicks);
    Filter_Freq_Step(lowPass, up, fast, Gesture::StepButton);
}

void Tarn80X::on_Edit_HPF_Freq_returnPressed() {
    Filter_Freq_Entry(false);
}
void Tarn80X::on_Edit_LPF_Freq_returnPressed() {
    Filter_Freq_Entry(true);
}
void Tarn80X::on_BT_HPF_FREQ_UP_clicked() {
    Filter_Step_Button(false, true);
}
void Tarn80X::on_BT_HPF_FREQ_DOWN_clicked() {
    Filter_Step_Button(false, false);
}
void Tarn80X::on_BT_LPF_FREQ_UP_clicked() {
    Filter_Step_Button(true, true);
}
void Tarn80X::on_BT_LPF_FREQ_DOWN_clicked() {
    Filter_Step_Button(true, false);
}

} // namespace tarn
