// The decoding of the unit's answers during the scene and firmware transfers: arbitrary input
// reports read as a transfer reads them, each matched against what the transfers wait for. An
// answer taken must be a whole frame of the report with the code and the block or chunk it names
// where the job placed it; a download answer taken is stored inside the nine scene images only.
// Input: byte 0 picks the block or chunk waited for, then reports of up to 32 bytes, each led by
// its length byte.
#include "link/frame.h"
#include "link/transfer_job.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace {

using namespace tarn;

// What the four transfers wait for, written out here so that the fuzz checks them as a reader
// of the protocol would: image block k (41 k), stored-scene block s k written (15 s k) or read
// (15 s k + 20 bytes), firmware chunk f (B0 f-high f-low).
std::array<Expected, 4> expectations(uint8_t pick) {
    const int k = pick % 55;
    const int s = 1 + pick % 9;
    const int f = pick * 131;
    return {Expected{0x41, 1, k}, Expected{0x15, 2, s, k}, Expected{0x15, 22, s, k},
            Expected{0xB0, 2, (f >> 8) & 0xFF, f & 0xFF}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const auto expected = expectations(data[0]);
    static std::array<uint8_t, 9 * 4096> scenes;
    size_t at = 1;
    while (at < size) {
        const size_t n = std::min<size_t>({data[at], size - at - 1, kReportSize});
        const uint8_t* report = data + at + 1;
        at += 1 + n;
        Reply answer;
        if (!Decode_Report(report, static_cast<int>(n), answer)) continue;
        // A whole frame at byte 1: FA 2A seq L code data checksum F5 within the report.
        if (answer.length < 0 || 1 + 4 + 1 + answer.length + 2 > static_cast<int>(n)) std::abort();
        if (report[1] != kStartMarker || report[2] != kDirFromUnit) std::abort();
        if (answer.code != report[5]) std::abort();
        if (std::memcmp(answer.data.data(), report + 6, static_cast<size_t>(answer.length)) != 0)
            std::abort();
        for (const Expected& e : expected) {
            if (!Answer_Matches(answer, e)) continue;
            if (answer.code != e.code || answer.length < e.minData) std::abort();
            if (e.arg0 >= 0 && answer.data[0] != e.arg0) std::abort();
            if (e.arg1 >= 0 && answer.data[1] != e.arg1) std::abort();
            if (e.minData == 22) { // stored where the answer says, as the download does
                const size_t place = size_t(answer.data[0] - 1) * 4096 + answer.data[1] * 20u;
                if (answer.data[0] < 1 || place + 20 > scenes.size()) std::abort();
                std::memcpy(scenes.data() + place, answer.data.data() + 2, 20);
            }
        }
    }
    return 0;
}
