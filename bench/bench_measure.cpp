// Measurement maths figures: deconvolution alone, and one channel's whole analysis (deconvolution,
// direct sound, response, smoothing, signal-to-noise, verdict) of a 3-s sweep at 48 kHz captured
// for 3.5 s (medians of 15 runs, one thread; wall and the thread's processor time). Prints figures;
// never fails.
#include "dsp/measure_channel.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

using namespace tarn;

namespace {

// The thread's own processor time: the figure holds on a machine busy with other work.
qint64 cpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

double medianMs(std::vector<qint64> ns) {
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

} // namespace

int main() {
    SweepSettings sweepSettings; // 3 s at 48 kHz
    const int frames = 168000;
    QElapsedTimer clock;
    clock.start();
    const Deconvolver d(sweepSettings, frames);
    const double setupMs = clock.nsecsElapsed() / 1e6;

    std::vector<float> capture(static_cast<size_t>(frames));
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 1e-4);
    for (size_t i = 0; i < capture.size(); ++i)
        capture[i] = static_cast<float>(noise(random));
    for (size_t i = 0; i < d.sweep().size(); ++i)
        capture[i + 9000] += 0.5f * d.sweep()[i];

    std::vector<qint64> deconvolve, deconvolveCpu, whole, wholeCpu;
    const TimingReference ref{true, 0.0, 0, 0};
    for (int run = 0; run < 15; ++run) {
        clock.restart();
        qint64 cpu = cpuNs();
        const ImpulseResponse ir = d.run(capture.data(), frames);
        deconvolve.push_back(clock.nsecsElapsed());
        deconvolveCpu.push_back(cpuNs() - cpu);
        clock.restart();
        cpu = cpuNs();
        const ChannelMeasurement m = measureChannel(d, capture.data(), frames, 1, ref, {});
        whole.push_back(clock.nsecsElapsed());
        wholeCpu.push_back(cpuNs() - cpu);
        if (m.verdict != Verdict::Measured) std::printf("unexpected verdict\n");
    }
    std::printf("sweep and inverse filter (once per measurement): %.1f ms\n", setupMs);
    std::printf("deconvolution of a 3-s sweep at 48 kHz: %.1f ms wall, %.1f ms processor\n",
                medianMs(deconvolve), medianMs(deconvolveCpu));
    std::printf("deconvolution and response, one channel: %.1f ms wall, %.1f ms processor "
                "(target <= 30 ms)\n",
                medianMs(whole), medianMs(wholeCpu));
    return 0;
}
