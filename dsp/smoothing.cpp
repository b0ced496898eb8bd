#include "dsp/smoothing.h"

#include <algorithm>
#include <cmath>

namespace tarn {

std::vector<MeasuredPoint> smoothedLevels(const std::vector<double>& power, double binHz,
                                          double loHz, double hiHz, int fraction) {
    std::vector<MeasuredPoint> out;
    const int bins = static_cast<int>(power.size());
    if (bins < 2 || !(binHz > 0.0) || !(loHz > 0.0) || !(hiHz >= loHz)) return out;
    fraction = std::clamp(fraction, kSmoothingCoarsest, kSmoothingFinest);

    // The integral of the piecewise-linear spectrum from bin 0 to each bin.
    std::vector<double> integral(static_cast<size_t>(bins));
    integral[0] = 0.0;
    for (int k = 1; k < bins; ++k)
        integral[static_cast<size_t>(k)] =
            integral[static_cast<size_t>(k - 1)] +
            0.5 * (power[static_cast<size_t>(k - 1)] + power[static_cast<size_t>(k)]);
    const double lastBin = bins - 1;
    const auto powerAt = [&](double x) {
        const int k = std::min(static_cast<int>(x), bins - 2);
        const double t = x - k;
        return power[static_cast<size_t>(k)] +
               t * (power[static_cast<size_t>(k + 1)] - power[static_cast<size_t>(k)]);
    };
    const auto integralAt = [&](double x) {
        const int k = std::min(static_cast<int>(x), bins - 2);
        const double t = x - k;
        const double p0 = power[static_cast<size_t>(k)];
        const double p1 = power[static_cast<size_t>(k + 1)];
        return integral[static_cast<size_t>(k)] + t * p0 + 0.5 * t * t * (p1 - p0);
    };

    const double half = std::pow(2.0, 0.5 / fraction);
    const int points = static_cast<int>(std::floor(std::log2(hiHz / loHz) * 48.0 + 1e-9)) + 1;
    out.reserve(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i) {
        const double f = loHz * std::pow(2.0, i / 48.0);
        const double a = std::clamp(f / half / binHz, 0.0, lastBin);
        const double b = std::clamp(f * half / binHz, 0.0, lastBin);
        const double mean =
            b - a > 1e-6 ? (integralAt(b) - integralAt(a)) / (b - a) : powerAt(0.5 * (a + b));
        out.push_back({f, 10.0 * std::log10(std::max(mean, 1e-30))});
    }
    return out;
}

} // namespace tarn
