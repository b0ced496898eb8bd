// Delays from speaker distances: sound from every speaker arrives at the listener together. The
// farthest speaker gets no delay; each other one waits for the extra path of the farthest, at the
// unit's 345 m/s and 0.01 ms per step (0.345 cm per step). Pure.
#pragma once

#include "model/param_image.h"
#include "session/bulk_edits.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace tarn {

constexpr int kDistanceMaxCm = 2000;

// Steps for a path difference of cm centimetres, rounded to the nearest step.
int Distance_Steps(int cm);

struct DelayPlan {
    bool ok = false;
    // Per channel: the new delay in steps, or nothing for a channel left out (no distance given).
    ChannelDelays steps{};
    int farthest = -1;     // the channel that gets no delay
    std::vector<int> over; // when refused: the channels whose delay would pass kDelayMax
};

// Channels without a distance keep their delay and do not count. Refused (ok false) when some
// channel would need more than kDelayMax steps, or when no distance is given at all.
DelayPlan Delays_For_Distances(const std::array<std::optional<int>, kChannels>& cm);

// A typed distance: whole centimetres 0..2000, surrounding spaces allowed. Empty text is "no
// distance" (nullopt with ok true); anything else that does not read gives ok false.
std::optional<int> Parse_Distance(const QString& text, bool& ok);

} // namespace tarn
