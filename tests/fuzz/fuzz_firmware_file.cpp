// The firmware file check and the cutting into chunks, on arbitrary bytes taken as the file. For
// a file it accepts: the numbered chunks stay within 0..0x7FFE, the chunks put together give the
// file followed by 0xFF padding only, and the final chunk holds at least one byte of the file.
// A head read from a longer file (its size in bytes 3..6) is checked as well.
#include "session/firmware_image.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

void expectCheck(const uint8_t* head, uint32_t headLength, uint64_t size) {
    using namespace tarn;
    const bool signature = headLength >= 3 && size >= 3 && std::memcmp(head, "MVO", 3) == 0;
    const FirmwareCheck expected = !signature                ? FirmwareCheck::NotMatch
                                   : size > kFirmwareMaxSize ? FirmwareCheck::TooLarge
                                                             : FirmwareCheck::Ok;
    if (Check_Firmware(head, headLength, size) != expected) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn;
    if (size > kFirmwareMaxSize + 1) return 0;
    const auto length = static_cast<uint32_t>(size);
    expectCheck(data, length, length);
    if (size >= 7) {
        uint32_t claimed = 0;
        std::memcpy(&claimed, data + 3, 4);
        expectCheck(data, 7, claimed);
    }
    if (Check_Firmware(data, length, length) != FirmwareCheck::Ok) return 0;

    const uint32_t numbered = Firmware_Numbered_Chunks(length);
    if (numbered > kMaxNumberedChunks) std::abort();
    std::array<uint8_t, kChunkSize> chunk{};
    uint32_t pos = 0;
    uint32_t count = 0;
    for (;;) {
        const bool final = Firmware_Chunk(data, length, pos, chunk);
        for (uint32_t i = 0; i < kChunkSize; ++i) {
            const uint32_t at = pos + i;
            if (chunk[i] != (at < length ? data[at] : 0xFF)) std::abort();
        }
        if (final) break;
        const int bar = Firmware_Progress(++count, length);
        if (bar < 3 || bar > 100) std::abort();
        pos += kChunkSize;
        if (count > numbered) std::abort();
    }
    if (count != numbered || pos >= length || pos + kChunkSize < length) std::abort();
    return 0;
}
