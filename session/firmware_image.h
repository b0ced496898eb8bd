// A firmware image and how it is cut into the 16-byte chunks of the upgrade. Pure functions.
//
// The file starts with the ASCII letters "MVO" and is sent as is, from byte 0, 16 bytes per chunk.
// Every chunk but the last is numbered from 0 and acknowledged by the unit; the last one carries
// the number 0xFFFF and is padded with 0xFF.
#pragma once

#include <array>
#include <cstdint>

namespace tarn {

constexpr int kChunkSize = 16;
constexpr uint16_t kFinalChunkNumber = 0xFFFF;
// An upgrade carries at most 0x8000 chunks in all, the final one included: 512 KiB. So the
// numbered chunks run 0..0x7FFE at most.
constexpr uint32_t kMaxNumberedChunks = 0x7FFF;
constexpr uint32_t kFirmwareMaxSize = kMaxNumberedChunks * kChunkSize + kChunkSize; // 524288

enum class FirmwareCheck { Ok, NotMatch, TooLarge };

// head: the first bytes of the file (at least what there is of its first 3); size: its length.
FirmwareCheck Check_Firmware(const uint8_t* head, uint32_t headLength, uint64_t size);

// Numbered chunks before the final one: a chunk at position p is the final one when p + 16 >= size.
uint32_t Firmware_Numbered_Chunks(uint32_t size);

// The 16 bytes of the chunk at byte position pos: image bytes below size, 0xFF past it. Returns
// whether it is the final chunk.
bool Firmware_Chunk(const uint8_t* image, uint32_t size, uint32_t pos,
                    std::array<uint8_t, kChunkSize>& chunk);

// The progress bar during the upgrade: 3 at the start, then the share of the image the unit has
// acknowledged, in percent.
int Firmware_Progress(uint32_t acknowledgedChunks, uint32_t size);

} // namespace tarn
