#include "dsp/sweep.h"

#include <algorithm>
#include <cmath>

namespace tarn {

bool sweepSettingsValid(const SweepSettings& s) {
    return (s.rate == 44100 || s.rate == 48000 || s.rate == 96000) &&
           s.seconds >= kSweepMinSeconds && s.seconds <= kSweepMaxSeconds && s.startHz > 0.0 &&
           s.startHz < s.endHz && s.endHz < s.rate / 2.0 && s.levelDbfs <= 0.0 &&
           std::isfinite(s.levelDbfs);
}

double sweepRateConstant(const SweepSettings& s) {
    return s.seconds / std::log(s.endHz / s.startHz);
}

// The time one octave takes: a third of it fades in, a twenty-fourth out.
int sweepFadeInFrames(const SweepSettings& s) {
    return std::max(1, static_cast<int>(sweepRateConstant(s) * std::log(2.0) / 3.0 * s.rate));
}

int sweepFadeOutFrames(const SweepSettings& s) {
    return std::max(1, static_cast<int>(sweepRateConstant(s) * std::log(2.0) / 24.0 * s.rate));
}

std::vector<float> makeSweep(const SweepSettings& s) {
    const int n = static_cast<int>(std::lround(s.seconds * s.rate));
    std::vector<float> out(static_cast<size_t>(std::max(n, 0)));
    if (n < 2 || !(s.startHz > 0.0) || !(s.endHz > s.startHz)) return out;
    const double L = sweepRateConstant(s);
    const double amp = std::pow(10.0, s.levelDbfs / 20.0);
    const int fadeIn = sweepFadeInFrames(s);
    const int fadeOut = sweepFadeOutFrames(s);
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / s.rate;
        double v = amp * std::sin(2.0 * pi * s.startHz * L * (std::exp(t / L) - 1.0));
        if (i < fadeIn) v *= 0.5 - 0.5 * std::cos(pi * i / fadeIn);
        const int fromEnd = n - 1 - i;
        if (fromEnd < fadeOut) v *= 0.5 - 0.5 * std::cos(pi * fromEnd / fadeOut);
        out[static_cast<size_t>(i)] = static_cast<float>(v);
    }
    return out;
}

} // namespace tarn
