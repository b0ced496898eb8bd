// The main window's form: every named child widget, created and placed once, the way a generated
// form would do it. Handlers find a widget either through the named pointer below or, for the
// families of bands and channels, through the index tables (band 0..30, channel 0..5).
#pragma once

#include "model/param_image.h"
#include "widgets/styles.h"

#include <array>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QWidget;
class QRect;
class QSize;

class DragPushButton;

namespace tarn {

class GraphView;

using ::DragPushButton;

struct Form {
    // ---- top band (y < 50): title, link status, menus, window buttons ----
    QLabel* label_2 = nullptr; // title
    QPushButton* BT_CONNECT = nullptr;
    // Where the progress bar goes: a note on the link or the last saved file while there is no bar.
    QLabel* Label_Status = nullptr;
    QProgressBar* TickBar = nullptr;
    // Beside the bar during a transfer: stops a job that only reads, or says that it cannot.
    QPushButton* BT_TRANSFER_STOP = nullptr;
    QPushButton* BT_SENCE = nullptr;
    QPushButton* BT_OPTION = nullptr;
    QPushButton* BT_MIN = nullptr;
    QPushButton* BT_CLOSE = nullptr;

    // ---- response graph: the graph widget owns these; the pointers below are its children ----
    GraphView* graph = nullptr;
    std::array<DragPushButton*, kBands> bandMarker{};
    std::array<QLabel*, kBands> bandLabel{}; // Edit_Label_1 ... Edit_Label_31
    DragPushButton* hpfMarker = nullptr;
    DragPushButton* lpfMarker = nullptr;

    // Overlay check boxes: checkBox, checkBox_2 ... checkBox_6 (CH1 ... CH6).
    std::array<QCheckBox*, kChannels> curveCheck{};

    // ---- crossover area (right of the graph) ----
    QLabel* label = nullptr;   // high-pass heading
    QLabel* label_3 = nullptr; // high-pass type caption
    QLabel* label_5 = nullptr; // high-pass slope caption
    QLabel* label_4 = nullptr; // high-pass frequency caption
    QPushButton* BT_HPF_TYPE = nullptr;
    QPushButton* BT_HPF_SLOPE = nullptr;
    QPushButton* BT_HPF_FREQ_DOWN = nullptr;
    QLineEdit* Edit_HPF_Freq = nullptr;
    QPushButton* BT_HPF_FREQ_UP = nullptr;
    QLabel* label_12 = nullptr; // low-pass heading
    QLabel* label_7 = nullptr;  // low-pass type caption
    QLabel* label_8 = nullptr;  // low-pass slope caption
    QLabel* label_6 = nullptr;  // low-pass frequency caption
    QPushButton* BT_LPF_TYPE = nullptr;
    QPushButton* BT_LPF_SLOPE = nullptr;
    QPushButton* BT_LPF_FREQ_DOWN = nullptr;
    QLineEdit* Edit_LPF_Freq = nullptr;
    QPushButton* BT_LPF_FREQ_UP = nullptr;

    // ---- EQ page: one column per band ----
    QPushButton* BT_PEQ = nullptr;
    QPushButton* BT_GEQ = nullptr;
    QPushButton* BT_EQ_BYPASS = nullptr;
    QPushButton* BT_EQ_RESET = nullptr;
    QLabel* label_11 = nullptr;                    // gain row caption
    QLabel* label_9 = nullptr;                     // frequency row caption
    QLabel* label_10 = nullptr;                    // Q row caption
    std::array<QSlider*, kBands> eqGainSlider{};   // Slider_EQ_Gain_Bar_n
    std::array<QLineEdit*, kBands> eqGain{};       // Edit_EQ_Gain_n
    std::array<QLineEdit*, kBands> eqFreq{};       // Edit_EQ_Freq_n
    std::array<QLineEdit*, kBands> eqQ{};          // Edit_EQ_Q_n
    std::array<QPushButton*, kBands> bandButton{}; // BT_LED_n
    QLabel* label_15 = nullptr;                    // bypass sign laid over the band columns

    // ---- channel strips CH1 ... CH6 ----
    std::array<QPushButton*, kChannels> chButton{};     // BT_CH1 ... BT_CH6
    std::array<QPushButton*, kChannels> chNameButton{}; // BT_CH_NAME_n
    std::array<QSlider*, kChannels> chVolSlider{};      // Slider_CHVol_Bar_n
    std::array<QLineEdit*, kChannels> chVol{};          // Edit_CHVol_n
    std::array<QLineEdit*, kChannels> chDelay{};        // Edit_CHDelay_n
    std::array<QPushButton*, kChannels> chMute{};       // BT_Mute_n
    std::array<QPushButton*, kChannels> chPhase{};      // BT_Phase_n
    std::array<QPushButton*, kChannels> chSync{};       // BT_Sync_A0n1

    // ---- master strip ----
    QLabel* label_16 = nullptr; // master volume caption
    QSlider* Slider_Total_Bar = nullptr;
    QLineEdit* Edit_Total = nullptr;
    QPushButton* BT_MainMute = nullptr;

    // ---- link, delay unit, input source ----
    QPushButton* BT_LINK = nullptr;
    QLabel* label_13 = nullptr; // delay unit caption
    QPushButton* BT_Unit = nullptr;
    QPushButton* BT_INPUT_HI = nullptr;
    QPushButton* BT_INPUT_LOW = nullptr;
    QPushButton* BT_INPUT_OPT = nullptr;
    QPushButton* BT_INPUT_BT = nullptr;
    QPushButton* BT_INPUT_COAX = nullptr;

    // Creates every widget as a child of window, names and places it, and sets the window's size,
    // font and style sheet. Texts are the Chinese start-up texts.
    void setupUi(QWidget* window);
    // Places every widget for the window's size: the graph takes the width and height beyond the
    // smallest window; the other widgets keep their distance to the edges they sit at (the top
    // band's right-hand buttons and the crossover panels to the right edge, everything below the
    // graph to the bottom edge).
    void relayout(QSize windowSize);

  private:
    unsigned anchorOf(const QWidget* widget, const QRect& geometry) const;
    struct Anchored {
        QWidget* widget;
        int x, y, w, h;   // at the smallest window
        unsigned anchors; // see relayout
    };
    std::vector<Anchored> anchored;
};

} // namespace tarn
