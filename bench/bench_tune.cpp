// Tune text and diff figures: one diff of two scene images (a typical pair, and a worst case where
// every field and every reserved byte differs), and writing and reading one image as text.
// Prints figures; never fails.
#include "model/param_image.h"
#include "session/tune_diff.h"
#include "session/tune_text.h"
#include "sim/unit_sim.h"

#include <QElapsedTimer>
#include <cstdio>
#include <ctime>

using namespace tarn;

namespace {

struct Timing {
    double wallUs, cpuUs; // per run; CPU time is what the figure is when other work shares the CPU
};

double cpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e9 + ts.tv_nsec;
}

template <typename Work> Timing timeUs(int n, Work work) {
    for (int i = 0; i < n / 10 + 1; ++i)
        work(); // warm-up
    QElapsedTimer t;
    const double cpu0 = cpuNs();
    t.start();
    for (int i = 0; i < n; ++i)
        work();
    return {t.nsecsElapsed() / 1000.0 / n, (cpuNs() - cpu0) / 1000.0 / n};
}

// The factory image with every field moved to another valid value and every reserved byte
// changed, so that a diff against the factory image lists everything.
ParamImage::Bytes everythingDifferent(const ParamImage::Bytes& factory) {
    ParamImage p;
    p.bytes() = factory;
    for (const ByteRange& r : kReservedRanges)
        for (int i = r.offset; i < r.offset + r.size; ++i)
            p.setU8(i, static_cast<uint8_t>(p.u8(i) ^ 0x5A));
    p.set_FW_Version(p.FW_Version() + 1);
    p.set_Input_Source(static_cast<uint8_t>((p.Input_Source() + 1) % 3));
    p.set_NoiseGate(static_cast<uint16_t>((p.NoiseGate() + 1) % 7));
    p.set_Total_Vol(static_cast<uint16_t>(p.Total_Vol() == 0 ? 1 : p.Total_Vol() - 1));
    for (int ch = 0; ch < kChannels; ++ch) {
        p.set_CH_Name(ch, static_cast<uint8_t>((p.CH_Name(ch) + 1) % 21));
        p.set_CH_Vol(ch, static_cast<uint16_t>(p.CH_Vol(ch) == 0 ? 1 : p.CH_Vol(ch) - 1));
        p.set_CH_Mute(ch, static_cast<uint8_t>(p.CH_Mute(ch) ^ 1));
        p.set_CH_Delay(ch, static_cast<uint16_t>(p.CH_Delay(ch) + 1));
        p.set_CH_Phase(ch, static_cast<uint8_t>(p.CH_Phase(ch) ^ 1));
        p.set_EQ_Bypass(ch, static_cast<uint8_t>(p.EQ_Bypass(ch) ^ 1));
        p.set_HPF_Off(ch, static_cast<uint8_t>(p.HPF_Off(ch) ^ 1));
        p.set_LPF_Off(ch, static_cast<uint8_t>(p.LPF_Off(ch) ^ 1));
        for (int b = 0; b < kBands; ++b)
            p.set_EQ_Gain(ch, b, static_cast<uint16_t>(p.EQ_Gain(ch, b) + 1));
    }
    return p.bytes();
}

} // namespace

int main() {
    const ParamImage::Bytes factory = sim::Unit::factoryImage();
    sim::Unit tunedUnit; // the demo's tuned car
    const ParamImage::Bytes tuned = tunedUnit.memory();
    const ParamImage::Bytes different = everythingDifferent(factory);

    volatile int sink = 0;
    const int typical = Diff_Scenes(factory, tuned).count();
    const Timing typicalUs =
        timeUs(20000, [&] { sink = sink + Diff_Scenes(factory, tuned).count(); });
    const int worst = Diff_Scenes(factory, different).count();
    const Timing worstUs =
        timeUs(2000, [&] { sink = sink + Diff_Scenes(factory, different).count(); });
    const Timing sameUs = timeUs(200000, [&] { sink = sink + Diff_Scenes(tuned, tuned).count(); });
    std::printf("diff, identical images: %.2f us (CPU %.2f us)\n", sameUs.wallUs, sameUs.cpuUs);
    std::printf("diff, factory vs tuned car (%d entries): %.1f us (CPU %.1f us)\n", typical,
                typicalUs.wallUs, typicalUs.cpuUs);
    std::printf("diff, everything differs (%d entries): %.1f us (CPU %.1f us)\n", worst,
                worstUs.wallUs, worstUs.cpuUs);

    const QByteArray text = Tune_Text_From_Scene(tuned).text;
    const Timing writeUs =
        timeUs(2000, [&] { sink = sink + int(Tune_Text_From_Scene(tuned).text.size()); });
    const Timing readUs =
        timeUs(2000, [&] { sink = sink + int(Scene_From_Tune_Text(text).scene.has_value()); });
    std::printf("tune text: %lld bytes, %d lines; write %.1f us (CPU %.1f us), read %.1f us (CPU "
                "%.1f us)\n",
                static_cast<long long>(text.size()), int(text.count('\n')), writeUs.wallUs,
                writeUs.cpuUs, readUs.wallUs, readUs.cpuUs);
    return 0;
}
