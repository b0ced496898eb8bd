// Crossover editing of Cur_CH: the type and slope menus, the frequency entries and the step
// buttons, for the high-pass and the low-pass filter alike (lowPass picks the set), and the copy
// of a filter to linked channels. Keys and wheel on the entries arrive through
// EqCrossover_EventFilter (eq_bands.cpp) and end in Filter_Freq_Step.
#include "app/form.h"
#include "app/tarn80x.h"
#include "editing/eq_format.h"
#include "graph/response.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"

#include <QLineEdit>
#include <QPushButton>
#include <optional>

namespace tarn {

namespace {

// A click on any step button within this many link ticks of the previous one is a fast step.
constexpr uint8_t kRepeatGuardTicks = 25;

struct FilterWidgets {
    QPushButton* type;
    QPushButton* slope;
    QLineEdit* freq;
};

FilterWidgets Widgets_Of(const Form* ui, bool lowPass) {
    if (lowPass) return {ui->BT_LPF_TYPE, ui->BT_LPF_SLOPE, ui->Edit_LPF_Freq};
    return {ui->BT_HPF_TYPE, ui->BT_HPF_SLOPE, ui->Edit_HPF_Freq};
}

const FilterFields& Fields_Of(bool lowPass) {
    return lowPass ? kLpfFields : kHpfFields;
}

} // namespace

// ---- the filter tail and the link copy ----

void Tarn80X::Filter_Tail(bool lowPass, bool sendFirst) {
    const uint8_t ch = Pc.Cur_CH;
    const auto send = [ch, lowPass] {
        if (!Link_Online()) return;
        if (lowPass)
            Send_LPF(ch);
        else
            Send_HPF(ch);
    };
    if (sendFirst) send();
    Filter_Link_Copy(lowPass, ch);
    if (lowPass)
        LPF_Curve_Calc(ch); // also moves the marker and its dotted line
    else
        HPF_Curve_Calc(ch);
    Curve_Points_Update(ch);
    Graph_Repaint();
    if (!sendFirst) send();
}

void Tarn80X::Filter_Link_Copy(bool lowPass, int ch) {
    if (ch < 0 || ch >= kChannels) return;
    const uint8_t mode = Pc.Link_Mode[static_cast<size_t>(ch)];
    if (mode != LinkEqAndFilters && mode != LinkFiltersOnly) return;
    const FilterFields& f = Fields_Of(lowPass);
    for (int dst = 0; dst < kChannels; ++dst) {
        if (dst == ch || !Pc.Link_Matrix[static_cast<size_t>(ch)][static_cast<size_t>(dst)])
            continue;
        Param_Image.setFilterOff(f, dst, Param_Image.filterOff(f, ch));
        Param_Image.setFilterType(f, dst, Param_Image.filterType(f, ch));
        Param_Image.setFilterFreq(f, dst, Param_Image.filterFreq(f, ch));
        Param_Image.setFilterSlope(f, dst, Param_Image.filterSlope(f, ch));
        if (!Link_Online()) continue;
        if (lowPass)
            Send_LPF(dst);
        else
            Send_HPF(dst);
    }
}

void Tarn80X::HPF_Link_Copy(int ch) {
    Filter_Link_Copy(false, ch);
}
void Tarn80X::LPF_Link_Copy(int ch) {
    Filter_Link_Copy(true, ch);
}

// ---- menus ----

void Tarn80X::Filter_Type_Select(bool lowPass, int type) {
    if (type < 0 || type >= 3) return;
    const uint8_t ch = Pc.Cur_CH;
    Param_Image.setFilterType(Fields_Of(lowPass), ch, static_cast<uint8_t>(type));
    Widgets_Of(ui, lowPass).type->setText(Filter_Type_Text(type, Pc.Lang_EN != 0));
    Filter_Tail(lowPass, false);
}

// Entries 0..7 choose a slope and switch the filter on; entry 8 switches it off and keeps the
// slope, so a later slope entry brings it back with that slope.
void Tarn80X::Filter_Slope_Select(bool lowPass, int entry) {
    if (entry < 0 || entry > 8) return;
    const uint8_t ch = Pc.Cur_CH;
    const FilterFields& f = Fields_Of(lowPass);
    if (entry < 8) {
        Param_Image.setFilterSlope(f, ch, static_cast<uint8_t>(entry));
        Param_Image.setFilterOff(f, ch, 0);
    } else {
        Param_Image.setFilterOff(f, ch, 1);
    }
    Widgets_Of(ui, lowPass)
        .slope->setText(Filter_Slope_Text(Param_Image.filterSlope(f, ch),
                                          Param_Image.filterOff(f, ch) != 0, Pc.Lang_EN != 0));
    Filter_Tail(lowPass, false);
}

// ---- frequency: entry, step buttons, keys and wheel ----

void Tarn80X::Filter_Freq_Entry(bool lowPass) {
    const uint8_t ch = Pc.Cur_CH;
    const FilterFields& f = Fields_Of(lowPass);
    QLineEdit* entry = Widgets_Of(ui, lowPass).freq;
    const std::optional<int> freq = Parse_Freq(entry->text());
    if (!freq) {
        entry->setText(Eq_Freq_Text(Param_Image.filterFreq(f, ch)));
        return;
    }
    Param_Image.setFilterFreq(f, ch, static_cast<uint16_t>(*freq));
    Filter_Tail(lowPass, false);
}

void Tarn80X::Filter_Freq_Step(bool lowPass, bool up, bool fast) {
    const uint8_t ch = Pc.Cur_CH;
    const FilterFields& f = Fields_Of(lowPass);
    const int freq = Crossover_Freq_Step(Param_Image.filterFreq(f, ch), up, fast);
    Param_Image.setFilterFreq(f, ch, static_cast<uint16_t>(freq));
    Widgets_Of(ui, lowPass).freq->setText(Eq_Freq_Text(freq));
    Filter_Tail(lowPass, true);
}

// The buttons repeat by themselves while held (first repeat after 1000 ms, then every 100 ms);
// each repeat is a click here.
void Tarn80X::Filter_Step_Button(bool lowPass, bool up) {
    const bool fast = Link_Machine().repeatGuard() != 0;
    Link_Machine().setRepeatGuard(kRepeatGuardTicks);
    Filter_Freq_Step(lowPass, up, fast);
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

// ---- display ----

// Both filters of channel ch from the mirror, in the current language. The curves and markers
// are the caller's (HPF_Curve_Calc / LPF_Curve_Calc).
void Tarn80X::Crossover_Show(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    const bool english = Pc.Lang_EN != 0;
    for (bool lowPass : {false, true}) {
        const FilterFields& f = Fields_Of(lowPass);
        const FilterWidgets w = Widgets_Of(ui, lowPass);
        w.freq->setText(Eq_Freq_Text(Param_Image.filterFreq(f, ch)));
        w.type->setText(Filter_Type_Text(Param_Image.filterType(f, ch), english));
        w.slope->setText(Filter_Slope_Text(Param_Image.filterSlope(f, ch),
                                           Param_Image.filterOff(f, ch) != 0, english));
    }
}

} // namespace tarn
