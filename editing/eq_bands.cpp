// Band editing on the EQ page of Cur_CH: gain sliders, the gain, frequency and Q entries with their
// Up/Down keys and wheel, the display mode, bypass and reset, and the copy of a band to linked
// channels. Every change writes the mirror first and then runs the band tail.
#include "app/form.h"
#include "app/notice.h"
#include "app/tarn80x.h"
#include "editing/eq_format.h"
#include "graph/response.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QWheelEvent>
#include <optional>

namespace tarn {

namespace {

constexpr Bilingual kResetQuestion{"确定要将当前通道EQ复位到平直状态？",
                                   "Config flat current channel eq？"};

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

// The step an Up/Down key press or a wheel turn asks for; nothing for any other event.
std::optional<EqStep> Step_Of(const QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool held = key->isAutoRepeat();
        if (key->key() == Qt::Key_Up) return held ? EqStep::UpHeld : EqStep::Up;
        if (key->key() == Qt::Key_Down) return held ? EqStep::DownHeld : EqStep::Down;
    } else if (event->type() == QEvent::Wheel) {
        const QPoint d = static_cast<const QWheelEvent*>(event)->angleDelta();
        const int delta = d.y() != 0 ? d.y() : d.x();
        if (delta > 0) return EqStep::WheelForward;
        if (delta < 0) return EqStep::WheelBack;
    }
    return std::nullopt;
}

} // namespace

void Tarn80X::Editing_Connect_Eq() {
    for (int b = 0; b < kBands; ++b) {
        connect(ui->eqGainSlider[at(b)], &QSlider::valueChanged, this,
                [this, b](int value) { EQ_Gain_Slider_Changed(b, value); });
        connect(ui->eqGain[at(b)], &QLineEdit::returnPressed, this,
                [this, b] { EQ_Gain_Entry(b); });
        connect(ui->eqFreq[at(b)], &QLineEdit::returnPressed, this,
                [this, b] { EQ_Freq_Entry(b); });
        connect(ui->eqQ[at(b)], &QLineEdit::returnPressed, this, [this, b] { EQ_Q_Entry(b); });
    }
}

// ---- the band tail and the link copy ----

void Tarn80X::EQ_Band_Tail(int band, BandChange change) {
    const uint8_t ch = Pc.Cur_CH;
    EQ_Link_Copy(ch, band);
    tarn::EQ_Curve_Calc(ch);
    Curve_Points_Update(ch);
    Graph_Repaint();
    if (change == BandChange::Gain)
        Place_Band_Marker_By_Gain(band);
    else if (change == BandChange::Freq)
        Place_Band_Marker_By_Freq(band);
    if (Link_Online()) Send_EQ_Band(ch, band);
    if (change == BandChange::Gain) EQ_Led_Show(ch, band);
}

void Tarn80X::EQ_Link_Copy(int ch, int band) {
    if (ch < 0 || ch >= kChannels || band < 0 || band >= kBands) return;
    const uint8_t mode = Pc.Link_Mode[static_cast<size_t>(ch)];
    if (mode != LinkEqAndFilters && mode != LinkEqOnly) return;
    for (int dst = 0; dst < kChannels; ++dst) {
        if (dst == ch || !Pc.Link_Matrix[static_cast<size_t>(ch)][static_cast<size_t>(dst)])
            continue;
        Param_Image.set_EQ_Freq(dst, band, Param_Image.EQ_Freq(ch, band));
        Param_Image.set_EQ_Gain(dst, band, Param_Image.EQ_Gain(ch, band));
        Param_Image.set_EQ_Q(dst, band, Param_Image.EQ_Q(ch, band));
        if (Link_Online()) Send_EQ_Band(dst, band);
    }
}

void Tarn80X::EQ_Led_Show(int ch, int band) {
    const bool flat = Param_Image.EQ_Gain(ch, band) == kGainFlat;
    Set_Style(ui->bandButton[at(band)], QString::fromLatin1(flat ? kBandLedFlat : kBandLedActive));
}

// ---- the three ways of changing a band ----

void Tarn80X::EQ_Gain_Slider_Changed(int band, int value) {
    Pc.Cur_Band = static_cast<uint8_t>(band);
    Param_Image.set_EQ_Gain(Pc.Cur_CH, band, static_cast<uint16_t>(value));
    ui->eqGain[at(band)]->setText(Eq_Gain_Text(value));
    EQ_Band_Tail(band, BandChange::Gain);
}

void Tarn80X::EQ_Gain_Via_Slider(int band, int gain) {
    QSlider* slider = ui->eqGainSlider[at(band)];
    if (slider->value() != gain)
        slider->setValue(gain); // its valueChanged runs EQ_Gain_Slider_Changed
    else
        EQ_Gain_Slider_Changed(band, gain);
}

// The typed gain is stored as typed (it may lie beyond the slider's +-12 dB); the slider stays.
void Tarn80X::EQ_Gain_Entry(int band) {
    Pc.Cur_Band = static_cast<uint8_t>(band);
    const uint8_t ch = Pc.Cur_CH;
    QLineEdit* entry = ui->eqGain[at(band)];
    const std::optional<int> gain = Parse_Eq_Gain(entry->text());
    if (!gain) {
        entry->setText(Eq_Gain_Text(Param_Image.EQ_Gain_Signed(ch, band)));
        return;
    }
    Param_Image.set_EQ_Gain(ch, band, static_cast<uint16_t>(*gain)); // negative: two's complement
    EQ_Band_Tail(band, BandChange::Gain);
}

void Tarn80X::EQ_Freq_Entry(int band) {
    Pc.Cur_Band = static_cast<uint8_t>(band);
    const uint8_t ch = Pc.Cur_CH;
    QLineEdit* entry = ui->eqFreq[at(band)];
    const std::optional<int> freq = Parse_Freq(entry->text());
    if (!freq) {
        entry->setText(Eq_Freq_Text(Param_Image.EQ_Freq(ch, band)));
        return;
    }
    Param_Image.set_EQ_Freq(ch, band, static_cast<uint16_t>(*freq));
    EQ_Band_Tail(band, BandChange::Freq);
}

void Tarn80X::EQ_Q_Entry(int band) {
    Pc.Cur_Band = static_cast<uint8_t>(band);
    const uint8_t ch = Pc.Cur_CH;
    QLineEdit* entry = ui->eqQ[at(band)];
    const std::optional<int> q = Parse_Eq_Q(entry->text());
    if (!q) {
        entry->setText(Eq_Q_Text(Param_Image.EQ_Q(ch, band)));
        return;
    }
    Param_Image.set_EQ_Q(ch, band, static_cast<uint8_t>(*q));
    EQ_Band_Tail(band, BandChange::Q);
}

// Up/Down keys and the wheel on the band entries and the two crossover frequency entries. A
// disabled entry (GEQ mode) takes none of them.
void Tarn80X::EqCrossover_EventFilter(QObject* watched, QEvent* event) {
    const std::optional<EqStep> step = Step_Of(event);
    if (!step) return;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || !widget->isEnabled()) return;

    if (watched == ui->Edit_HPF_Freq || watched == ui->Edit_LPF_Freq) {
        const bool up =
            *step == EqStep::Up || *step == EqStep::UpHeld || *step == EqStep::WheelForward;
        const bool held = *step == EqStep::UpHeld || *step == EqStep::DownHeld;
        Filter_Freq_Step(watched == ui->Edit_LPF_Freq, up, held);
        event->accept();
        return;
    }

    const uint8_t ch = Pc.Cur_CH;
    int band = -1;
    if ((band = Index_Of(ui->eqGain, watched)) >= 0) {
        Pc.Cur_Band = static_cast<uint8_t>(band);
        EQ_Gain_Via_Slider(band, Eq_Gain_Step(Param_Image.EQ_Gain_Signed(ch, band), *step));
    } else if ((band = Index_Of(ui->eqFreq, watched)) >= 0) {
        Pc.Cur_Band = static_cast<uint8_t>(band);
        const int freq = Eq_Freq_Step(Param_Image.EQ_Freq(ch, band), *step);
        Param_Image.set_EQ_Freq(ch, band, static_cast<uint16_t>(freq));
        ui->eqFreq[at(band)]->setText(Eq_Freq_Text(freq));
        EQ_Band_Tail(band, BandChange::Freq);
    } else if ((band = Index_Of(ui->eqQ, watched)) >= 0) {
        Pc.Cur_Band = static_cast<uint8_t>(band);
        const int q = Eq_Q_Step(Param_Image.EQ_Q(ch, band), *step);
        Param_Image.set_EQ_Q(ch, band, static_cast<uint8_t>(q));
        ui->eqQ[at(band)]->setText(Eq_Q_Text(q));
        EQ_Band_Tail(band, BandChange::Q);
    } else {
        return;
    }
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
    const uint8_t ch = Pc.Cur_CH;
    Param_Image.set_EQ_Bypass(ch, Param_Image.EQ_Bypass(ch) ? 0 : 1);
    EQ_Bypass_Show(ch);
    if (Link_Online()) Send_EQ_Bypass(ch);
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
    for (int b = 0; b < kBands; ++b) {
        if (ui->eqGainSlider[at(b)]->value() != kGainFlat ||
            Param_Image.EQ_Gain(Pc.Cur_CH, b) != kGainFlat)
            EQ_Gain_Via_Slider(b, kGainFlat);
    }
}

// One band of the shown channel from the mirror. Setting the slider runs its handler when the
// value changes (which sends the band while online). A typed gain beyond the slider's range is
// shown at the slider's end stop without running the handler, which would otherwise overwrite
// the stored gain with the end-stop value.
void Tarn80X::EQ_Band_Show(int ch, int band) {
    if (ch < 0 || ch >= kChannels || band < 0 || band >= kBands) return;
    Pc.Cur_Band = static_cast<uint8_t>(band);
    const int gain = Param_Image.EQ_Gain_Signed(ch, band);
    ui->eqGain[at(band)]->setText(Eq_Gain_Text(gain));
    ui->eqFreq[at(band)]->setText(Eq_Freq_Text(Param_Image.EQ_Freq(ch, band)));
    ui->eqQ[at(band)]->setText(Eq_Q_Text(Param_Image.EQ_Q(ch, band)));
    QSlider* slider = ui->eqGainSlider[at(band)];
    if (gain >= slider->minimum() && gain <= slider->maximum()) {
        slider->setValue(gain);
    } else {
        const QSignalBlocker quiet(slider);
        slider->setValue(gain);
    }
    Place_Band_Marker(band);
    EQ_Led_Show(ch, band);
}

} // namespace tarn
