#include "dsp/impulse.h"

#include <algorithm>
#include <cmath>

namespace tarn {

Deconvolver::Deconvolver(const SweepSettings& sweepSettings, int captureFrames)
    : sweepSettings_(sweepSettings), sweep_(makeSweep(sweepSettings)),
      captureFrames_(std::max(captureFrames, 1)) {
    const int sweepLen = static_cast<int>(sweep_.size());
    // Long enough that no lag from -sweepLen to the capture's end wraps onto another.
    fft_ = std::make_unique<RealFft>(RealFft::fastSize(captureFrames_ + sweepLen + 1));
    const int n = fft_->size();
    std::fill(fft_->time(), fft_->time() + n, 0.0f);
    std::copy(sweep_.begin(), sweep_.end(), fft_->time());
    fft_->forward();
    const int bins = fft_->bins();
    sweepSpectrum_.assign(fft_->spectrum(), fft_->spectrum() + bins);

    double maxPower = 0.0;
    for (const auto& x : sweepSpectrum_)
        maxPower = std::max(maxPower, double(std::norm(x)));
    // Inside the band the regularisation is far below the sweep's own power (which falls 3 dB per
    // octave), outside it rises to the sweep's peak power over half an octave.
    inverse_.resize(static_cast<size_t>(bins));
    const double pi = 3.14159265358979323846;
    for (int k = 0; k < bins; ++k) {
        const double f = double(k) * sweepSettings.rate / n;
        double octavesOut = 0.0;
        if (f < sweepSettings.startHz)
            octavesOut = f > 0.0 ? std::log2(sweepSettings.startHz / f) : 1.0;
        else if (f > sweepSettings.endHz)
            octavesOut = std::log2(f / sweepSettings.endHz);
        const double s = std::min(octavesOut / 0.5, 1.0);
        const double rise = 0.5 - 0.5 * std::cos(pi * s);
        const double eps = maxPower * std::pow(10.0, -6.0 + 6.0 * rise);
        const std::complex<double> x = sweepSpectrum_[static_cast<size_t>(k)];
        inverse_[static_cast<size_t>(k)] =
            std::complex<float>(std::conj(x) / ((std::norm(x) + eps) * n));
    }
}

Deconvolver::~Deconvolver() = default;

ImpulseResponse Deconvolver::run(const float* capture, int frames, int stride) const {
    const int n = fft_->size();
    const int sweepLen = static_cast<int>(sweep_.size());
    frames = std::clamp(frames, 0, captureFrames_);
    float* t = fft_->time();
    for (int i = 0; i < frames; ++i)
        t[i] = capture[static_cast<size_t>(i) * static_cast<size_t>(stride)];
    std::fill(t + frames, t + n, 0.0f);
    fft_->forward();
    std::complex<float>* y = fft_->spectrum();
    captured_.assign(y, y + fft_->bins());
    lastFrames_ = frames;
    for (int k = 0; k < fft_->bins(); ++k)
        y[k] *= inverse_[static_cast<size_t>(k)];
    fft_->inverse();

    ImpulseResponse ir;
    ir.rate = sweepSettings_.rate;
    ir.zero = sweepLen;
    ir.samples.resize(static_cast<size_t>(sweepLen + frames));
    // Negative lags wrapped to the transform's end.
    for (int i = 0; i < sweepLen + frames; ++i) {
        const int lag = i - sweepLen;
        ir.samples[static_cast<size_t>(i)] = t[lag < 0 ? lag + n : lag];
    }
    return ir;
}

double Deconvolver::bandSnrDb(const ImpulseResponse& ir, int from, int to) const {
    const int n = fft_->size();
    const int size = static_cast<int>(ir.samples.size());
    from = std::max(from, -ir.zero);
    to = std::min(to, size - ir.zero);
    if (to <= from || lastFrames_ <= 0) return -200.0;
    float* t = fft_->time();
    std::fill(t, t + n, 0.0f);
    for (int lag = from; lag < to; ++lag)
        t[lag < 0 ? lag + n : lag] = ir.samples[static_cast<size_t>(lag + ir.zero)];
    fft_->forward();
    const std::complex<float>* h = fft_->spectrum();
    double signal = 0.0, noise = 0.0;
    for (int k = 0; k < fft_->bins(); ++k) {
        const double f = double(k) * sweepSettings_.rate / n;
        if (f < sweepSettings_.startHz || f > sweepSettings_.endHz) continue;
        const std::complex<float> model = sweepSpectrum_[static_cast<size_t>(k)] * h[k];
        signal += double(std::norm(model));
        noise += double(std::norm(captured_[static_cast<size_t>(k)] - model));
    }
    // The capture's noise spreads evenly over every lag; the lags taken as signal kept their share.
    noise /= std::max(1.0 - double(to - from) / size, 0.05);
    const double sweepLen = static_cast<double>(sweep_.size());
    if (!(signal > 0.0)) return -200.0;
    if (!(noise > 0.0)) return 200.0;
    return 10.0 * std::log10((signal / sweepLen) / (noise / lastFrames_));
}

DirectSound findDirectSound(const ImpulseResponse& ir, const SweepSettings& sweepSettings,
                            int maxLag) {
    DirectSound d;
    const int size = static_cast<int>(ir.samples.size());
    const auto at = [&](int i) { return double(std::fabs(ir.samples[static_cast<size_t>(i)])); };
    int last = size - 1;
    if (maxLag >= 0) last = std::min(last, ir.zero + maxLag);
    if (last < ir.zero) return d;

    int peak = ir.zero;
    for (int i = ir.zero; i <= last; ++i)
        if (at(i) > at(peak)) peak = i;
    const double top = at(peak);
    if (!(top > 0.0)) return d;

    // The noise from the median magnitude over the lags at which the whole sweep lies within the
    // capture (at the others the capture's noise reaches only part of the inverse filter): the
    // response itself takes few of them. For Gaussian noise the median of |x| is 0.674 sigma.
    const int captured = size - ir.zero; // frames; ir.zero is the sweep's length
    const int wholeLags = captured - ir.zero + 1;
    int from = ir.zero, to = ir.zero + wholeLags;
    if (to - from < std::min(ir.rate / 10, captured)) {
        from = 0;
        to = size;
    }
    std::vector<double> mags;
    mags.reserve(static_cast<size_t>(to - from));
    for (int i = from; i < to; ++i)
        mags.push_back(at(i));
    auto mid = mags.begin() + static_cast<long>(mags.size() / 2);
    std::nth_element(mags.begin(), mid, mags.end());
    d.noise = *mid / 0.6745;
    if (top < 10.0 * d.noise) return d;

    // A reflection may be stronger than the direct sound, so look back for an earlier peak within
    // 6 dB, but not as far as the second harmonic product (nor beyond 10 ms).
    const int harmonicGap =
        static_cast<int>(sweepRateConstant(sweepSettings) * std::log(2.0) * ir.rate);
    const int lead = std::min(harmonicGap / 2, ir.rate / 100);
    int first = peak;
    for (int i = std::max(ir.zero, peak - lead); i < peak; ++i) {
        if (at(i) >= 0.5 * top) {
            first = i;
            break;
        }
    }
    while (first < last && at(first + 1) > at(first))
        ++first;

    // A parabola through the peak and its neighbours places it between samples.
    double offset = 0.0;
    if (first > 0 && first + 1 < size) {
        const double a = at(first - 1), b = at(first), c = at(first + 1);
        const double denom = a - 2.0 * b + c;
        if (denom < 0.0) offset = std::clamp(0.5 * (a - c) / denom, -0.5, 0.5);
    }
    d.found = true;
    d.lag = first - ir.zero + offset;
    d.peak = at(first);
    return d;
}

} // namespace tarn
