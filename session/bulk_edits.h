// The values of the tuning workflow's bulk edits: a whole channel's bands, and the delays of the
// channels. Each is applied by one window function as one edit (one undo step).
#pragma once

#include "model/param_image.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tarn {

// One band as the mirror holds it (PC gain encoding, Q x 10).
struct BandSetting {
    uint16_t freq = 1000;
    uint16_t gain = kGainFlat;
    uint8_t q = 30;
    bool operator==(const BandSetting& o) const {
        return freq == o.freq && gain == o.gain && q == o.q;
    }
};
using ChannelBands = std::array<BandSetting, kBands>;

// Per channel: a new delay in steps, or nothing for a channel that keeps its delay.
using ChannelDelays = std::array<std::optional<uint16_t>, kChannels>;

} // namespace tarn
