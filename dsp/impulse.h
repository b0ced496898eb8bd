// From a capture of the sweep to the impulse response of what lay between the player and the
// microphone, and where in the capture its direct sound arrives.
#pragma once

#include "dsp/fft.h"
#include "dsp/sweep.h"

#include <complex>
#include <memory>
#include <vector>

namespace tarn {

// The impulse response over every lag the capture allows. samples[zero] is lag 0 (the sweep's
// first sample played at the capture's first sample); the lags before it hold the harmonic
// products.
struct ImpulseResponse {
    int rate = 0;
    int zero = 0;
    std::vector<float> samples;
};

// The direct sound: the first peak within 6 dB of the strongest one, a little before it at most,
// at a sub-sample lag. Found only when that peak stands 20 dB above the response's noise (a
// capture of silence or noise has no such peak).
struct DirectSound {
    bool found = false;
    double lag = 0.0;   // samples after the capture's first sample, to a fraction of a sample
    double peak = 0.0;  // |h| there
    double noise = 0.0; // the response's noise (rms estimate)
};

// Deconvolves captures of one sweep: regularised spectral division by the sweep's spectrum, with
// the band outside the sweep suppressed so that its missing energy does not come back as noise.
// The sweep's spectrum is kept, so the channels and repeats of one measurement share it.
class Deconvolver {
  public:
    // captureFrames: the longest capture this will see (longer ones are cut).
    Deconvolver(const SweepSettings& sweepSettings, int captureFrames);
    ~Deconvolver();

    const SweepSettings& sweepSettings() const { return sweepSettings_; }
    const std::vector<float>& sweep() const { return sweep_; }
    int captureFrames() const { return captureFrames_; }

    // One channel of an interleaved capture: frames of `stride` samples, this channel's first at
    // capture[0].
    // Not for two threads at once: the transform's buffers are the object's own.
    ImpulseResponse run(const float* capture, int frames, int stride = 1) const;

    // The signal-to-noise ratio in the swept band of the last run's capture: the sweep through
    // the last run's response over lags [from, to) (the linear response and the harmonic
    // products before it) is the signal, what the capture holds beyond it the noise, per sample of
    // the sweep and of the capture. The noise those lags took into the signal is allowed for.
    double bandSnrDb(const ImpulseResponse& ir, int from, int to) const;

  private:
    SweepSettings sweepSettings_;
    std::vector<float> sweep_;
    int captureFrames_;
    mutable int lastFrames_ = 0;
    std::unique_ptr<RealFft> fft_;
    std::vector<std::complex<float>> sweepSpectrum_;
    std::vector<std::complex<float>> inverse_; // the inverse filter, normalised
    mutable std::vector<std::complex<float>> captured_;
};

// The direct sound among lags [0, maxLag] (maxLag < 0: every causal lag).
DirectSound findDirectSound(const ImpulseResponse& ir, const SweepSettings& sweepSettings,
                            int maxLag = -1);

} // namespace tarn
