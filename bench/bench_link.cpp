// Link figures: frames built and written per second, scanner throughput, connect-to-online in
// ticks (stepped) and in milliseconds (the machine on the real clock, waking itself), plug-in to
// the first name request, and the longest event-loop stall while connecting.
#include "app/tarn80x.h"
#include "bench/event_loop.h"
#include "link/frame.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/window_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <random>

using namespace tarn;
using bench::runUntil;
using bench::StallMeter;

namespace {

// The machine on the real clock, waking itself.
void realTime() {
    Link_Machine().setClock(nullptr);
    sim::setClock(nullptr);
    Link_Machine().setAutoRun(true);
}

void sendFrames() {
    test::resetWorld();
    LinkMachine& link = Link_Machine();
    link.Connect_Unit();
    const Payload band = Make_EQ_Band(Param_Image, 1, 4);
    const int count = 200000;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        link.send(band);
        if (i % 1000 == 999) sim::unit().clearFrames();
    }
    const double s = clock.nsecsElapsed() / 1e9;
    std::printf("send to the simulated unit: %.0f frames/s (%.2f us per frame, %d written)\n",
                count / s, s / count * 1e6, sim::unit().counters().writes);
    link.closeUnit();
}

void parseFrames() {
    std::mt19937 rng(1);
    // Half garbage, half valid block replies, across the whole ring.
    std::vector<uint8_t> bytes;
    while (bytes.size() < 60000) {
        for (int i = 0; i < 20; ++i)
            bytes.push_back(static_cast<uint8_t>(rng() % 0xF0));
        uint8_t frame[27] = {0xFA, 0x2A, 0x01, 22, 0xAA, 3};
        uint8_t sum = static_cast<uint8_t>(0x24 + 0x01 + 22 + 0xAA + 3);
        for (int i = 0; i < 20; ++i) {
            frame[6 + i] = static_cast<uint8_t>(rng());
            sum = static_cast<uint8_t>(sum + frame[6 + i]);
        }
        frame[26] = sum;
        bytes.insert(bytes.end(), frame, frame + 27);
        bytes.push_back(0xF5);
    }
    RxRing ring;
    Reply reply;
    const int rounds = 200;
    int accepted = 0;
    QElapsedTimer clock;
    clock.start();
    for (int r = 0; r < rounds; ++r) {
        ring.read = ring.write;
        ring.append(bytes.data(), static_cast<int>(bytes.size()));
        while (ring.read != ring.write) {
            const uint16_t before = ring.read;
            accepted += Scan_Ring(ring, reply);
            if (ring.read == before) break;
        }
    }
    const double s = clock.nsecsElapsed() / 1e9;
    std::printf("ring scanner over mixed garbage and frames: %.1f MB/s (%d frames accepted)\n",
                bytes.size() * double(rounds) / s / 1e6, accepted);
}

void connectToOnline() {
    // Stepped tick by tick: the count.
    int ticks = 0;
    {
        test::resetWorld();
        Tarn80X stepped;
        stepped.stopLinkTimer();
        while (Link_Machine().phase() != LinkPhase::Idle && ticks < 10000)
            test::runTicks(1), ++ticks;
    }
    std::printf("connect to last scene name: %d ticks (%.3f x the 128-tick floor)\n", ticks,
                ticks / 128.0);

    // On the real clock, the machine waking itself.
    test::resetWorld();
    Tarn80X window;
    realTime();
    StallMeter stalls;
    QElapsedTimer clock;
    clock.start();
    const bool online = runUntil([] { return Link_Machine().phase() == LinkPhase::Idle; }, 5000);
    std::printf("connect to last scene name: %lld ms (%.3f x 256 ms)%s; longest event-loop stall "
                "%.2f ms\n",
                static_cast<long long>(clock.elapsed()), clock.elapsed() / 256.0,
                online ? "" : " (not reached)", stalls.longestMs());

    // Plug-in: the unit goes away quietly (no write meets it), comes back, and is asked its name.
    Link_Machine().goOffline();
    Link_Machine().closeUnit();
    sim::unit().setPlugged(false);
    runUntil([] { return false; }, 1500); // offline, past the first look at the bus
    sim::unit().clearFrames();
    clock.restart();
    sim::unit().setPlugged(true); // the arrival signal
    runUntil([] { return !sim::unit().frames().empty(); }, 3000);
    std::printf("plug-in to the first name request: %.2f ms (simulated arrival)\n",
                clock.nsecsElapsed() / 1e6);
    Link_Machine().setAutoRun(false);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    sendFrames();
    parseFrames();
    connectToOnline();
    return 0;
}
