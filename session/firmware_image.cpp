#include "session/firmware_image.h"

#include <algorithm>

namespace tarn {

FirmwareCheck Check_Firmware(const uint8_t* head, uint32_t headLength, uint64_t size) {
    // Compared byte for byte, so case matters: "mvo" is not a firmware image.
    if (headLength < 3 || size < 3 || head[0] != 'M' || head[1] != 'V' || head[2] != 'O')
        return FirmwareCheck::NotMatch;
    if (size > kFirmwareMaxSize) return FirmwareCheck::TooLarge;
    return FirmwareCheck::Ok;
}

uint32_t Firmware_Numbered_Chunks(uint32_t size) {
    if (size <= static_cast<uint32_t>(kChunkSize)) return 0;
    return (size - kChunkSize + kChunkSize - 1) / kChunkSize;
}

bool Firmware_Chunk(const uint8_t* image, uint32_t size, uint32_t pos,
                    std::array<uint8_t, kChunkSize>& chunk) {
    for (uint32_t i = 0; i < static_cast<uint32_t>(kChunkSize); ++i) {
        const uint64_t at = static_cast<uint64_t>(pos) + i;
        chunk[i] = at < size ? image[at] : 0xFF;
    }
    return static_cast<uint64_t>(pos) + kChunkSize >= size;
}

int Firmware_Progress(uint32_t acknowledgedChunks, uint32_t size) {
    if (size == 0) return 3;
    const uint64_t percent = static_cast<uint64_t>(acknowledgedChunks) * kChunkSize * 100 / size;
    return static_cast<int>(std::clamp<uint64_t>(percent, 3, 100));
}

} // namespace tarn
