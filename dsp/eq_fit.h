// Automatic equalisation of one channel: the 31 bands that bring its measured response to a
// target, within what the unit stores (whole hertz 20..20000, gain +-12.0 dB in 0.1 dB, Q
// 0.4..10.0 in 0.1) and within what is safe for the speaker: corrections only between the
// channel's crossover corners, boosts at most maxBoostDb and never below the high-pass corner
// nor into a dip narrower than a third of an octave (a cancellation that no boost fills), cuts
// down to -12 dB. The predicted response is that of the values that will be stored.
//
// The target a channel is brought to is the target curve shaped by its own crossovers: the bands
// correct the speaker and the cabin, not the crossover that was set on purpose.
#pragma once

#include "dsp/measurement.h"
#include "dsp/target_curve.h"

#include <array>
#include <vector>

namespace tarn {

// One crossover filter as the image holds it.
struct CrossoverSetting {
    bool on = false;
    int type = 0;  // 0 Butterworth, 1 Linkwitz-Riley, 2 Bessel
    int slope = 3; // slope index: 6 (slope + 1) dB/oct
    int freq = 1000;
};
// The level of a crossover filter at f Hz in dB (0 while it is off or of an unknown type).
double Crossover_Db(const CrossoverSetting& filter, bool highPass, double f);

// One band in the unit's steps.
struct FitBand {
    int freq = 1000; // Hz, 20..20000
    int gain = 0;    // tenths of a dB, -120..120
    int q = 30;      // Q x 10, 4..100
    bool operator==(const FitBand& o) const { return freq == o.freq && gain == o.gain && q == o.q; }
};
using FitBands = std::array<FitBand, kBands>;
// The level of the bands at f Hz in dB, each the unit's peaking section.
double Fit_Bands_Db(const FitBands& bands, double f);

enum class FitMode {
    Peq, // frequency, gain and Q of every band
    Geq  // the gains only, at the bands' frequencies and Q as they stand
};

struct FitRequest {
    std::vector<MeasuredPoint> measurement; // the channel alone, without the unit's processing
    TargetCurve target;
    CrossoverSetting hpf, lpf;
    // The channel's bands now: GEQ keeps their frequencies and Q, PEQ those of the bands it leaves
    // flat.
    FitBands bands;
    FitMode mode = FitMode::Peq;
    double maxBoostDb = 6.0;
};

struct FitResult {
    enum class Error {
        None,
        NoRange // the measurement does not cover the pass band between the crossover corners
    };
    Error error = Error::None;
    FitBands bands{};
    int bandsUsed = 0; // bands not flat
    // The range corrected, in Hz.
    double fromHz = 0, toHz = 0;
    // RMS in dB over the range of the difference from the target, both smoothed to 1/6 octave:
    // with the fitted bands, with every band flat, and against the target as far as the limits
    // let it be reached.
    double residualDb = 0, flatResidualDb = 0, reachableResidualDb = 0;
    // The centres of the narrow dips left alone, in Hz.
    std::vector<double> narrowDips;
    double elapsedMs = 0;
    // On the response grid, for the graph: the predicted response (measurement, crossovers and
    // bands, 1/6 octave), the target at the measurement's level shaped by the crossovers, and
    // which points the measurement covers.
    std::array<double, kCurvePoints> predicted{}, target{};
    std::array<bool, kCurvePoints> covered{};
};

FitResult Fit_Eq(const FitRequest& request);

} // namespace tarn
