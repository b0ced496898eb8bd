// The EQ page of Cur_CH: gain sliders, the gain, frequency and Q entries with their Up/Down keys
// and wheel, the display mode, bypass and reset. Each forwards to the editing core's band-edit
// routine (mirror, link copies, send) as one undo step; the page is then refreshed from the mirror.
#include "app/form.h"
#include "app/tarn80x.h"
#include "model/param_image.h"
#include "session/eq_format.h"
#include "widgets/edit_steps.h"
#include "widgets/notice.h"
#include "widgets/styles.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <optional>

namespace tarn {

namespace {

constexpr Bilingual kResetQuestion{"确定要将当前通道EQ复位到平直状态？",
                                   "Set the EQ of the current channel flat?"};

// Frequency and Q entries: white text while editable (PEQ), grey while disabled (GEQ).
constexpr char kEntryStyle[] = "QLineEdit#%1{color: rgb(%2);background-color: "
                               "transparent;border-width:1;border-style:outset;}";

size_t at(int band) {
    return static_cast<size_t>(band);
}

// Restyling is not cheap (the style sheet is parsed again), and the slider path runs per step.
void Set_Style(QWidget* w, const QString& style) {
    if (w->styleSheet() != style) w->setStyleSheet(style);
}

template <typename Array> int Index_Of(const Array& widgets, const QObject* watched) {
    for (size_t i = 0; i < widgets.size(); ++i)
        if (widgets[i] == watched) return static_cast<int>(i);
    return -1;
}

} // namespace

void Tarn80X::Editing_Connect_Eq() {
    for (int b = 0; b < kBands; ++b) {
        QSlider* slider = ui->eqGainSlider[at(b)];
        connect(slider, &QSlider::valueChanged, this,
                [this, b](int value) { EQ_Gain_Slider_Changed(b, value); });
        connect(slider, &QSlider::sliderPressed, this, [this] { Begin_Gesture(); });
        connect(ui->eqGain[at(b)], &QLineEdit::returnPressed, this,
                [this, b] { EQ_Gain_Entry(b); });
        connect(ui->eqFreq[at(b)], &QLineEdit::returnPressed, this,
                [this, b] { EQ_Freq_Entry(b); });
        connect(ui->eqQ[at(b)], &QLineEdit::returnPressed, this, [this, b] { EQ_Q_Entry(b); });
    }
}

void Tarn80X::EQ_Link_Copy(int ch, int band) {
    core->EQ_Link_Copy(ch, band);
}

void Tarn80X::EQ_Led_Show(int ch, int band) {
    const bool flat = Param_Image.EQ_Gain(ch, band) == kGainFlat;
    Set_Style(ui->bandButton[at(band)], QString::fromLatin1(flat ? kBandLedFlat : kBandLedActive));
}

// ---- the three ways of changing a band ----

void Tarn80X::EQ_Gain_Slider_Changed(int band, int value) {
    BandEdit edit;
    edit.gain = value;
    edit.moveSlider = true;
    const bool dragged = ui->eqGainSlider[at(band)]->isSliderDown();
    Edit(
        RefreshBand, [&] { core->Band_Edit(band, edit); },
        dragged ? Gesture::Slider : Gesture::None, band);
}

// A typed entry: the value as read, or the entry shows the stored value again. A typed gain may
// lie beyond the slider's +-12 dB; the slider follows it to its end stop, so that the slider's own
// next step starts from what the unit holds.
void Tarn80X::EQ_Gain_Entry(int band) {
    Pc.Cur_Band = static_cast<uint8_t>(band);
    BandEdit edit;
    edit.gain = Parse_Eq_Gain(ui->eqGain[at(band)]->text());
    edit.moveSlider = true;
    if (!edit.gain) return Refresh_Band(band);
    Edit(
        RefreshBand, [&] { core->Band_Edit(band, edit); }, Gesture::None, band);
}

void Tarn80X::EQ_Freq_Entry(int band) {
    Pc.Cur_Band = static_cast<uint8_t>(band);
    BandEdit edit;
    edit.freq = Parse_Freq(ui->eqFreq[at(band)]->text());
    if (!edit.freq) return Refresh_Band(band);
    Edit(
        RefreshBand, [&] { core->Band_Edit(band, edit); }, Gesture::None, band);
}

void Tarn80X::EQ_Q_Entry(int band) {
    Pc.Cur_Band = static_cast<uint8_t>(band);
    BandEdit edit;
    edit.q = Parse_Eq_Q(ui->eqQ[at(band)]->text());
    if (!edit.q) return Refresh_Band(band);
    Edit(
        RefreshBand, [&] { core->Band_Edit(band, edit); }, Gesture::None, band);
}

// Up/Down keys and the wheel on the band entries. A disabled entry (GEQ mode) takes none of them.
void Tarn80X::EqCrossover_EventFilter(QObject* watched, QEvent* event) {
    const std::optional<EqStep> step = Step_Of(event);
    if (!step) return;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || !widget->isEnabled()) return;
    // The crossover entries' steps are the crossover panel's.
    if (watched == ui->Edit_HPF_Freq || watched == ui->Edit_LPF_Freq) return;
    if (*step == EqStep::Up || *step == EqStep::Down) Begin_Gesture();
    const Gesture gesture = Gesture_Of(event);

    const uint8_t ch = Pc.Cur_CH;
    int band = -1;
    BandEdit edit;
    if ((band = Index_Of(ui->eqGain, watched)) >= 0) {
        edit.gain = Eq_Gain_Step(Param_Image.EQ_Gain_Signed(ch, band), *step);
        edit.moveSlider = true;
    } else if ((band = Index_Of(ui->eqFreq, watched)) >= 0) {
        edit.freq = Eq_Freq_Step(Param_Image.EQ_Freq(ch, band), *step);
    } else if ((band = Index_Of(ui->eqQ, watched)) >= 0) {
        edit.q = Eq_Q_Step(Param_Image.EQ_Q(ch, band), *step);
    } else {
        return;
    }
    Edit(
        RefreshBand, [&] { core->Band_Edit(band, edit); }, gesture, band);
    event->accept();
}

// ---- the whole page ----

void Tarn80X::EQ_Entries_Mode(bool parametric) {
    const QString colour = QString::fromLatin1(parametric ? "255, 255, 255" : "128, 128, 128");
    for (int b = 0; b < kBands; ++b) {
        for (QLineEdit* entry : {ui->eqFreq[at(b)], ui->eqQ[at(b)]}) {
            Set_Style(entry, QString::fromLatin1(kEntryStyle).arg(entry->objectName(), colour));
            entry->setEnabled(parametric);
        }
    }
    Set_Style(ui->BT_PEQ, QString::fromLatin1(parametric ? kStyleSelected : kStyleUnselected));
    Set_Style(ui->BT_GEQ, QString::fromLatin1(parametric ? kStyleUnselected : kStyleSelected));
    Pc.EQ_Mode = parametric ? 1 : 0;
}

void Tarn80X::on_BT_PEQ_clicked() {
    EQ_Entries_Mode(true);
}
void Tarn80X::on_BT_GEQ_clicked() {
    EQ_Entries_Mode(false);
}

void Tarn80X::on_BT_EQ_BYPASS_clicked() {
    Edit(0, [this] { core->EQ_Bypass_Toggle(); });
    EQ_Bypass_Show(Pc.Cur_CH);
}

void Tarn80X::EQ_Bypass_Show(int ch) {
    const bool bypassed = Param_Image.EQ_Bypass(ch) != 0;
    Set_Style(ui->BT_EQ_BYPASS, QString::fromLatin1(bypassed ? kStyleSelected : kStyleUnselected));
    if (bypassed) {
        ui->label_15->show();
        ui->label_15->raise();
    } else {
        ui->label_15->hide();
    }
}

// Flattens every band of Cur_CH whose slider or stored gain is off 0 dB, each exactly as a slider
// move to 120 would (link copy, marker, send, LED). Frequencies, Q and the saved gains stay.
void Tarn80X::on_BT_EQ_RESET_clicked() {
    if (!Ask_Question(kResetQuestion)) return;
    Edit(RefreshEq, [this] { core->EQ_Reset(); });
}

} // namespace tarn
