// Runtime state of the channel strips and of the left/right link, beside the mirror. None of it
// is saved or sent.
#pragma once

#include "model/param_image.h"
#include "session/link_rules.h"

#include <QString>
#include <array>
#include <cstdint>

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
// writes a trace line (the tarn.diag logging category, off unless turned on).
QString delayDisplayText(int steps);

} // namespace tarn
