// Keys and wheel on the frequency entries arrive through eventFilter and end in Filter_Freq_Step.
#include "views/crossover.h"

#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/edit_session.h"
#include "session/eq_format.h"
#include "session/menu_texts.h"
#include "widgets/edit_steps.h"
#include "widgets/refresh.h"
#include "widgets/styles.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <optional>

namespace tarn {

namespace {

// A click on any step button within this many link ticks of the previous one is a fast step.
constexpr uint8_t kRepeatGuardTicks = 25;

const FilterFields& Fields_Of(bool lowPass) {
    return lowPass ? kLpfFields : kHpfFields;
}

QAction* addEntry(QMenu* menu, const Bilingual& text) {
    QAction* action = menu->addAction(tr2(text, false));
    action->setCheckable(false);
    return action;
}

} // namespace

CrossoverPanel::CrossoverPanel(const Widgets& widgets, EditSession& session_, QWidget* window)
    : QObject(window), ui(widgets), session(session_), core(session_.core()) {
    buildMenus(window);
    connect(&session, &EditSession::refreshNeeded, this, [this](unsigned families) {
        if (families & RefreshCrossover) refresh();
    });
    connect(ui.Edit_HPF_Freq, &QLineEdit::returnPressed, this,
            [this] { Filter_Freq_Entry(false); });
    connect(ui.Edit_LPF_Freq, &QLineEdit::returnPressed, this, [this] { Filter_Freq_Entry(true); });
    connect(ui.BT_HPF_FREQ_UP, &QPushButton::clicked, this,
            [this] { Filter_Step_Button(false, true); });
    connect(ui.BT_HPF_FREQ_DOWN, &QPushButton::clicked, this,
            [this] { Filter_Step_Button(false, false); });
    connect(ui.BT_LPF_FREQ_UP, &QPushButton::clicked, this,
            [this] { Filter_Step_Button(true, true); });
    connect(ui.BT_LPF_FREQ_DOWN, &QPushButton::clicked, this,
            [this] { Filter_Step_Button(true, false); });
    ui.Edit_HPF_Freq->installEventFilter(this);
    ui.Edit_LPF_Freq->installEventFilter(this);
    for (QPushButton* step :
         {ui.BT_HPF_FREQ_UP, ui.BT_HPF_FREQ_DOWN, ui.BT_LPF_FREQ_UP, ui.BT_LPF_FREQ_DOWN})
        step->hide();
}

void CrossoverPanel::markerMoved(bool lowPass, int freq) {
    FilterEdit edit;
    edit.freq = freq;
    edit.sendFirst = true;
    session.apply(
        RefreshCrossover, [&] { core.Filter_Edit(lowPass, edit); }, Gesture::MarkerDrag);
}

void CrossoverPanel::buildMenus(QWidget* window) {
    for (bool lowPass : {false, true}) {
        FilterMenus& f = filter[lowPass ? 1 : 0];
        f.type = darkMenu(window);
        f.type->setToolTipsVisible(true);
        for (int i = 0; i < 3; ++i) {
            f.typeEntry[i] = addEntry(f.type, txt::FilterType[i]);
            f.typeEntry[i]->setToolTip(tr2(txt::FilterTypeTip[i], false));
            connect(f.typeEntry[i], &QAction::triggered, this,
                    [this, lowPass, i] { Filter_Type_Select(lowPass, i); });
        }
        (lowPass ? ui.BT_LPF_TYPE : ui.BT_HPF_TYPE)->setMenu(f.type);
        f.slope = darkMenu(window);
        for (int i = 0; i < 9; ++i) {
            const Bilingual text =
                i < 8 ? Bilingual{txt::FilterSlope[i], txt::FilterSlope[i]} : txt::FilterOff;
            f.slopeEntry[i] = addEntry(f.slope, text);
            connect(f.slopeEntry[i], &QAction::triggered, this,
                    [this, lowPass, i] { Filter_Slope_Select(lowPass, i); });
        }
        (lowPass ? ui.BT_LPF_SLOPE : ui.BT_HPF_SLOPE)->setMenu(f.slope);
    }
}

void CrossoverPanel::showTexts(bool en) {
    for (const FilterMenus& f : filter) {
        for (int i = 0; i < 3; ++i) {
            f.typeEntry[i]->setText(tr2(txt::FilterType[i], en));
            f.typeEntry[i]->setToolTip(tr2(txt::FilterTypeTip[i], en));
        }
        f.slopeEntry[8]->setText(tr2(txt::FilterOff, en));
    }
}

void CrossoverPanel::refresh() {
    const uint8_t ch = Pc.Cur_CH;
    const bool english = Pc.Lang_EN != 0;
    for (bool lowPass : {false, true}) {
        const FilterFields& f = Fields_Of(lowPass);
        QPushButton* type = lowPass ? ui.BT_LPF_TYPE : ui.BT_HPF_TYPE;
        QPushButton* slope = lowPass ? ui.BT_LPF_SLOPE : ui.BT_HPF_SLOPE;
        Set_Text(lowPass ? ui.Edit_LPF_Freq : ui.Edit_HPF_Freq,
                 Eq_Freq_Text(Param_Image.filterFreq(f, ch)));
        type->setText(Filter_Type_Text(Param_Image.filterType(f, ch), english));
        slope->setText(Filter_Slope_Text(Param_Image.filterSlope(f, ch),
                                         Param_Image.filterOff(f, ch) != 0, english));
    }
}

// ---- menus ----

void CrossoverPanel::Filter_Type_Select(bool lowPass, int type) {
    if (type < 0 || type >= 3) return;
    FilterEdit edit;
    edit.type = type;
    session.apply(RefreshCrossover, [&] { core.Filter_Edit(lowPass, edit); });
}

// Entries 0..7 choose a slope and switch the filter on; entry 8 switches it off and keeps the
// slope, so a later slope entry brings it back with that slope.
void CrossoverPanel::Filter_Slope_Select(bool lowPass, int entry) {
    if (entry < 0 || entry > 8) return;
    FilterEdit edit;
    if (entry < 8) {
        edit.slope = entry;
        edit.off = 0;
    } else {
        edit.off = 1;
    }
    session.apply(RefreshCrossover, [&] { core.Filter_Edit(lowPass, edit); });
}

// ---- frequency: entry, step buttons, keys and wheel ----

void CrossoverPanel::Filter_Freq_Entry(bool lowPass) {
    FilterEdit edit;
    edit.freq = Parse_Freq((lowPass ? ui.Edit_LPF_Freq : ui.Edit_HPF_Freq)->text());
    if (!edit.freq) return refresh();
    session.apply(RefreshCrossover, [&] { core.Filter_Edit(lowPass, edit); });
}

void CrossoverPanel::Filter_Freq_Step(bool lowPass, bool up, bool fast, Gesture gesture) {
    FilterEdit edit;
    edit.freq =
        Crossover_Freq_Step(Param_Image.filterFreq(Fields_Of(lowPass), Pc.Cur_CH), up, fast);
    edit.sendFirst = true;
    session.apply(
        RefreshCrossover, [&] { core.Filter_Edit(lowPass, edit); }, gesture);
}

// The buttons repeat by themselves while held (first repeat after 1000 ms, then every 100 ms);
// each repeat is a click here, and the clicks of one hold are one undo step.
void CrossoverPanel::Filter_Step_Button(bool lowPass, bool up) {
    const bool fast = Link_Machine().repeatGuard() != 0;
    if (!fast) session.beginGesture();
    Link_Machine().setRepeatGuard(kRepeatGuardTicks);
    Filter_Freq_Step(lowPass, up, fast, Gesture::StepButton);
}

// Up/Down keys and the wheel on the two frequency entries; the entry gets the event too.
bool CrossoverPanel::eventFilter(QObject* watched, QEvent* event) {
    const std::optional<EqStep> step = Step_Of(event);
    if (!step) return false;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || !widget->isEnabled()) return false;
    if (*step == EqStep::Up || *step == EqStep::Down) session.beginGesture();
    const bool up = *step == EqStep::Up || *step == EqStep::UpHeld || *step == EqStep::WheelForward;
    const bool held = *step == EqStep::UpHeld || *step == EqStep::DownHeld;
    Filter_Freq_Step(watched == ui.Edit_LPF_Freq, up, held, Gesture_Of(event));
    event->accept();
    return false;
}

} // namespace tarn
