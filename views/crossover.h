// The crossover panel of Cur_CH: the type and slope menus, the frequency entries with their keys
// and wheel, and the step buttons, for the high-pass and the low-pass filter alike (lowPass picks
// the set); each forwards to the editing core's filter-edit routine as one undo step.
#pragma once

#include "session/undo_step.h"

#include <QObject>
#include <array>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

namespace tarn {

class EditCore;
class EditSession;

class CrossoverPanel : public QObject {
    Q_OBJECT

  public:
    struct Widgets {
        QLineEdit* Edit_HPF_Freq = nullptr;
        QLineEdit* Edit_LPF_Freq = nullptr;
        QPushButton* BT_HPF_TYPE = nullptr;
        QPushButton* BT_LPF_TYPE = nullptr;
        QPushButton* BT_HPF_SLOPE = nullptr;
        QPushButton* BT_LPF_SLOPE = nullptr;
        QPushButton* BT_HPF_FREQ_UP = nullptr; // the step buttons, hidden
        QPushButton* BT_HPF_FREQ_DOWN = nullptr;
        QPushButton* BT_LPF_FREQ_UP = nullptr;
        QPushButton* BT_LPF_FREQ_DOWN = nullptr;
    };
    // One filter's drop-down menus, on its type and slope buttons.
    struct FilterMenus {
        QMenu* type = nullptr;
        QMenu* slope = nullptr;
        std::array<QAction*, 3> typeEntry{};
        std::array<QAction*, 9> slopeEntry{}; // 0..7 the slopes, 8 off
    };

    // Builds the menus (their parent is window) and connects the entries and buttons.
    CrossoverPanel(const Widgets& widgets, EditSession& session, QWidget* window);

    const FilterMenus& menus(bool lowPass) const { return filter[lowPass ? 1 : 0]; }

    void refresh();          // the entries and buttons of Cur_CH from the image, sending nothing
    void showTexts(bool en); // the menus in the language given
    // The graph's crossover marker dragged to a new corner frequency.
    void markerMoved(bool lowPass, int freq);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override; // keys and wheel of the entries

  private:
    void buildMenus(QWidget* window);
    void Filter_Type_Select(bool lowPass, int type);   // type menus, entries 0..2
    void Filter_Slope_Select(bool lowPass, int entry); // slope menus, entries 0..7 and 8 = off
    void Filter_Freq_Entry(bool lowPass);
    void Filter_Step_Button(bool lowPass, bool up);
    void Filter_Freq_Step(bool lowPass, bool up, bool fast, Gesture gesture);

    Widgets ui;
    EditSession& session;
    EditCore& core;
    std::array<FilterMenus, 2> filter{}; // high-pass, low-pass
};

} // namespace tarn
