// Speaker roles: the role code of each channel, its names and its preset crossover.
#pragma once

#include "session/text.h"

#include <array>
#include <cstdint>

namespace tarn {

class ParamImage;

constexpr int kRoleCount = 21; // codes 0..20
constexpr uint8_t kRoleSubwoofer = 19;
constexpr uint8_t kRoleOff = 20;

// The text of a role code; codes past the table read "unknown" instead of indexing past it.
const Bilingual& Role_Name(uint8_t code);

// Writes the preset crossover of role `code` into channel ch of an image (of the mirror).
void Role_Apply_Crossover(ParamImage& image, int ch, uint8_t code);
void Role_Apply_Crossover(int ch, uint8_t code);

} // namespace tarn
