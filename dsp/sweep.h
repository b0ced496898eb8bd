// The exponential sine sweep a measurement plays: its frequency rises by the same ratio every
// second, so that each octave gets the same time and the harmonic products of a driver fall
// before its linear response once the capture is deconvolved.
#pragma once

#include <vector>

namespace tarn {

constexpr double kSweepMinSeconds = 1.0;
constexpr double kSweepMaxSeconds = 8.0;

struct SweepSettings {
    int rate = 48000;       // samples per second
    double seconds = 3.0;   // without the silence around it
    double startHz = 10.0;  // the band swept
    double endHz = 22000.0; //
    double levelDbfs = -20.0;
};

// A sweep the user may ask for: 44.1, 48 or 96 kHz, 1..8 s, 0 < startHz < endHz below half the
// rate, at most 0 dBFS. The short timing-reference sweep is made by the program and not checked.
bool sweepSettingsValid(const SweepSettings& sweepSettings);

// The sweep's samples, its peak at levelDbfs. The first third of an octave and the last
// twenty-fourth fade in and out (raised cosine), so that neither end clicks.
std::vector<float> makeSweep(const SweepSettings& sweepSettings);

// Seconds the sweep spends per e-fold of frequency (T / ln(endHz / startHz)); the k-th harmonic
// product lies ln(k) times this before the linear response.
double sweepRateConstant(const SweepSettings& sweepSettings);

// The samples the fades take at the start and at the end.
int sweepFadeInFrames(const SweepSettings& sweepSettings);
int sweepFadeOutFrames(const SweepSettings& sweepSettings);

} // namespace tarn
