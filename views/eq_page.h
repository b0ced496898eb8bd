// The EQ page of Cur_CH: one column per band (gain slider, gain, frequency and Q entries with
// their Up/Down keys and wheel, the LED button), the PEQ/GEQ display mode, bypass and reset. Each
// handler hands the session one band edit as one undo step; the page is then shown again from the
// image, sending nothing.
#pragma once

#include "model/param_image.h"
#include "session/edit_core.h"
#include "session/text.h"

#include <QObject>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace tarn {

class EditCore;
class EditSession;

class EqPage : public QObject {
    Q_OBJECT

  public:
    struct Widgets {
        QPushButton* BT_PEQ = nullptr;
        QPushButton* BT_GEQ = nullptr;
        QPushButton* BT_EQ_BYPASS = nullptr;
        QPushButton* BT_EQ_RESET = nullptr;
        QLabel* label_15 = nullptr;                    // bypass sign laid over the band columns
        std::array<QSlider*, kBands> eqGainSlider{};   // Slider_EQ_Gain_Bar_n
        std::array<QLineEdit*, kBands> eqGain{};       // Edit_EQ_Gain_n
        std::array<QLineEdit*, kBands> eqFreq{};       // Edit_EQ_Freq_n
        std::array<QLineEdit*, kBands> eqQ{};          // Edit_EQ_Q_n
        std::array<QPushButton*, kBands> bandButton{}; // BT_LED_n
    };

    // Connects the widgets and shows the page in parametric mode, bypass off.
    EqPage(const Widgets& widgets, EditSession& session, QObject* parent);

    // Shown from the image, sending nothing.
    void refreshBand(int band);
    void refresh(); // every band and the bypass sign

    // The graph's edits of a band: a marker dragged to new values (PC gain encoding, whole
    // hertz), or double-clicked to flat and back (as a double-click on the band's LED button).
    void markerMoved(int band, int gain, int freq);
    void toggleFlat(int band);

  signals:
    // A band entry's text was refused: what was typed and the range the entry takes.
    void entryRefused(const BilingualText& note);

  protected:
    // Keys and wheel of the entries, a double-click on an LED button.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void gainSliderMoved(int band, int value);
    void gainEntered(int band);
    void freqEntered(int band);
    void qEntered(int band);
    void typedEdit(int band, const BandEdit& edit, const BilingualText& refused);
    void stepEntry(QObject* watched, QEvent* event);
    void showMode(bool parametric);
    void toggleBypass();
    void showBypass();
    void resetFlat();
    void showLed(int band);

    Widgets ui;
    EditSession& session;
    EditCore& core;
};

} // namespace tarn
