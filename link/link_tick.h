// Opening the unit, pacing the read-back and the keep-alive: the free functions of the link tick.
#pragma once

#include <cstdint>

namespace tarn {

constexpr uint16_t kVendorId = 0x1A86;
constexpr uint16_t kProductId = 0xE010;
constexpr const char* Expected_Name = "TQ_AUD48";
// How long a read waits for the unit's answer. A late answer is treated like no answer.
constexpr int kReadTimeoutMs = 20;
constexpr int kKeepAliveReadTimeoutMs = 100;
// How often one block or scene name is asked for before the handshake starts afresh.
constexpr int kRequestAttempts = 8;
// After a unit with the wrong name, how many ticks pass before it is asked again.
constexpr int kWrongNameRetryTicks = 100;

// Returns after ms milliseconds, processing events meanwhile.
void Wait_Ms(uint16_t ms);

// Reads one report into the ring from position 0 (both indices reset first); returns the count.
int Read_Report(int timeoutMs = kReadTimeoutMs);

// Opens the unit (closing any earlier handle) and asks its name.
void Connect_Unit();

// Back to searching for the unit: the next offline tick opens it and asks its name again.
void Link_Go_Offline();

// Closes the unit, if open.
void Close_Unit();

// Extra state of the link tick beyond the shared link state.
struct LinkTickState {
    int attempts = 0;           // requests sent for the current block or scene name
    uint8_t askedStored = 0;    // the block or scene name asked for has been stored
    uint16_t wrongNameWait = 0; // ticks until a refused unit is asked again
    uint8_t wrongNameSeen = 0;  // the wrong-name notice was shown for the unit now attached
    uint8_t noticeOpen = 0;
};
extern LinkTickState LinkTick;

} // namespace tarn
