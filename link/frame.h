// The 32-byte HID frame in both directions, as pure functions over byte buffers: building the
// outgoing report, and decoding an inbound frame from a span of received bytes. The receive ring
// and its scanner use the same decoder, and so do the transfer jobs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarn {

constexpr int kReportSize = 32;
constexpr int kMaxPayload = 24;
constexpr int kRingSize = 65536;
constexpr uint8_t kStartMarker = 0xFA;
constexpr uint8_t kEndMarker = 0xF5;
constexpr uint8_t kDirToUnit = 0xA2;
constexpr uint8_t kDirFromUnit = 0x2A;
// The longest inbound frame a length byte can announce: markers, seq, length, 255, checksum, end.
constexpr int kMaxInboundFrame = 4 + 255 + 2;

using Report = std::array<uint8_t, kReportSize>;

// Writes the frame for the payload (n = 0..24) into report with the given sequence number; bytes
// after the end marker keep what they held. False (report untouched) when n is out of range.
bool Encode_Frame(uint8_t seq, const uint8_t* payload, int n, Report& report);

// The payload of one accepted inbound frame: the reply code, then its data.
struct Reply {
    bool hasCode = false; // false for an empty payload: the previous code stands
    uint8_t code = 0;
    uint8_t seq = 0;
    std::array<uint8_t, 254> data{};
    int length = 0; // bytes of data
};

enum class DecodeStatus {
    Ok,       // a whole frame was accepted
    NeedMore, // no whole frame yet: used bytes (leading garbage) may be dropped, the rest waits
    Bad       // a frame was discarded: used bytes are consumed
};

struct DecodeResult {
    DecodeStatus status;
    std::size_t used;
};

// Looks for one inbound frame (FA 2A seq L payload checksum F5) from the start of bytes, skipping
// anything before a start marker. A wrong direction byte consumes the marker and that byte; a bad
// checksum or a missing end marker consumes the frame.
DecodeResult Decode_Frame(const uint8_t* bytes, std::size_t n, Reply& out);

// The answer in one input report of n bytes (a transfer's read): a whole, well-formed frame with
// at least the code must stand at byte 1.
bool Decode_Report(const uint8_t* report, int n, Reply& out);

// The receive ring: 65 536 bytes with 16-bit indices, so positions wrap by themselves.
struct RxRing {
    std::array<uint8_t, kRingSize> bytes{};
    uint16_t read = 0;
    uint16_t write = 0;

    void clear() { read = write = 0; }
    void append(const uint8_t* data, int n);
    uint16_t buffered() const { return static_cast<uint16_t>(write - read); }
};

// Scans the ring for at most one frame (nothing before 7 bytes are buffered). On success out
// holds the reply; its code keeps the previous value for an empty payload.
bool Scan_Ring(RxRing& ring, Reply& out);

} // namespace tarn
