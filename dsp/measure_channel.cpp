#include "dsp/measure_channel.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>

namespace tarn {

const char* verdictText(Verdict v, bool english) {
    switch (v) {
    case Verdict::Measured:
        return english ? "Measured" : "已测量";
    case Verdict::NoSignal:
        return english ? "No signal" : "无信号";
    case Verdict::Clipped:
        return english ? "Clipped" : "削波";
    case Verdict::Dropouts:
        return english ? "Dropouts" : "采样丢失";
    case Verdict::TooNoisy:
        return english ? "Too noisy" : "噪声过大";
    case Verdict::ReferenceNotFound:
        return english ? "Reference not found" : "未找到时间参考";
    }
    return "";
}

int longestZeroRun(const float* capture, int stride, int from, int to) {
    int longest = 0, run = 0;
    for (int i = std::max(from, 0); i < to; ++i) {
        run = capture[static_cast<size_t>(i) * static_cast<size_t>(stride)] == 0.0f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

TimingReference loopbackReference(const Deconvolver& sweep, const float* loopback, int frames,
                                  int stride) {
    const DirectSound d =
        findDirectSound(sweep.run(loopback, frames, stride), sweep.sweepSettings());
    TimingReference r;
    r.found = d.found;
    r.lag = d.lag;
    return r;
}

TimingReference acousticReference(const Deconvolver& referenceSweep, const Deconvolver& sweep,
                                  const float* capture, int frames, int stride, int sweepOffset) {
    TimingReference r;
    r.sweepOffset = sweepOffset;
    const SweepSettings& sweepSettings = referenceSweep.sweepSettings();
    const int refLen = static_cast<int>(referenceSweep.sweep().size());
    // The reference before a channel's sweep found at channelLag: true when it lies where it must.
    DirectSound d;
    const auto referenceBefore = [&](double channelLag) {
        const int before = std::clamp(static_cast<int>(channelLag), 0, frames);
        d = findDirectSound(referenceSweep.run(capture, before, stride), sweepSettings);
        const double expected = channelLag - sweepOffset;
        if (!d.found ||
            std::fabs(d.lag - expected) > kReferenceSpreadMs * sweepSettings.rate / 1000.0)
            return false;
        r.found = true;
        r.lag = d.lag;
        // Halfway between the reference sweep's end and the channel's sweep.
        r.channelStart =
            std::clamp(static_cast<int>(d.lag) + (refLen + sweepOffset) / 2, 0, frames);
        return true;
    };
    // Each sweep deconvolved by the other's inverse filter leaves a smeared residue, and a loud
    // reference's can outgrow a quiet channel's direct sound (a tweeter swept from its corner).
    // When the long sweep's peak has no reference where it must lie, it may be that residue,
    // lying on the reference: the channel's sweep is looked for again after the reference found
    // before that peak has died away.
    const DirectSound channel =
        findDirectSound(sweep.run(capture, frames, stride), sweep.sweepSettings());
    if (!channel.found || referenceBefore(channel.lag) || !d.found) return r;
    const int from = std::clamp(static_cast<int>(d.lag) + (refLen + sweepOffset) / 2, 0, frames);
    const DirectSound later =
        findDirectSound(sweep.run(capture + static_cast<size_t>(from) * static_cast<size_t>(stride),
                                  frames - from, stride),
                        sweep.sweepSettings());
    if (later.found) referenceBefore(later.lag + from);
    return r;
}

namespace {

// The response window: a short half-Hann rise before the direct sound, flat, and a half-Hann fall
// over its last fifth.
std::vector<float> responseWindow(const ImpulseResponse& ir, int startLag, int pre, int length) {
    std::vector<float> out(static_cast<size_t>(std::max(length, 0)));
    const double pi = 3.14159265358979323846;
    const int fall = std::max(1, length / 5);
    for (int i = 0; i < length; ++i) {
        const int idx = ir.zero + startLag + i;
        if (idx < 0 || idx >= static_cast<int>(ir.samples.size())) continue;
        double w = 1.0;
        if (i < pre) w = 0.5 - 0.5 * std::cos(pi * (i + 0.5) / pre);
        const int fromEnd = length - 1 - i;
        if (fromEnd < fall) w *= 0.5 - 0.5 * std::cos(pi * (fromEnd + 0.5) / fall);
        out[static_cast<size_t>(i)] = static_cast<float>(w * ir.samples[static_cast<size_t>(idx)]);
    }
    return out;
}

std::vector<MeasuredPoint> responseOf(const std::vector<float>& impulse,
                                      const SweepSettings& sweepSettings, int smoothing) {
    // Padded to twice the window, and to at least a quarter second so that the lowest octaves
    // have bins to smooth over.
    RealFft fft(
        RealFft::fastSize(std::max(2 * static_cast<int>(impulse.size()), sweepSettings.rate / 4)));
    std::fill(fft.time(), fft.time() + fft.size(), 0.0f);
    std::copy(impulse.begin(), impulse.end(), fft.time());
    fft.forward();
    std::vector<double> power(static_cast<size_t>(fft.bins()));
    for (int k = 0; k < fft.bins(); ++k)
        power[static_cast<size_t>(k)] = double(std::norm(fft.spectrum()[k]));
    return smoothedLevels(power, double(sweepSettings.rate) / fft.size(), sweepSettings.startHz,
                          std::min(sweepSettings.endHz, sweepSettings.rate / 2.0), smoothing);
}

double bandLevel(const std::vector<MeasuredPoint>& response, double lo, double hi) {
    double sum = 0.0;
    int n = 0;
    for (const MeasuredPoint& p : response) {
        if (p.freq < lo || p.freq > hi) continue;
        sum += std::pow(10.0, p.level / 10.0);
        ++n;
    }
    return n > 0 ? 10.0 * std::log10(sum / n) : -200.0;
}

} // namespace

ChannelMeasurement measureChannel(const Deconvolver& sweep, const float* capture, int frames,
                                  int stride, const TimingReference& reference,
                                  const MeasureSettings& settings) {
    ChannelMeasurement m;
    const SweepSettings& sweepSettings = sweep.sweepSettings();
    const int skip = std::clamp(reference.channelStart, 0, std::max(frames, 0));
    capture += static_cast<size_t>(skip) * static_cast<size_t>(stride);
    frames = std::clamp(frames - skip, 0, sweep.captureFrames());
    const int sweepLen = static_cast<int>(sweep.sweep().size());

    double peak = 0.0;
    for (int i = 0; i < frames; ++i)
        peak = std::max(
            peak, double(std::fabs(capture[static_cast<size_t>(i) * static_cast<size_t>(stride)])));
    if (peak > 0.0) m.peakDbfs = 20.0 * std::log10(peak);
    const bool clipped = peak >= kClipLevel;

    const ImpulseResponse ir = sweep.run(capture, frames, stride);
    m.direct = findDirectSound(ir, sweepSettings);
    if (!m.direct.found) {
        m.verdict = clipped ? Verdict::Clipped : Verdict::NoSignal;
        return m;
    }

    const int pre = std::max(1, static_cast<int>(kResponsePreMs * sweepSettings.rate / 1000.0));
    const double windowMs = settings.gateMs > 0.0 ? settings.gateMs : kResponseWindowMs;
    const int startLag = static_cast<int>(std::floor(m.direct.lag)) - pre;
    const int available = static_cast<int>(ir.samples.size()) - (ir.zero + startLag);
    const int length = std::min(pre + static_cast<int>(windowMs * sweepSettings.rate / 1000.0),
                                std::max(available, 0));
    m.impulse = responseWindow(ir, startLag, pre, length);
    m.response = responseOf(m.impulse, sweepSettings, settings.smoothing);
    if (settings.calibration) applyCalibration(*settings.calibration, m.response);
    m.levelDb = bandLevel(m.response, 200.0, 2000.0);
    // The harmonic products up to the fifth are the driver's, not noise, and so is the room's
    // sound after a gate: the verdict does not depend on the gate.
    const int harmonics =
        static_cast<int>(sweepRateConstant(sweepSettings) * std::log(5.0) * sweepSettings.rate);
    const int whole = pre + static_cast<int>(kResponseWindowMs * sweepSettings.rate / 1000.0);
    m.snrDb = sweep.bandSnrDb(ir, startLag - harmonics, startLag + whole);

    // Where the sweep sounds in the capture, without its fades (quiet enough there to be zeros
    // in a 16-bit capture).
    const int onset = static_cast<int>(std::floor(m.direct.lag));
    const bool cut = onset + sweepLen > frames;
    const int zeros =
        longestZeroRun(capture, stride, onset + sweepFadeInFrames(sweepSettings),
                       std::min(frames, onset + sweepLen - sweepFadeOutFrames(sweepSettings)));
    const bool dropouts =
        cut || zeros >= static_cast<int>(kDropoutMs * sweepSettings.rate / 1000.0);

    if (clipped)
        m.verdict = Verdict::Clipped;
    else if (dropouts)
        m.verdict = Verdict::Dropouts;
    else if (m.snrDb < kMinSnrDb)
        m.verdict = Verdict::TooNoisy;
    else if (!reference.found)
        m.verdict = Verdict::ReferenceNotFound;
    else
        m.verdict = Verdict::Measured;
    m.direct.lag += skip;
    if (m.verdict == Verdict::Measured) {
        const double samples = m.direct.lag - reference.sweepOffset - reference.lag;
        m.arrivalMs = std::round(samples * 1000.0 / sweepSettings.rate * 100.0) / 100.0;
    }
    return m;
}

} // namespace tarn
