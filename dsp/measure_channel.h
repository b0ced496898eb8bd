// One channel's sweep capture turned into what the measurement shows: its response, its arrival
// time against a timing reference and a verdict. A capture the numbers cannot be trusted from
// gets its verdict and no arrival time, never a guess.
#pragma once

#include "dsp/impulse.h"
#include "dsp/measurement.h"
#include "dsp/mic_calibration.h"
#include "dsp/smoothing.h"

#include <optional>
#include <vector>

namespace tarn {

enum class Verdict { Measured, NoSignal, Clipped, Dropouts, TooNoisy, ReferenceNotFound };

// The verdict as the window and the command line show it.
const char* verdictText(Verdict v, bool english);

constexpr double kClipLevel = 0.999;        // of full scale
constexpr double kMinSnrDb = 20.0;          // in the swept band
constexpr double kDropoutMs = 0.5;          // exact zeros in a row where the sweep sounds
constexpr double kResponseWindowMs = 500.0; // without a gate
constexpr double kResponsePreMs = 1.0;      // kept before the direct sound

struct MeasureSettings {
    double gateMs = 0.0;               // 0: the whole window (kResponseWindowMs)
    int smoothing = kSmoothingDefault; // 1/smoothing octave
    const MicCalibration* calibration = nullptr;
};

// Where the timing reference arrived in the same capture, and how many samples after it the
// channel's sweep was played (0 for a loopback channel, which records the same sweep). An acoustic
// reference's own sweep lies before channelStart in the microphone's capture; the channel is
// analysed from there on, so that the reference sweep does not pass for noise.
struct TimingReference {
    bool found = false;
    double lag = 0.0;
    int sweepOffset = 0;
    int channelStart = 0;
};

struct ChannelMeasurement {
    Verdict verdict = Verdict::NoSignal;
    double peakDbfs = -200.0; // the capture's peak
    double snrDb = 0.0;       // in the swept band
    DirectSound direct;
    std::optional<double> arrivalMs; // after the reference, rounded to 0.01 ms; Measured only
    double levelDb = 0.0;            // the response's power mean over 200 Hz..2 kHz
    std::vector<MeasuredPoint> response;
    std::vector<float> impulse; // from kResponsePreMs before the direct sound, windowed
};

// A loopback channel: the channel's own sweep, recorded straight from the output in the same
// capture.
TimingReference loopbackReference(const Deconvolver& sweep, const float* loopback, int frames,
                                  int stride);

// An acoustic reference: the short referenceSweep played on the reference channel sweepOffset
// samples before the channel's sweep, recorded by the microphone. It is looked for before the
// channel's sweep arrives (the two sweeps share a band, and the long one would pass for it), and
// within kReferenceSpreadMs of where it must lie; the channel's sweep, when the reference's
// residue outgrows it, after the reference has died away.
constexpr double kReferenceSpreadMs = 100.0;
TimingReference acousticReference(const Deconvolver& referenceSweep, const Deconvolver& sweep,
                                  const float* capture, int frames, int stride, int sweepOffset);

ChannelMeasurement measureChannel(const Deconvolver& sweep, const float* capture, int frames,
                                  int stride, const TimingReference& reference,
                                  const MeasureSettings& settings);

// The longest run of samples that are exactly zero within [from, to) of one channel.
int longestZeroRun(const float* capture, int stride, int from, int to);

} // namespace tarn
