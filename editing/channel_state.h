// Runtime state of the channel strips and of the left/right link, beside the mirror. None of it
// is saved or sent.
#pragma once

#include "editing/link_rules.h"
#include "model/param_image.h"

#include <QString>
#include <array>
#include <cstdint>

class QPushButton;

namespace tarn {

constexpr uint8_t kLinkBaseLeft = 0;
constexpr uint8_t kLinkBaseRight = 1;
constexpr uint8_t kLinkBaseNone = 0xFF;

struct ChannelEditState {
    int Delay_Unit = 0;                          // 0 = ms, 1 = cm
    std::array<uint8_t, kChannels> Sync_Group{}; // 1 = the channel's Sync button is engaged
    uint8_t Link_Base = kLinkBaseLeft;           // reference side of the next synchronise
    uint8_t Link_Active = 0;                     // 1 after a synchronise, 0 after an unlink
};

extern ChannelEditState Chan;

// Start-up values (ms, no Sync, left reference, no link active).
void Channel_State_Init();

// The delay entry's text for a number of steps in the current unit; in milliseconds it also
// writes a line to the debug log.
QString GetDelayDisplayStr(int steps);

// The two-state looks of the strip buttons, each sheet addressed to the button by object name.
enum class ButtonLook {
    Plain,    // rgb(72, 72, 73), white text
    Selected, // rgb(204, 204, 204), black text: channel, link, master mute and input buttons
    Lit,      // rgb(204, 204, 204), red text: engaged phase, mute and Sync buttons
};
QString Button_Sheet(const QString& objectName, ButtonLook look);
// Sets the sheet unless the button already has it (restyling is the costly part).
void Set_Look(QPushButton* button, ButtonLook look);

} // namespace tarn
