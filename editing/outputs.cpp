// The channel strips and the master strip: volume sliders and entries, delay entries in ms or cm,
// phase, mute and Sync buttons, master volume and master mute, and their step keys and wheel.
// Every handler forwards to the editing core (mirror, gang group, send) as one undo step, and the
// strips are then refreshed from the mirror.
#include "app/form.h"
#include "app/tarn80x.h"
#include "editing/button_look.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/output_format.h"
#include "session/text.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QWheelEvent>
#include <algorithm>

namespace tarn {

namespace {

constexpr Bilingual kPhaseNormal{"正相", "0°"};
constexpr Bilingual kPhaseInverted{"反相", "180°"};

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

void Tarn80X::Editing_Connect_Outputs() {
    Channel_State_Init();
    for (int ch = 0; ch < kChannels; ++ch) {
        const size_t i = static_cast<size_t>(ch);
        connect(ui->chVolSlider[i], &QSlider::valueChanged, this,
                [this, ch](int value) { CH_Vol_Changed(ch, value); });
        connect(ui->chVolSlider[i], &QSlider::sliderPressed, this, [this] { Begin_Gesture(); });
        connect(ui->chVol[i], &QLineEdit::returnPressed, this, [this, ch] { CH_Vol_Return(ch); });
        connect(ui->chDelay[i], &QLineEdit::returnPressed, this,
                [this, ch] { CH_Delay_Return(ch); });
        connect(ui->chPhase[i], &QPushButton::clicked, this, [this, ch] { CH_Phase_Click(ch); });
        connect(ui->chMute[i], &QPushButton::clicked, this, [this, ch] { CH_Mute_Click(ch); });
        connect(ui->chSync[i], &QPushButton::clicked, this, [this, ch] { CH_Sync_Click(ch); });
    }
    connect(ui->Slider_Total_Bar, &QSlider::sliderPressed, this, [this] { Begin_Gesture(); });
    ui->BT_Unit->setText(QStringLiteral("ms"));
    Show_Channel_Outputs();
}

// ---- display from the mirror ----

void Tarn80X::Show_Channel_Outputs() {
    for (int ch = 0; ch < kChannels; ++ch) {
        const size_t i = static_cast<size_t>(ch);
        const int vol = Param_Image.CH_Vol(ch);
        {
            const QSignalBlocker quiet(ui->chVolSlider[i]);
            ui->chVolSlider[i]->setValue(vol);
        }
        ui->chVol[i]->setText(Volume_Text(vol));
        ui->chDelay[i]->setText(GetDelayDisplayStr(Param_Image.CH_Delay(ch)));
    }
}

void Tarn80X::Draw_Channel_Buttons_Off(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    const size_t i = static_cast<size_t>(ch);
    Set_Look(ui->chPhase[i], ButtonLook::Plain);
    ui->chPhase[i]->setText(tr2(kPhaseNormal));
    Set_Look(ui->chMute[i], ButtonLook::Plain);
    Set_Look(ui->chSync[i], ButtonLook::Plain);
}

void Tarn80X::Draw_Phase_Button(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    const size_t i = static_cast<size_t>(ch);
    const bool inverted = Param_Image.CH_Phase(ch) == 1;
    Set_Look(ui->chPhase[i], inverted ? ButtonLook::Lit : ButtonLook::Plain);
    ui->chPhase[i]->setText(tr2(inverted ? kPhaseInverted : kPhaseNormal));
}

void Tarn80X::Draw_Mute_Button(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    const bool muted = Param_Image.CH_Mute(ch) == 1;
    Set_Look(ui->chMute[static_cast<size_t>(ch)], muted ? ButtonLook::Lit : ButtonLook::Plain);
}

void Tarn80X::Draw_Sync_Button(int ch) {
    const size_t i = static_cast<size_t>(ch);
    Set_Look(ui->chSync[i], Chan.Sync_Group[i] ? ButtonLook::Lit : ButtonLook::Plain);
}

// ---- volumes and master mute ----
// A slider runs its handler for every change of its value; refused steps put it back.

void Tarn80X::CH_Vol_Changed(int ch, int value) {
    const bool dragged = ui->chVolSlider[static_cast<size_t>(ch)]->isSliderDown();
    Edit(
        RefreshOutputs, [&] { core->CH_Vol_Set(ch, value); },
        dragged ? Gesture::Slider : keyGesture);
}

void Tarn80X::CH_Vol_Return(int ch) {
    double target = 0;
    if (Parse_Volume_Entry(ui->chVol[static_cast<size_t>(ch)]->text(), target) &&
        !core->Vol_Group_Limit(ch, static_cast<int>(target - Param_Image.CH_Vol(ch))))
        Edit(0, [&] { core->CH_Vol_Set(ch, static_cast<int>(target + 0.5)); });
    // Accepted or not, the entry ends up showing the stored level in its own format.
    Refresh_Outputs();
}

void Tarn80X::on_Slider_Total_Bar_valueChanged(int value) {
    const bool dragged = ui->Slider_Total_Bar->isSliderDown();
    Edit(
        RefreshOutputs, [&] { core->Total_Vol_Set(value); },
        dragged ? Gesture::Slider : keyGesture);
}

void Tarn80X::on_Edit_Total_returnPressed() {
    double target = 0;
    if (Parse_Volume_Entry(ui->Edit_Total->text(), target) &&
        static_cast<int>(target + 0.5) != ui->Slider_Total_Bar->value())
        Edit(0, [&] { core->Total_Vol_Set(static_cast<int>(target + 0.5)); });
    Refresh_Outputs();
}

void Tarn80X::on_BT_MainMute_clicked() {
    Edit(RefreshOutputs, [this] { core->Master_Mute_Toggle(); });
}

void Tarn80X::CH_Phase_Click(int ch) {
    Edit(RefreshOutputs, [&] { core->CH_Phase_Toggle(ch); });
}

void Tarn80X::CH_Mute_Click(int ch) {
    Edit(RefreshOutputs, [&] { core->CH_Mute_Toggle(ch); });
}

void Tarn80X::CH_Sync_Click(int ch) {
    Edit(RefreshOutputs, [&] { core->CH_Sync_Toggle(ch); });
}

// ---- delay ----

void Tarn80X::CH_Delay_Return(int ch) {
    const QString text = ui->chDelay[static_cast<size_t>(ch)]->text();
    double steps = 0;
    if (Parse_Delay_Entry(text, Chan.Delay_Unit, steps)) {
        // The partners move by exactly the step this channel takes. (Truncating steps - old
        // instead would lag the rounded value by one step for most cm entries and for ms values
        // such as 2.01 that are not exact in binary, and let the limit check miss that step.)
        const auto stored = static_cast<uint16_t>(steps + 0.5);
        bool accepted = false;
        Edit(0, [&] { accepted = core->CH_Delay_Set(ch, stored); });
        if (accepted)
            TARN_DIAG(
                (QStringList{QStringLiteral("CH%1").arg(ch + 1), text, QString::number(stored)}));
    }
    Refresh_Outputs();
}

void Tarn80X::Delay_Key_Steps(int ch, int direction, int steps) {
    Edit(
        RefreshOutputs, [&] { core->CH_Delay_Steps(ch, direction, steps); }, keyGesture);
}

void Tarn80X::ms_Fun() {
    Chan.Delay_Unit = kDelayUnitMs;
    ui->BT_Unit->setText(QStringLiteral("ms"));
    for (int ch = 0; ch < kChannels; ++ch)
        ui->chDelay[static_cast<size_t>(ch)]->setText(GetDelayDisplayStr(Param_Image.CH_Delay(ch)));
}

void Tarn80X::cm_Fun() {
    Chan.Delay_Unit = kDelayUnitCm;
    ui->BT_Unit->setText(QStringLiteral("cm"));
    for (int ch = 0; ch < kChannels; ++ch)
        ui->chDelay[static_cast<size_t>(ch)]->setText(GetDelayDisplayStr(Param_Image.CH_Delay(ch)));
}

// ---- step keys, wheel and selection on the entries ----

void Tarn80X::Outputs_EventFilter(QObject* watched, QEvent* event) {
    const int volCh = indexOf(ui->chVol, watched);
    const int delayCh = indexOf(ui->chDelay, watched);
    const bool total = watched == ui->Edit_Total;
    if (volCh < 0 && delayCh < 0 && !total) return;

    int direction = 0;
    int steps = 1;
    Gesture gesture = Gesture::None;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::MouseButtonRelease:
        static_cast<QLineEdit*>(watched)->selectAll();
        return;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up) direction = 1;
        if (key->key() == Qt::Key_Down) direction = -1;
        if (key->isAutoRepeat())
            steps = 3; // a held key moves three steps per repeat
        else
            Begin_Gesture();
        gesture = Gesture::HeldKey;
        break;
    }
    case QEvent::Wheel: {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        direction = delta > 0 ? 1 : delta < 0 ? -1 : 0;
        break;
    }
    default:
        return;
    }
    if (direction == 0) return;

    keyGesture = gesture;
    if (delayCh >= 0) {
        Delay_Key_Steps(delayCh, direction, steps);
    } else {
        QSlider* slider =
            total ? ui->Slider_Total_Bar : ui->chVolSlider[static_cast<size_t>(volCh)];
        for (int k = 0; k < steps; ++k)
            stepSlider(slider, direction);
    }
    keyGesture = Gesture::None;
}

} // namespace tarn
