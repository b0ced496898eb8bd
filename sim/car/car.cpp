#include "sim/car/car.h"

#include "dsp/fft.h"
#include "dsp/response.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>

namespace sim {

namespace {

constexpr int kSpectrumSize = 16384;  // the impulse response is built on this grid
constexpr int kBlock = 1024;          // frames carried per block
constexpr int kPlayBufferBlocks = 24; // the car's output buffer: half a second
constexpr double kPi = 3.14159265358979323846;
constexpr double kFloor = 1e-9; // the deepest a magnitude goes: keeps its logarithm finite

std::uint16_t get16(const Memory& m, std::size_t at) {
    return std::uint16_t(m[at] | (m[at + 1] << 8));
}

double volumeDb(std::uint16_t v) {
    return (double(v) - 600.0) / 10.0;
}

// Channel ch's magnitude at frequency f: the unit's bands and crossovers and the speaker's own
// roll-offs, without level.
double channelMagnitude(const Memory& m, int ch, const CarSpeaker& sp,
                        const std::vector<tarn::Biquad>& bands, double f) {
    double power = 1.0;
    const double w = 2.0 * kPi * f / kCarRate;
    const double cw = std::cos(w), c2w = std::cos(2.0 * w);
    for (const tarn::Biquad& s : bands)
        power *= tarn::Section_Power_Cos(s, cw, c2w);
    double mag = std::sqrt(power);
    const auto cross = [&](std::size_t offOff, std::size_t offFreq, std::size_t offType,
                           std::size_t offSlope, bool high) {
        if (m[offOff + std::size_t(ch)] != 0) return;
        const double corner = get16(m, offFreq + 2 * std::size_t(ch));
        const double r = high ? corner / f : f / corner;
        const double x = tarn::Crossover_Magnitude(m[offType + std::size_t(ch)],
                                                   m[offSlope + std::size_t(ch)] + 1, r);
        if (x >= 0.0) mag *= x;
    };
    cross(off::HpfOff, off::HpfFreq, off::HpfType, off::HpfSlope, true);
    cross(off::LpfOff, off::LpfFreq, off::LpfType, off::LpfSlope, false);
    if (sp.lowHz > 0.0) mag *= tarn::Crossover_Magnitude(0, 2, sp.lowHz / f);
    if (sp.highHz > 0.0) mag *= tarn::Crossover_Magnitude(0, 2, f / sp.highHz);
    return std::max(mag, kFloor);
}

// The minimum-phase spectrum with the given magnitudes (bins 0..N/2), by the folded cepstrum.
void minimumPhase(tarn::RealFft& fft, const std::vector<double>& magnitude,
                  std::vector<std::complex<double>>& out) {
    const int n = fft.size();
    for (int k = 0; k < fft.bins(); ++k)
        fft.spectrum()[k] = std::complex<float>(float(std::log(magnitude[std::size_t(k)])), 0.0f);
    fft.inverse();
    float* c = fft.time();
    for (int i = 0; i < n; ++i)
        c[i] /= float(n);
    for (int i = 1; i < n / 2; ++i)
        c[i] *= 2.0f;
    for (int i = n / 2 + 1; i < n; ++i)
        c[i] = 0.0f;
    fft.forward();
    out.resize(std::size_t(fft.bins()));
    for (int k = 0; k < fft.bins(); ++k)
        out[std::size_t(k)] = std::exp(std::complex<double>(fft.spectrum()[k]));
}

} // namespace

struct Car::Filter {
    Filter() : fft(tarn::RealFft::fastSize(kBlock + kCarTaps)), acc(std::size_t(fft.size()), 0.0) {}
    tarn::RealFft fft;
    std::vector<std::complex<float>> response; // the impulse response's spectrum, fft.size()
    std::vector<double> acc;                   // what the blocks so far put into the future
    std::mt19937 rng{20240611};
};

Car::Car(const CarSpeakers& speakers, double noiseDbfs)
    : speakers_(speakers), noise_(std::pow(10.0, noiseDbfs / 20.0)),
      filter_(std::make_unique<Filter>()) {
    // Until it hears from a unit the car is silent but for its noise.
    filter_->response.assign(std::size_t(filter_->fft.bins()), {});
}

Car::~Car() = default;

void Car::setUnit(const Memory& memory) {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = memory;
    changed_ = true;
}

std::vector<float> Car::impulseOf(const Memory& m, const CarSpeakers& speakers) {
    tarn::RealFft fft(kSpectrumSize);
    const int bins = fft.bins();
    const double binHz = double(kCarRate) / kSpectrumSize;
    std::vector<std::complex<double>> sum(static_cast<std::size_t>(bins)), channel;
    std::vector<double> magnitude(static_cast<std::size_t>(bins));
    for (int ch = 0; ch < kChannels; ++ch) {
        if (m[off::ChMute + std::size_t(ch)] != 0) continue;
        const CarSpeaker& sp = speakers[std::size_t(ch)];
        std::vector<tarn::Biquad> bands;
        if (m[off::EqBypass + std::size_t(ch)] == 0) {
            for (int b = 0; b < kBands; ++b) {
                const double gain = (double(get16(m, off::eqGain(ch, b))) - 240.0) / 10.0;
                if (gain == 0.0) continue;
                bands.push_back(tarn::Peak_Section(gain, get16(m, off::eqFreq(ch, b)),
                                                   m[off::eqQ(ch, b)] / 10.0));
            }
        }
        for (int k = 0; k < bins; ++k)
            magnitude[std::size_t(k)] =
                channelMagnitude(m, ch, sp, bands, k == 0 ? binHz / 4.0 : k * binHz);
        minimumPhase(fft, magnitude, channel);
        const double level =
            std::pow(10.0, (volumeDb(get16(m, off::TotalVol)) +
                            volumeDb(get16(m, off::ChVol + 2 * std::size_t(ch))) + sp.levelDb) /
                               20.0);
        const double sign = m[off::ChPhase + std::size_t(ch)] == 1 ? -1.0 : 1.0;
        const double delay =
            (get16(m, off::ChDelay + 2 * std::size_t(ch)) / 100.0 + sp.distanceMs) * kCarRate /
            1000.0;
        for (int k = 0; k < bins; ++k) {
            const double phase = -2.0 * kPi * k * delay / kSpectrumSize;
            sum[std::size_t(k)] += sign * level * channel[std::size_t(k)] *
                                   std::complex<double>(std::cos(phase), std::sin(phase));
        }
    }
    for (int k = 0; k < bins; ++k)
        fft.spectrum()[k] = std::complex<float>(sum[std::size_t(k)]);
    fft.inverse();
    std::vector<float> h(fft.time(), fft.time() + kCarTaps);
    const int fade = 256;
    for (int i = 0; i < kCarTaps; ++i) {
        double w = 1.0 / kSpectrumSize;
        const int fromEnd = kCarTaps - 1 - i;
        if (fromEnd < fade) w *= 0.5 - 0.5 * std::cos(kPi * (fromEnd + 0.5) / fade);
        h[std::size_t(i)] = float(h[std::size_t(i)] * w);
    }
    return h;
}

void Car::rebuild() {
    Memory memory;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!changed_) return;
        memory = pending_;
        changed_ = false;
    }
    const std::vector<float> h = impulseOf(memory, speakers_);
    tarn::RealFft& fft = filter_->fft;
    std::fill(fft.time(), fft.time() + fft.size(), 0.0f);
    std::copy(h.begin(), h.end(), fft.time());
    fft.forward();
    filter_->response.assign(fft.spectrum(), fft.spectrum() + fft.bins());
}

void Car::process(const float* in, float* out, int frames) {
    rebuild();
    Filter& f = *filter_;
    tarn::RealFft& fft = f.fft;
    std::normal_distribution<double> noise(0.0, noise_);
    for (int at = 0; at < frames;) {
        const int n = std::min(kBlock, frames - at);
        std::fill(fft.time(), fft.time() + fft.size(), 0.0f);
        std::copy(in + at, in + at + n, fft.time());
        fft.forward();
        for (int k = 0; k < fft.bins(); ++k)
            fft.spectrum()[k] *= f.response[std::size_t(k)];
        fft.inverse();
        const double scale = 1.0 / fft.size();
        for (int i = 0; i < fft.size(); ++i)
            f.acc[std::size_t(i)] += fft.time()[i] * scale;
        for (int i = 0; i < n; ++i)
            out[at + i] = float(f.acc[std::size_t(i)] + noise(f.rng));
        std::copy(f.acc.begin() + n, f.acc.end(), f.acc.begin());
        std::fill(f.acc.end() - n, f.acc.end(), 0.0);
        at += n;
    }
}

bool CarStream::start(const std::string& server, const std::string& from, const std::string& to,
                      std::string* error) {
    stop();
    const pa_sample_spec format{PA_SAMPLE_FLOAT32LE, kCarRate, 1};
    const std::uint32_t blockBytes = kBlock * 4;
    // Small record fragments. The playback starts once half a second is buffered and holds about
    // that much: a thread of a busy machine late by a few blocks must not run the car's output
    // dry, which would pause it and shift the car's sound later in the middle of a capture (an
    // arrival off by the pause). The mutes apply where the car reads, so this latency does not
    // move them against the sound.
    const pa_buffer_attr recordAttr{std::uint32_t(-1), std::uint32_t(-1), std::uint32_t(-1),
                                    std::uint32_t(-1), blockBytes};
    const pa_buffer_attr playAttr{std::uint32_t(-1), kPlayBufferBlocks * blockBytes,
                                  std::uint32_t(-1), std::uint32_t(-1), std::uint32_t(-1)};
    int code = 0;
    pa_simple* rec = pa_simple_new(server.c_str(), "tarn-car", PA_STREAM_RECORD, from.c_str(),
                                   "car microphone feed", &format, nullptr, &recordAttr, &code);
    if (!rec) {
        if (error) *error = pa_strerror(code);
        return false;
    }
    pa_simple* play = pa_simple_new(server.c_str(), "tarn-car", PA_STREAM_PLAYBACK, to.c_str(),
                                    "car sound", &format, nullptr, &playAttr, &code);
    if (!play) {
        if (error) *error = pa_strerror(code);
        pa_simple_free(rec);
        return false;
    }
    stop_ = false;
    thread_ = std::thread([this, rec, play] {
        std::vector<float> in(kBlock), out(kBlock);
        int err = 0;
        while (!stop_.load()) {
            if (pa_simple_read(rec, in.data(), in.size() * 4, &err) < 0) break;
            car_.process(in.data(), out.data(), kBlock);
            if (pa_simple_write(play, out.data(), out.size() * 4, &err) < 0) break;
        }
        pa_simple_free(play);
        pa_simple_free(rec);
    });
    return true;
}

void CarStream::stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void attachCar(Unit& unit, Car& car) {
    car.setUnit(unit.memory());
    unit.setWriteHook([&unit, &car] { car.setUnit(unit.memory()); });
}

} // namespace sim
