// The channel bar: the channel buttons BT_CH1 ... BT_CH6 choosing the edited channel, the link
// button with its dialog, each channel's name button with its speaker-role menu, the input
// source buttons and the input's noise gate (a menu the window places in its option menu). Every
// handler hands the session one user action.
#pragma once

#include "model/param_image.h"

#include <QObject>
#include <array>
#include <cstdint>

class QAction;
class QActionGroup;
class QMenu;
class QPushButton;
class QWidget;

namespace tarn {

class EditCore;
class EditSession;

class ChannelBar : public QObject {
    Q_OBJECT

  public:
    struct Widgets {
        std::array<QPushButton*, kChannels> chButton{};     // BT_CH1 ... BT_CH6
        std::array<QPushButton*, kChannels> chNameButton{}; // BT_CH_NAME_n
        QPushButton* BT_LINK = nullptr;
        QPushButton* BT_INPUT_HI = nullptr;
        QPushButton* BT_INPUT_LOW = nullptr;
        QPushButton* BT_INPUT_OPT = nullptr;
        QPushButton* BT_INPUT_BT = nullptr;   // hidden
        QPushButton* BT_INPUT_COAX = nullptr; // hidden
    };
    // One channel's speaker-role menu on its name button.
    struct RoleMenu {
        QMenu* menu = nullptr;
        std::array<QMenu*, 6> position{}; // FL, FR, SL, SR, CEN, SUB
        std::array<QAction*, 21> entry{}; // by role code
    };
    // The noise gate's levels 0 (off) ... 6, one checked.
    struct NoiseGateMenu {
        QMenu* menu = nullptr;
        QActionGroup* group = nullptr;
        std::array<QAction*, 7> level{};
    };
    static constexpr int kRoleOffCode = 20;
    // Role code of entry `band` (FULL, Tweeter, Midrange, Woofer) of submenu `pos` (FL..SR).
    static constexpr int Role_Menu_Code(int pos, int band) {
        return 4 * pos + (band == 0 ? 3 : band - 1);
    }

    // Builds the role menus (their parent is window) and connects the buttons.
    ChannelBar(const Widgets& widgets, EditSession& session, QWidget* window);

    const std::array<RoleMenu, kChannels>& roleMenus() const { return roles; }
    const NoiseGateMenu& noiseGateMenu() const { return noiseGate; }

    // Chooses the edited channel: every band whose slider has to move is sent again (with the
    // linked copies), as a slider move; then every view shows the channel.
    void switchTo(int ch);

    // Shown from the image and the link state, sending nothing.
    void refreshButtons();   // the channel buttons and the link button
    void showInputButtons(); // the input-source buttons for Input_Source
    void refreshRoles();     // after a read-back: the enabled role entries and names, no marks
    void showNoiseGate();    // the level checked in the noise gate menu
    void showTexts(bool en); // the name buttons, the role and noise gate menus in the language

  private:
    void buildRoleMenus(QWidget* window);
    void buildNoiseGateMenu(QWidget* window);
    void selectNoiseGate(int level);
    void Role_Select(int ch, int code);
    void Channel_Display();     // enabled role entries, then the name buttons
    void Update_Channel_Name(); // name buttons from CH_Name in the current language
    void Role_Uncheck_All();
    void linkClicked();
    void Input_Select(uint8_t source);

    Widgets ui;
    EditSession& session;
    EditCore& core;
    std::array<RoleMenu, kChannels> roles{};
    NoiseGateMenu noiseGate;
};

} // namespace tarn
