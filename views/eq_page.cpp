#include "views/eq_page.h"

#include "session/edit_session.h"
#include "session/eq_format.h"
#include "widgets/edit_steps.h"
#include "widgets/notice.h"
#include "widgets/refresh.h"
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

EqPage::EqPage(const Widgets& widgets, EditSession& session_, QObject* parent)
    : QObject(parent), ui(widgets), session(session_), core(session_.core()) {
    for (int b = 0; b < kBands; ++b) {
        QSlider* slider = ui.eqGainSlider[at(b)];
        connect(slider, &QSlider::valueChanged, this,
                [this, b](int value) { gainSliderMoved(b, value); });
        connect(slider, &QSlider::sliderPressed, this, [this] { session.beginGesture(); });
        connect(ui.eqGain[at(b)], &QLineEdit::returnPressed, this, [this, b] { gainEntered(b); });
        connect(ui.eqFreq[at(b)], &QLineEdit::returnPressed, this, [this, b] { freqEntered(b); });
        connect(ui.eqQ[at(b)], &QLineEdit::returnPressed, this, [this, b] { qEntered(b); });
        for (QWidget* w :
             {static_cast<QWidget*>(ui.bandButton[at(b)]), static_cast<QWidget*>(ui.eqGain[at(b)]),
              static_cast<QWidget*>(ui.eqFreq[at(b)]), static_cast<QWidget*>(ui.eqQ[at(b)])})
            w->installEventFilter(this);
    }
    connect(ui.BT_PEQ, &QPushButton::clicked, this, [this] { showMode(true); });
    connect(ui.BT_GEQ, &QPushButton::clicked, this, [this] { showMode(false); });
    connect(ui.BT_EQ_BYPASS, &QPushButton::clicked, this, &EqPage::toggleBypass);
    connect(ui.BT_EQ_RESET, &QPushButton::clicked, this, &EqPage::resetFlat);
    connect(&session, &EditSession::refreshNeeded, this, [this](unsigned families, int band) {
        if (families & RefreshEq)
            refresh();
        else if ((families & RefreshBand) && band >= 0 && band < kBands)
            refreshBand(band);
    });
    Pc.EQ_Mode = 1;
    ui.BT_PEQ->setStyleSheet(kStyleSelected);
    ui.BT_GEQ->setStyleSheet(kStyleUnselected);
    ui.label_15->hide();
}

// ---- the ways of changing a band ----

void EqPage::gainSliderMoved(int band, int value) {
    BandEdit edit;
    edit.gain = value;
    edit.moveSlider = true;
    const bool dragged = ui.eqGainSlider[at(band)]->isSliderDown();
    session.apply(
        RefreshBand, [&] { core.Band_Edit(band, edit); }, dragged ? Gesture::Slider : Gesture::None,
        band);
}

// A typed entry: the value as read, or the entry shows the stored value again and the status line
// says what the entry takes.
void EqPage::gainEntered(int band) {
    const QString typed = ui.eqGain[at(band)]->text();
    BandEdit edit;
    edit.gain = Parse_Eq_Gain(typed);
    edit.moveSlider = true;
    typedEdit(band, edit,
              edit.gain ? BilingualText{} : Eq_Entry_Refused(EqEntry::Gain, band, typed));
}

void EqPage::freqEntered(int band) {
    const QString typed = ui.eqFreq[at(band)]->text();
    BandEdit edit;
    edit.freq = Parse_Freq(typed);
    typedEdit(band, edit,
              edit.freq ? BilingualText{} : Eq_Entry_Refused(EqEntry::Freq, band, typed));
}

void EqPage::qEntered(int band) {
    const QString typed = ui.eqQ[at(band)]->text();
    BandEdit edit;
    edit.q = Parse_Eq_Q(typed);
    typedEdit(band, edit, edit.q ? BilingualText{} : Eq_Entry_Refused(EqEntry::Q, band, typed));
}

void EqPage::typedEdit(int band, const BandEdit& edit, const BilingualText& refused) {
    Pc.Cur_Band = static_cast<uint8_t>(band);
    if (!refused.isEmpty()) {
        refreshBand(band);
        emit entryRefused(refused);
        return;
    }
    session.apply(
        RefreshBand, [&] { core.Band_Edit(band, edit); }, Gesture::None, band);
}

void EqPage::markerMoved(int band, int gain, int freq) {
    BandEdit edit;
    edit.gain = gain;
    edit.freq = freq;
    edit.moveSlider = true;
    session.apply(
        RefreshBand, [&] { core.Band_Edit(band, edit); }, Gesture::MarkerDrag, band);
}

void EqPage::toggleFlat(int band) {
    session.apply(
        RefreshBand, [&] { core.Band_Flat_Toggle(band); }, Gesture::None, band);
}

bool EqPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        const int band = Index_Of(ui.bandButton, watched);
        if (band >= 0) toggleFlat(band);
    }
    stepEntry(watched, event);
    return false; // the watched widget always gets the event too
}

// Up/Down keys and the wheel on the band entries. A disabled entry (GEQ mode) takes none of them.
void EqPage::stepEntry(QObject* watched, QEvent* event) {
    const std::optional<EqStep> step = Step_Of(event);
    if (!step) return;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || !widget->isEnabled()) return;
    if (Index_Of(ui.bandButton, watched) >= 0) return;
    if (*step == EqStep::Up || *step == EqStep::Down) session.beginGesture();
    const Gesture gesture = Gesture_Of(event);

    const uint8_t ch = Pc.Cur_CH;
    int band = -1;
    BandEdit edit;
    if ((band = Index_Of(ui.eqGain, watched)) >= 0) {
        edit.gain = Eq_Gain_Step(Param_Image.EQ_Gain_Signed(ch, band), *step);
        edit.moveSlider = true;
    } else if ((band = Index_Of(ui.eqFreq, watched)) >= 0) {
        edit.freq = Eq_Freq_Step(Param_Image.EQ_Freq(ch, band), *step);
    } else if ((band = Index_Of(ui.eqQ, watched)) >= 0) {
        edit.q = Eq_Q_Step(Param_Image.EQ_Q(ch, band), *step);
    } else {
        return;
    }
    session.apply(
        RefreshBand, [&] { core.Band_Edit(band, edit); }, gesture, band);
    event->accept();
}

// ---- the whole page ----

void EqPage::showMode(bool parametric) {
    const QString colour = QString::fromLatin1(parametric ? "255, 255, 255" : "128, 128, 128");
    for (int b = 0; b < kBands; ++b) {
        for (QLineEdit* entry : {ui.eqFreq[at(b)], ui.eqQ[at(b)]}) {
            Set_Style(entry, QString::fromLatin1(kEntryStyle).arg(entry->objectName(), colour));
            entry->setEnabled(parametric);
        }
    }
    Set_Style(ui.BT_PEQ, QString::fromLatin1(parametric ? kStyleSelected : kStyleUnselected));
    Set_Style(ui.BT_GEQ, QString::fromLatin1(parametric ? kStyleUnselected : kStyleSelected));
    Pc.EQ_Mode = parametric ? 1 : 0;
}

void EqPage::toggleBypass() {
    session.apply(0, [this] { core.EQ_Bypass_Toggle(); });
    showBypass();
}

void EqPage::showBypass() {
    const bool bypassed = Param_Image.EQ_Bypass(Pc.Cur_CH) != 0;
    Set_Style(ui.BT_EQ_BYPASS, QString::fromLatin1(bypassed ? kStyleSelected : kStyleUnselected));
    if (bypassed) {
        ui.label_15->show();
        ui.label_15->raise();
    } else {
        ui.label_15->hide();
    }
}

// Flattens every band of Cur_CH whose slider or stored gain is off 0 dB, each exactly as a slider
// move to 120 would (link copy, marker, send, LED). Frequencies, Q and the saved gains stay.
void EqPage::resetFlat() {
    if (!Ask_Question(kResetQuestion)) return;
    session.apply(RefreshEq, [this] { core.EQ_Reset(); });
}

// The entries show the stored values in their own format, never the text as typed: a typed Q of
// 2.55 is stored as 2.5, and the screen must not show what the unit does not hold.
void EqPage::refreshBand(int band) {
    const uint8_t ch = Pc.Cur_CH;
    const size_t b = at(band);
    Set_Text(ui.eqGain[b], Eq_Gain_Text(Param_Image.EQ_Gain_Signed(ch, band)));
    Set_Text(ui.eqFreq[b], Eq_Freq_Text(Param_Image.EQ_Freq(ch, band)));
    Set_Text(ui.eqQ[b], Eq_Q_Text(Param_Image.EQ_Q(ch, band)));
    Set_Slider(ui.eqGainSlider[b], core.slider[b]);
    showLed(band);
}

void EqPage::refresh() {
    for (int b = 0; b < kBands; ++b)
        refreshBand(b);
    showBypass();
}

void EqPage::showLed(int band) {
    const bool flat = Param_Image.EQ_Gain(Pc.Cur_CH, band) == kGainFlat;
    Set_Style(ui.bandButton[at(band)], QString::fromLatin1(flat ? kBandLedFlat : kBandLedActive));
}

} // namespace tarn
