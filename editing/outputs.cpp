// The channel strips and the master strip: volume sliders and entries, delay entries in ms or cm,
// phase, mute and Sync buttons, master volume and master mute, and their step keys and wheel.
// Every handler writes the mirror first, then the widgets, then sends while online.
#include "app/form.h"
#include "app/tarn80x.h"
#include "editing/channel_state.h"
#include "editing/output_format.h"
#include "i18n/text.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"

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

bool online() {
    return Link_Online();
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

void Tarn80X::Editing_Connect_Outputs() {
    Channel_State_Init();
    for (int ch = 0; ch < kChannels; ++ch) {
        const size_t i = static_cast<size_t>(ch);
        connect(ui->chVolSlider[i], &QSlider::valueChanged, this,
                [this, ch](int value) { CH_Vol_Changed(ch, value); });
        connect(ui->chVol[i], &QLineEdit::returnPressed, this, [this, ch] { CH_Vol_Return(ch); });
        connect(ui->chDelay[i], &QLineEdit::returnPressed, this,
                [this, ch] { CH_Delay_Return(ch); });
        connect(ui->chPhase[i], &QPushButton::clicked, this, [this, ch] { CH_Phase_Click(ch); });
        connect(ui->chMute[i], &QPushButton::clicked, this, [this, ch] { CH_Mute_Click(ch); });
        connect(ui->chSync[i], &QPushButton::clicked, this, [this, ch] { CH_Sync_Click(ch); });
    }
    ui->BT_Unit->setText(QStringLiteral("ms"));
    Show_Channel_Outputs();
}

// ---- display from the mirror ----

void Tarn80X::Show_Channel_Outputs() {
    for (int ch = 0; ch < kChannels; ++ch) {
        const size_t i = static_cast<size_t>(ch);
        const int vol = Param_Image.CH_Vol(ch);
        ui->chVolSlider[i]->setValue(vol);
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

// ---- Sync group ----
// A rule applies to channel j != ch only when both ch and j are engaged; a lone engaged channel
// therefore behaves as if it had no Sync.

bool Tarn80X::Vol_Group_Limit(int ch, int delta) const {
    if (!Chan.Sync_Group[static_cast<size_t>(ch)]) return false;
    for (int j = 0; j < kChannels; ++j) {
        if (j == ch || !Chan.Sync_Group[static_cast<size_t>(j)]) continue;
        const int v = Param_Image.CH_Vol(j) + delta;
        if (v < 0 || v > kVolMax) return true;
    }
    return false;
}

bool Tarn80X::Delay_Group_Limit(int ch, int delta) const {
    if (!Chan.Sync_Group[static_cast<size_t>(ch)]) return false;
    for (int j = 0; j < kChannels; ++j) {
        if (j == ch || !Chan.Sync_Group[static_cast<size_t>(j)]) continue;
        const int v = Param_Image.CH_Delay(j) + delta;
        if (v < 0 || v > kDelayMax) return true;
    }
    return false;
}

void Tarn80X::Vol_Group_Apply(int ch, int delta) {
    if (delta == 0 || !Chan.Sync_Group[static_cast<size_t>(ch)]) return;
    for (int j = 0; j < kChannels; ++j) {
        if (j == ch || !Chan.Sync_Group[static_cast<size_t>(j)]) continue;
        const int v = std::clamp(Param_Image.CH_Vol(j) + delta, 0, int(kVolMax));
        Param_Image.set_CH_Vol(j, static_cast<uint16_t>(v));
        // Its own handler shows and sends channel j (with a step of 0 for the group).
        ui->chVolSlider[static_cast<size_t>(j)]->setValue(v);
    }
}

void Tarn80X::Delay_Group_Apply(int ch, int delta) {
    if (delta == 0 || !Chan.Sync_Group[static_cast<size_t>(ch)]) return;
    for (int j = 0; j < kChannels; ++j) {
        if (j == ch || !Chan.Sync_Group[static_cast<size_t>(j)]) continue;
        const int v = std::clamp(Param_Image.CH_Delay(j) + delta, 0, int(kDelayMax));
        Param_Image.set_CH_Delay(j, static_cast<uint16_t>(v));
        ui->chDelay[static_cast<size_t>(j)]->setText(GetDelayDisplayStr(v));
        if (online()) Send_CH_Delay(j, static_cast<uint16_t>(v));
    }
}

void Tarn80X::Phase_Group_Toggle(int ch) {
    if (!Chan.Sync_Group[static_cast<size_t>(ch)]) return;
    for (int j = 0; j < kChannels; ++j) {
        if (j == ch || !Chan.Sync_Group[static_cast<size_t>(j)]) continue;
        Param_Image.set_CH_Phase(j, Param_Image.CH_Phase(j) == 1 ? 0 : 1);
        Draw_Phase_Button(j);
        if (online()) Send_CH_Phase(j, Param_Image.CH_Phase(j));
    }
}

void Tarn80X::Mute_Group_Toggle(int ch) {
    if (!Chan.Sync_Group[static_cast<size_t>(ch)]) return;
    for (int j = 0; j < kChannels; ++j) {
        if (j == ch || !Chan.Sync_Group[static_cast<size_t>(j)]) continue;
        Param_Image.set_CH_Mute(j, Param_Image.CH_Mute(j) == 1 ? 0 : 1);
        Draw_Mute_Button(j);
        if (online()) Send_CH_Mute(j, Param_Image.CH_Mute(j));
    }
}

// ---- channel volume ----

void Tarn80X::CH_Vol_Changed(int ch, int value) {
    const size_t i = static_cast<size_t>(ch);
    const int old = Param_Image.CH_Vol(ch);
    const int delta = value - old;
    if (Vol_Group_Limit(ch, delta)) {
        // Refused as a whole: the slider goes back without running this handler again.
        const QSignalBlocker quiet(ui->chVolSlider[i]);
        ui->chVolSlider[i]->setValue(old);
        return;
    }
    Param_Image.set_CH_Vol(ch, static_cast<uint16_t>(value));
    ui->chVol[i]->setText(Volume_Text(value));
    Vol_Group_Apply(ch, delta);
    if (online()) Send_CH_Vol(ch, static_cast<uint16_t>(value));
}

void Tarn80X::CH_Vol_Return(int ch) {
    const size_t i = static_cast<size_t>(ch);
    double target = 0;
    if (Parse_Volume_Entry(ui->chVol[i]->text(), target) &&
        !Vol_Group_Limit(ch, static_cast<int>(target - Param_Image.CH_Vol(ch))))
        ui->chVolSlider[i]->setValue(static_cast<int>(target + 0.5));
    // Accepted or not, the entry ends up showing the stored level in its own format.
    ui->chVol[i]->setText(Volume_Text(Param_Image.CH_Vol(ch)));
}

// ---- master volume and master mute ----

void Tarn80X::on_Slider_Total_Bar_valueChanged(int value) {
    Param_Image.set_Total_Vol(static_cast<uint16_t>(value));
    ui->Edit_Total->setText(Volume_Text(value));
    if (online()) Send_Total_Vol(static_cast<uint16_t>(value));
}

void Tarn80X::on_Edit_Total_returnPressed() {
    double target = 0;
    if (Parse_Volume_Entry(ui->Edit_Total->text(), target))
        ui->Slider_Total_Bar->setValue(static_cast<int>(target + 0.5));
    ui->Edit_Total->setText(Volume_Text(Param_Image.Total_Vol()));
}

void Tarn80X::on_BT_MainMute_clicked() {
    // The channel buttons keep their looks: the master button alone shows the master mute.
    const uint8_t mute = Pc.Master_Mute == 0 ? 1 : 0;
    Pc.Master_Mute = mute;
    Set_Look(ui->BT_MainMute, mute ? ButtonLook::Selected : ButtonLook::Plain);
    for (int ch = 0; ch < kChannels; ++ch) {
        Param_Image.set_CH_Mute(ch, mute);
        if (online()) Send_CH_Mute(ch, mute);
    }
}

// ---- phase, mute, Sync ----

void Tarn80X::CH_Phase_Click(int ch) {
    Param_Image.set_CH_Phase(ch, Param_Image.CH_Phase(ch) == 1 ? 0 : 1);
    Draw_Phase_Button(ch);
    Phase_Group_Toggle(ch);
    if (online()) Send_CH_Phase(ch, Param_Image.CH_Phase(ch));
}

void Tarn80X::CH_Mute_Click(int ch) {
    if (Param_Image.CH_Mute(ch) == 1) {
        Param_Image.set_CH_Mute(ch, 0);
        Pc.Master_Mute = 0;
        Set_Look(ui->BT_MainMute, ButtonLook::Plain);
    } else {
        Param_Image.set_CH_Mute(ch, 1);
    }
    Draw_Mute_Button(ch);
    Mute_Group_Toggle(ch);
    if (online()) Send_CH_Mute(ch, Param_Image.CH_Mute(ch));
}

void Tarn80X::CH_Sync_Click(int ch) {
    uint8_t& engaged = Chan.Sync_Group[static_cast<size_t>(ch)];
    engaged = engaged ? 0 : 1;
    Draw_Sync_Button(ch);
}

// ---- delay ----

void Tarn80X::CH_Delay_Return(int ch) {
    const size_t i = static_cast<size_t>(ch);
    const QString text = ui->chDelay[i]->text();
    double steps = 0;
    if (Parse_Delay_Entry(text, Chan.Delay_Unit, steps)) {
        // The partners move by exactly the step this channel takes. (Truncating steps - old
        // instead would lag the rounded value by one step for most cm entries and for ms values
        // such as 2.01 that are not exact in binary, and let the limit check miss that step.)
        const auto stored = static_cast<uint16_t>(steps + 0.5);
        const int delta = stored - Param_Image.CH_Delay(ch);
        if (!Delay_Group_Limit(ch, delta)) {
            Param_Image.set_CH_Delay(ch, stored);
            Delay_Group_Apply(ch, delta);
            ui->chDelay[i]->setText(GetDelayDisplayStr(stored));
            TARN_DIAG(
                (QStringList{QStringLiteral("CH%1").arg(ch + 1), text, QString::number(stored)}));
            if (online()) Send_CH_Delay(ch, stored);
            return;
        }
    }
    ui->chDelay[i]->setText(GetDelayDisplayStr(Param_Image.CH_Delay(ch)));
}

// Up to `steps` single steps, each checked on its own; the delay is resent even when none could
// be taken.
void Tarn80X::Delay_Key_Steps(int ch, int direction, int steps) {
    for (int k = 0; k < steps; ++k) {
        const int d = Param_Image.CH_Delay(ch);
        const bool room = direction > 0 ? d <= kDelayMax - 1 : d != 0;
        if (!room || Delay_Group_Limit(ch, direction)) continue;
        Param_Image.set_CH_Delay(ch, static_cast<uint16_t>(d + direction));
        Delay_Group_Apply(ch, direction);
    }
    const uint16_t d = Param_Image.CH_Delay(ch);
    ui->chDelay[static_cast<size_t>(ch)]->setText(GetDelayDisplayStr(d));
    if (online()) Send_CH_Delay(ch, d);
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
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::MouseButtonRelease:
        static_cast<QLineEdit*>(watched)->selectAll();
        return;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up) direction = 1;
        if (key->key() == Qt::Key_Down) direction = -1;
        if (key->isAutoRepeat()) steps = 3; // a held key moves three steps per repeat
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

    if (delayCh >= 0) {
        Delay_Key_Steps(delayCh, direction, steps);
        return;
    }
    QSlider* slider = total ? ui->Slider_Total_Bar : ui->chVolSlider[static_cast<size_t>(volCh)];
    for (int k = 0; k < steps; ++k)
        stepSlider(slider, direction);
}

} // namespace tarn
