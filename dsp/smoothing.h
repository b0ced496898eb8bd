// Fractional-octave smoothing of a power spectrum onto log-spaced frequencies.
#pragma once

#include "dsp/measurement.h"

#include <vector>

namespace tarn {

constexpr int kSmoothingFinest = 48;  // 1/48 octave
constexpr int kSmoothingCoarsest = 3; // 1/3 octave
constexpr int kSmoothingDefault = 6;

// power[k]: the power at k * binHz. Returns, at 48 points per octave from loHz up to hiHz, the
// level (dB) of the mean power over one 1/fraction octave centred on each point, the spectrum
// taken as linear between its bins; a band narrower than a bin reads the interpolated bin.
// fraction is held to 3..48.
std::vector<MeasuredPoint> smoothedLevels(const std::vector<double>& power, double binHz,
                                          double loHz, double hiHz, int fraction);

} // namespace tarn
