// The 32-byte HID frame in both directions: building and sending, and scanning received bytes.
#pragma once

#include <cstdint>

namespace tarn {

// Wraps a payload (0..24 bytes) into Link.Tx_Report and writes it, unless sending is suppressed,
// a class-0x05 command arrives during the block read-back, or no unit is open.
void Send_Frame(const uint8_t* payload, int n);
// The same frame and failure handling, without the drop rules and without touching Idle_Count.
void Send_Frame_Raw(const uint8_t* payload, int n);

// Scans Link.Rx_Ring for at most one inbound frame; an accepted frame fills Reply_Code and
// Reply_Data and is handed to Link.replyHandler.
void Parse_Frame();

// Appends received bytes at Rx_Write (wrapping). Used by the reads of the link.
void Rx_Append(const uint8_t* data, int n);

} // namespace tarn
