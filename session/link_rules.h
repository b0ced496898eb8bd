// Left/right pairs of speaker roles and the parameter copy of a link. Pure: works on an image.
#pragma once

#include "model/param_image.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarn {

struct LrPair {
    uint8_t left;
    uint8_t right;
};

// Role codes that form a left/right pair, in the order the synchronise looks them up. Centre (16),
// single subwoofer (19) and OFF (20) have no partner.
constexpr std::array<LrPair, 9> LR_Pairs{
    {{3, 7}, {0, 4}, {1, 5}, {2, 6}, {11, 15}, {8, 12}, {9, 13}, {10, 14}, {17, 18}}};

// Whom a synchronise from channel ch pairs it with, by the speaker roles: the partners that
// receive ch's settings when ch is on the reference side, else the references ch copies from.
// Empty when ch's role has no partner among the channels.
struct LinkPairing {
    bool editedIsReference = true;
    std::vector<int> channels; // ascending
};
LinkPairing Link_Pairing(const ParamImage& image, int ch, bool leftBased);

// What a parameter copy changed in the destination channel.
struct LinkCopyChange {
    bool eq = false;      // the mode copies the EQ (bypass and bands)
    bool filters = false; // the mode copies the two crossover filters
    bool bypass = false;  // EQ_Bypass differed
    uint32_t bands = 0;   // bit b: frequency, gain or Q of band b differed
};

// One band's frequency, gain and Q of channel src into channel dst; whether any of them differed.
bool Copy_Band(ParamImage& image, int dst, int src, int band);
// The four fields of one filter of channel src into channel dst.
void Copy_Filter(ParamImage& image, const FilterFields& f, int dst, int src);

// Copies channel src to channel dst by link mode: 0 = filters and EQ, 1 = EQ only (bypass and the
// 31 bands), anything else = filters only (the four fields of each filter). Only the image
// changes; the result says what was different before.
LinkCopyChange Link_Parameter_Copy(ParamImage& image, int dst, int src, uint8_t mode);

} // namespace tarn
