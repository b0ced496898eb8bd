#include "views/outputs.h"

#include "session/channel_state.h"
#include "session/diag.h"
#include "session/edit_session.h"
#include "session/menu_texts.h"
#include "session/output_format.h"
#include "session/text.h"
#include "widgets/refresh.h"
#include "widgets/styles.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QWheelEvent>
#include <algorithm>

namespace tarn {

namespace {

constexpr Bilingual kPhaseNormal{"正相", "0°"};
constexpr Bilingual kPhaseInverted{"反相", "180°"};

size_t at(int i) {
    return static_cast<size_t>(i);
}

template <typename Array> int indexOf(const Array& widgets, const QObject* watched) {
    const auto it = std::find(widgets.begin(), widgets.end(), watched);
    return it == widgets.end() ? -1 : static_cast<int>(it - widgets.begin());
}

// One step of a volume slider by the step keys or wheel; the slider's handler does the rest.
void stepSlider(QSlider* slider, int direction) {
    const int v = slider->value();
    if (direction > 0 && v < kVolMax) slider->setValue(v + 1);
    if (direction < 0 && v > 0) slider->setValue(v - 1);
}

} // namespace

OutputsStrip::OutputsStrip(const Widgets& widgets, EditSession& session_, QObject* parent)
    : QObject(parent), ui(widgets), session(session_), core(session_.core()) {
    connect(&session, &EditSession::refreshNeeded, this, [this](unsigned families) {
        if (families & RefreshOutputs) refresh();
    });
    for (int ch = 0; ch < kChannels; ++ch) {
        const size_t i = at(ch);
        connect(ui.chVolSlider[i], &QSlider::valueChanged, this,
                [this, ch](int value) { CH_Vol_Changed(ch, value); });
        connect(ui.chVolSlider[i], &QSlider::sliderPressed, this,
                [this] { session.beginGesture(); });
        connect(ui.chVol[i], &QLineEdit::returnPressed, this, [this, ch] { CH_Vol_Return(ch); });
        connect(ui.chDelay[i], &QLineEdit::returnPressed, this,
                [this, ch] { CH_Delay_Return(ch); });
        connect(ui.chPhase[i], &QPushButton::clicked, this,
                [this, ch] { edit(RefreshOutputs, [&] { core.CH_Phase_Toggle(ch); }); });
        connect(ui.chMute[i], &QPushButton::clicked, this,
                [this, ch] { edit(RefreshOutputs, [&] { core.CH_Mute_Toggle(ch); }); });
        connect(ui.chSync[i], &QPushButton::clicked, this,
                [this, ch] { edit(RefreshOutputs, [&] { core.CH_Sync_Toggle(ch); }); });
        ui.chVol[i]->installEventFilter(this);
        ui.chDelay[i]->installEventFilter(this);
        drawChannelButtonsOff(ch);
    }
    connect(ui.Slider_Total_Bar, &QSlider::valueChanged, this, &OutputsStrip::totalVolChanged);
    connect(ui.Slider_Total_Bar, &QSlider::sliderPressed, this, [this] { session.beginGesture(); });
    connect(ui.Edit_Total, &QLineEdit::returnPressed, this, &OutputsStrip::totalVolReturn);
    connect(ui.BT_MainMute, &QPushButton::clicked, this,
            [this] { edit(RefreshOutputs, [this] { core.Master_Mute_Toggle(); }); });
    ui.Edit_Total->installEventFilter(this);

    delayUnit = darkMenu(ui.BT_Unit->window());
    unitMs_ = delayUnit->addAction(txt::DelayUnit[0]);
    unitCm_ = delayUnit->addAction(txt::DelayUnit[1]);
    connect(unitMs_, &QAction::triggered, this, [this] { setDelayUnit(kDelayUnitMs); });
    connect(unitCm_, &QAction::triggered, this, [this] { setDelayUnit(kDelayUnitCm); });
    ui.BT_Unit->setMenu(delayUnit);
    ui.BT_Unit->setText(QStringLiteral("ms"));
}

void OutputsStrip::edit(unsigned refresh, const std::function<void()>& change, Gesture gesture) {
    session.apply(refresh, change, gesture);
}

// ---- display from the image ----

void OutputsStrip::showChannelOutputs() {
    for (int ch = 0; ch < kChannels; ++ch) {
        const size_t i = at(ch);
        const int vol = Param_Image.CH_Vol(ch);
        {
            const QSignalBlocker quiet(ui.chVolSlider[i]);
            ui.chVolSlider[i]->setValue(vol);
        }
        ui.chVol[i]->setText(Volume_Text(vol));
        ui.chDelay[i]->setText(delayDisplayText(Param_Image.CH_Delay(ch)));
    }
}

void OutputsStrip::showImage() {
    ui.Slider_Total_Bar->setValue(Param_Image.Total_Vol());
    ui.BT_MainMute->setStyleSheet(Pc.Master_Mute ? kStyleSelected : kStyleUnselected);
    showChannelOutputs();
    for (int ch = 0; ch < kChannels; ++ch) {
        drawPhaseButton(ch);
        drawMuteButton(ch);
    }
}

void OutputsStrip::refresh() {
    for (int ch = 0; ch < kChannels; ++ch) {
        const size_t i = at(ch);
        const int vol = Param_Image.CH_Vol(ch);
        Set_Slider(ui.chVolSlider[i], vol);
        Set_Text(ui.chVol[i], Volume_Text(vol));
        showDelayEntry(ch);
        drawPhaseButton(ch);
        drawMuteButton(ch);
        drawSyncButton(ch);
    }
    const int total = Param_Image.Total_Vol();
    Set_Slider(ui.Slider_Total_Bar, total);
    Set_Text(ui.Edit_Total, Volume_Text(total));
    Set_Look(ui.BT_MainMute, Pc.Master_Mute ? ButtonLook::Selected : ButtonLook::Plain);
}

// The delay text is built (and logged) only when it changes.
void OutputsStrip::showDelayEntry(int ch) {
    const int steps = Param_Image.CH_Delay(ch);
    QLineEdit* entry = ui.chDelay[at(ch)];
    if (entry->text() != Delay_Text(steps, Chan.Delay_Unit))
        entry->setText(delayDisplayText(steps));
}

void OutputsStrip::drawChannelButtonsOff(int ch) {
    const size_t i = at(ch);
    Set_Look(ui.chPhase[i], ButtonLook::Plain);
    ui.chPhase[i]->setText(tr2(kPhaseNormal));
    Set_Look(ui.chMute[i], ButtonLook::Plain);
    Set_Look(ui.chSync[i], ButtonLook::Plain);
}

void OutputsStrip::drawPhaseButton(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    const size_t i = at(ch);
    const bool inverted = Param_Image.CH_Phase(ch) == 1;
    Set_Look(ui.chPhase[i], inverted ? ButtonLook::Lit : ButtonLook::Plain);
    ui.chPhase[i]->setText(tr2(inverted ? kPhaseInverted : kPhaseNormal));
}

void OutputsStrip::drawMuteButton(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    const bool muted = Param_Image.CH_Mute(ch) == 1;
    Set_Look(ui.chMute[at(ch)], muted ? ButtonLook::Lit : ButtonLook::Plain);
}

void OutputsStrip::drawSyncButton(int ch) {
    const size_t i = at(ch);
    Set_Look(ui.chSync[i], Chan.Sync_Group[i] ? ButtonLook::Lit : ButtonLook::Plain);
}

// ---- volumes ----
// A slider runs its handler for every change of its value; refused steps put it back.

void OutputsStrip::CH_Vol_Changed(int ch, int value) {
    const bool dragged = ui.chVolSlider[at(ch)]->isSliderDown();
    edit(
        RefreshOutputs, [&] { core.CH_Vol_Set(ch, value); },
        dragged ? Gesture::Slider : keyGesture);
}

void OutputsStrip::CH_Vol_Return(int ch) {
    double target = 0;
    if (Parse_Volume_Entry(ui.chVol[at(ch)]->text(), target) &&
        !core.Vol_Group_Limit(ch, static_cast<int>(target - Param_Image.CH_Vol(ch))))
        edit(0, [&] { core.CH_Vol_Set(ch, static_cast<int>(target + 0.5)); });
    // Accepted or not, the entry ends up showing the stored level in its own format.
    refresh();
}

void OutputsStrip::totalVolChanged(int value) {
    const bool dragged = ui.Slider_Total_Bar->isSliderDown();
    edit(
        RefreshOutputs, [&] { core.Total_Vol_Set(value); }, dragged ? Gesture::Slider : keyGesture);
}

void OutputsStrip::totalVolReturn() {
    double target = 0;
    if (Parse_Volume_Entry(ui.Edit_Total->text(), target) &&
        static_cast<int>(target + 0.5) != ui.Slider_Total_Bar->value())
        edit(0, [&] { core.Total_Vol_Set(static_cast<int>(target + 0.5)); });
    refresh();
}

// ---- delay ----

void OutputsStrip::CH_Delay_Return(int ch) {
    const QString text = ui.chDelay[at(ch)]->text();
    double steps = 0;
    if (Parse_Delay_Entry(text, Chan.Delay_Unit, steps)) {
        // The partners move by exactly the step this channel takes. (Truncating steps - old
        // instead would lag the rounded value by one step for most cm entries and for ms values
        // such as 2.01 that are not exact in binary, and let the limit check miss that step.)
        const auto stored = static_cast<uint16_t>(steps + 0.5);
        bool accepted = false;
        edit(0, [&] { accepted = core.CH_Delay_Set(ch, stored); });
        if (accepted)
            TARN_DIAG(
                (QStringList{QStringLiteral("CH%1").arg(ch + 1), text, QString::number(stored)}));
    }
    refresh();
}

void OutputsStrip::delayKeySteps(int ch, int direction, int steps) {
    edit(
        RefreshOutputs, [&] { core.CH_Delay_Steps(ch, direction, steps); }, keyGesture);
}

void OutputsStrip::setDelayUnit(int unit) {
    Chan.Delay_Unit = unit;
    ui.BT_Unit->setText(QString::fromLatin1(txt::DelayUnit[unit == kDelayUnitCm ? 1 : 0]));
    for (int ch = 0; ch < kChannels; ++ch)
        ui.chDelay[at(ch)]->setText(delayDisplayText(Param_Image.CH_Delay(ch)));
}

// ---- step keys, wheel and selection on the entries ----

bool OutputsStrip::eventFilter(QObject* watched, QEvent* event) {
    const int volCh = indexOf(ui.chVol, watched);
    const int delayCh = indexOf(ui.chDelay, watched);
    const bool total = watched == ui.Edit_Total;
    if (volCh < 0 && delayCh < 0 && !total) return false;

    int direction = 0;
    int steps = 1;
    Gesture gesture = Gesture::None;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::MouseButtonRelease:
        static_cast<QLineEdit*>(watched)->selectAll();
        return false;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up) direction = 1;
        if (key->key() == Qt::Key_Down) direction = -1;
        if (key->isAutoRepeat())
            steps = 3; // a held key moves three steps per repeat
        else
            session.beginGesture();
        gesture = Gesture::HeldKey;
        break;
    }
    case QEvent::Wheel: {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        direction = delta > 0 ? 1 : delta < 0 ? -1 : 0;
        break;
    }
    default:
        return false;
    }
    if (direction == 0) return false;

    keyGesture = gesture;
    if (delayCh >= 0) {
        delayKeySteps(delayCh, direction, steps);
    } else {
        QSlider* slider = total ? ui.Slider_Total_Bar : ui.chVolSlider[at(volCh)];
        for (int k = 0; k < steps; ++k)
            stepSlider(slider, direction);
    }
    keyGesture = Gesture::None;
    return false; // the entry gets the event too
}

} // namespace tarn
