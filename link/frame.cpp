#include "link/frame.h"

#include <algorithm>

namespace tarn {

bool Encode_Frame(uint8_t seq, const uint8_t* payload, int n, Report& r) {
    if (n < 0 || n > kMaxPayload) return false;
    r[0] = 0x00;
    r[1] = 0x20;
    r[2] = kStartMarker;
    r[3] = kDirToUnit;
    r[4] = seq;
    r[5] = static_cast<uint8_t>(n);
    unsigned sum = kStartMarker + kDirToUnit + seq + static_cast<unsigned>(n);
    for (int i = 0; i < n; ++i) {
        r[static_cast<std::size_t>(6 + i)] = payload[i];
        sum += payload[i];
    }
    r[static_cast<std::size_t>(6 + n)] = static_cast<uint8_t>(sum);
    r[static_cast<std::size_t>(7 + n)] = kEndMarker;
    return true;
}

DecodeResult Decode_Frame(const uint8_t* b, std::size_t n, Reply& out) {
    std::size_t i = 0;
    while (i < n && b[i] != kStartMarker)
        ++i;
    if (i + 2 > n) return {DecodeStatus::NeedMore, i};
    if (b[i + 1] != kDirFromUnit) return {DecodeStatus::Bad, i + 2};
    if (i + 4 > n) return {DecodeStatus::NeedMore, i};
    const uint8_t seq = b[i + 2];
    const std::size_t len = b[i + 3];
    const std::size_t end = i + 4 + len + 2; // one past the end marker
    if (end > n) return {DecodeStatus::NeedMore, i};
    uint8_t sum = static_cast<uint8_t>(seq + len + 0x24); // 0x24: 0xFA + 0x2A
    for (std::size_t k = 0; k < len; ++k)
        sum = static_cast<uint8_t>(sum + b[i + 4 + k]);
    if (b[end - 2] != sum) return {DecodeStatus::Bad, end - 1};
    if (b[end - 1] != kEndMarker) return {DecodeStatus::Bad, end};
    out.seq = seq;
    out.hasCode = len > 0;
    if (len > 0) out.code = b[i + 4];
    out.length = len > 0 ? static_cast<int>(len - 1) : 0;
    std::copy(b + i + 5, b + i + 5 + out.length, out.data.begin());
    return {DecodeStatus::Ok, end};
}

bool Decode_Report(const uint8_t* report, int n, Reply& out) {
    // Byte 0 precedes the frame; the frame must start right at byte 1.
    if (n < 8 || report[1] != kStartMarker) return false;
    Reply reply;
    const DecodeResult r = Decode_Frame(report + 1, static_cast<std::size_t>(n - 1), reply);
    if (r.status != DecodeStatus::Ok || !reply.hasCode) return false;
    out = reply;
    return true;
}

void RxRing::append(const uint8_t* data, int n) {
    for (int i = 0; i < n; ++i)
        bytes[write++] = data[i];
}

bool Scan_Ring(RxRing& ring, Reply& out) {
    if (ring.buffered() < 7) return false;
    // The decoder wants contiguous bytes; a frame never spans more than kMaxInboundFrame of them
    // past the garbage in front, so a window of that many after the first start marker is enough.
    while (ring.read != ring.write && ring.bytes[ring.read] != kStartMarker)
        ++ring.read;
    std::array<uint8_t, kMaxInboundFrame> window;
    const std::size_t n = std::min<std::size_t>(ring.buffered(), window.size());
    for (std::size_t k = 0; k < n; ++k)
        window[k] = ring.bytes[static_cast<uint16_t>(ring.read + k)];
    Reply reply = out; // an empty payload keeps the previous code
    const DecodeResult r = Decode_Frame(window.data(), n, reply);
    ring.read = static_cast<uint16_t>(ring.read + r.used);
    if (r.status != DecodeStatus::Ok) return false;
    out = reply;
    return true;
}

} // namespace tarn
