// The outputs strip: per channel the volume slider and entry, the delay entry in ms or cm, the
// phase, mute and Sync buttons; the master volume and master mute; the delay unit menu. Every
// handler hands the session one user action; the strip is refreshed from the image.
#pragma once

#include "model/param_image.h"
#include "session/undo_step.h"

#include <QObject>
#include <array>
#include <functional>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;

namespace tarn {

class EditCore;
class EditSession;

class OutputsStrip : public QObject {
    Q_OBJECT

  public:
    struct Widgets {
        std::array<QSlider*, kChannels> chVolSlider{}; // Slider_CHVol_Bar_n
        std::array<QLineEdit*, kChannels> chVol{};     // Edit_CHVol_n
        std::array<QLineEdit*, kChannels> chDelay{};   // Edit_CHDelay_n
        std::array<QPushButton*, kChannels> chMute{};  // BT_Mute_n
        std::array<QPushButton*, kChannels> chPhase{}; // BT_Phase_n
        std::array<QPushButton*, kChannels> chSync{};  // BT_Sync_A0n1
        QSlider* Slider_Total_Bar = nullptr;
        QLineEdit* Edit_Total = nullptr;
        QPushButton* BT_MainMute = nullptr;
        QPushButton* BT_Unit = nullptr; // the delay unit menu's button
    };

    // Connects the families and sets the strips to their start-up state (phase, mute and Sync
    // off, delays in ms).
    OutputsStrip(const Widgets& widgets, EditSession& session, QObject* parent);

    // The delay unit menu's entries, ms and cm.
    QAction* unitMs() const { return unitMs_; }
    QAction* unitCm() const { return unitCm_; }
    void setDelayUnit(int unit); // kDelayUnitMs or kDelayUnitCm: the button and every entry

    // Shown from the image, sending nothing.
    void refresh();
    // After a read-back: the master slider (which sends the level it shows), the master mute, the
    // strips' levels and delays, phase and mute.
    void showImage();
    void showChannelOutputs(); // every channel's volume slider and delay text
    void drawPhaseButton(int ch);
    void drawMuteButton(int ch);

  protected:
    // Step keys, wheel and selection on the volume, delay and master entries.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void drawChannelButtonsOff(int ch); // phase, mute and Sync buttons in their off state
    void drawSyncButton(int ch);
    void showDelayEntry(int ch);
    // One routine per channel-strip family, ch = 0..5.
    void CH_Vol_Changed(int ch, int value);
    void CH_Vol_Return(int ch);
    void CH_Delay_Return(int ch);
    void delayKeySteps(int ch, int direction, int steps);
    void totalVolChanged(int value);
    void totalVolReturn();
    void edit(unsigned refresh, const std::function<void()>& change,
              Gesture gesture = Gesture::None);

    Widgets ui;
    EditSession& session;
    EditCore& core;
    Gesture keyGesture = Gesture::None; // of the slider steps a key or wheel event is making
    QMenu* delayUnit = nullptr;
    QAction* unitMs_ = nullptr;
    QAction* unitCm_ = nullptr;
};

} // namespace tarn
