// Automatic equalisation of one channel: the time of a parametric and a graphic fit of a car-like
// response (broad and narrow faults and a measurement's ripple), to a flat and to the house curve,
// with the residual each leaves. Prints figures; never fails.
#include "dsp/eq_fit.h"
#include "dsp/response.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace tarn;

namespace {

double cpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// A driver in a cabin as a measurement program exports it: 1/48 octave, or `dense` points spread
// evenly in frequency as a long sweep gives them, with a small ripple of fixed pseudo-random phase.
std::vector<MeasuredPoint> carLike(int dense) {
    struct Fault {
        double gain, f0, q;
    };
    const Fault faults[] = {{8, 60, 3},      {-5, 180, 2}, {4, 450, 1.2},  {-15, 900, 9},
                            {-4, 2500, 1.5}, {6, 4200, 4}, {-3, 9000, 0.8}};
    std::vector<MeasuredPoint> points;
    const int n = dense > 0 ? dense : 479;
    for (int i = 0; i < n; ++i) {
        const double f = dense > 0 ? 20.0 + (20000.0 - 20.0) * i / (n - 1)
                                   : 20.0 * std::pow(1000.0, i / double(n - 1));
        double level = 78.0 + 0.6 * std::sin(i * 2.399) + 0.4 * std::sin(i * 0.731);
        for (const Fault& x : faults)
            level += Peaking_Db(x.gain, x.f0, x.q, f);
        points.push_back({f, level});
    }
    return points;
}

FitBands defaultBands() {
    FitBands b;
    for (int k = 0; k < kBands; ++k)
        b[k] = FitBand{kDefaultBandFreq[k], 0, 30};
    return b;
}

void run(const char* name, FitMode mode, bool house, int dense) {
    FitRequest rq;
    rq.measurement = carLike(dense);
    rq.bands = defaultBands();
    rq.mode = mode;
    rq.target = house ? House_Target() : Flat_Target();
    rq.hpf = CrossoverSetting{true, 1, 3, 40};
    constexpr int kRuns = 15;
    std::vector<double> wall, cpu;
    FitResult r;
    for (int i = 0; i < kRuns; ++i) {
        const double c0 = cpuMs();
        r = Fit_Eq(rq);
        cpu.push_back(cpuMs() - c0);
        wall.push_back(r.elapsedMs);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-34s %7.1f ms median %7.1f ms max (CPU %6.1f ms)  %2d bands  residual %.2f dB "
                "(reachable %.2f, flat %.2f) over %.0f..%.0f Hz\n",
                name, wall[kRuns / 2], wall.back(), cpu[kRuns / 2], r.bandsUsed, r.residualDb,
                r.reachableResidualDb, r.flatResidualDb, r.fromHz, r.toHz);
}

} // namespace

int main() {
    std::printf("Auto EQ of one channel (%d runs each; targets: PEQ <= 200 ms, GEQ <= 20 ms)\n",
                15);
    run("PEQ, flat, 1/48 oct", FitMode::Peq, false, 0);
    run("PEQ, house, 1/48 oct", FitMode::Peq, true, 0);
    run("PEQ, flat, 32768 linear points", FitMode::Peq, false, 32768);
    run("GEQ, flat, 1/48 oct", FitMode::Geq, false, 0);
    run("GEQ, house, 1/48 oct", FitMode::Geq, true, 0);
    run("GEQ, flat, 32768 linear points", FitMode::Geq, false, 32768);
    return 0;
}
