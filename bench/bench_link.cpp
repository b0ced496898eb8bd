// Link figures: frames built and written per second, scanner throughput, connect-to-online time
// against the simulated unit, and the idle tick's own cost.
#include "link/frame.h"
#include "link/link_state.h"
#include "link/link_tick.h"
#include "model/commands.h"
#include "tests/support/window_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <hidapi.h>
#include <random>

using namespace tarn;

static void sendFrames() {
    test::resetWorld();
    Link.Hid_Handle = hid_open(kVendorId, kProductId, nullptr);
    const Payload band = Make_EQ_Band(Param_Image, 1, 4);
    const int count = 200000;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        Send_Frame(band.bytes.data(), band.size);
        if (i % 1000 == 999) sim::unit().clearFrames();
    }
    const double s = clock.nsecsElapsed() / 1e9;
    std::printf("Send_Frame to the simulated unit: %.0f frames/s (%.2f us per frame, %d written)\n",
                count / s, s / count * 1e6, sim::unit().counters().writes);
    Close_Unit();
}

static void parseFrames() {
    Link_Reset();
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
    int accepted = 0;
    Link.replyHandler = [&accepted] { ++accepted; };
    const int rounds = 200;
    QElapsedTimer clock;
    clock.start();
    for (int r = 0; r < rounds; ++r) {
        Link.Rx_Read = Link.Rx_Write;
        Rx_Append(bytes.data(), static_cast<int>(bytes.size()));
        while (Link.Rx_Read != Link.Rx_Write) {
            const uint16_t before = Link.Rx_Read;
            Parse_Frame();
            if (Link.Rx_Read == before) break;
        }
    }
    const double s = clock.nsecsElapsed() / 1e9;
    std::printf("Parse_Frame over mixed garbage and frames: %.1f MB/s (%d frames accepted)\n",
                bytes.size() * double(rounds) / s / 1e6, accepted);
    Link.replyHandler = nullptr;
}

static void connectToOnline() {
    test::resetWorld();
    sim::unit().reset();
    Tarn80X window;
    int ticks = 0, ticksToComplete = 0, ticksToNames = 0;
    qint64 msToComplete = 0, msToNames = 0;
    QElapsedTimer clock;
    // The real 2 ms timer drives the link; a watcher notes when each stage is reached.
    QTimer watcher;
    watcher.setInterval(0);
    int lastState = 1;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (lastState == 1 && Link.Link_State == 2) {
            msToComplete = clock.elapsed();
            lastState = 2;
        }
        if (lastState == 2 && !Link.SceneName_Active) {
            msToNames = clock.elapsed();
            QApplication::quit();
        }
    });
    watcher.start();
    QTimer::singleShot(5000, &QApplication::quit);
    clock.start(); // the first tick, 2 ms from now, opens the unit
    QApplication::exec();
    window.stopLinkTimer();

    // The same run stepped tick by tick gives the count.
    test::resetWorld();
    Tarn80X stepped;
    stepped.stopLinkTimer();
    while (Link.Link_State != 2 && ticks < 10000)
        stepped.Link_Tick(), ++ticks;
    ticksToComplete = ticks;
    while (Link.SceneName_Active && ticks < 10000)
        stepped.Link_Tick(), ++ticks;
    ticksToNames = ticks;
    std::printf("connect to completion step: %d ticks, %lld ms (wall, 2 ms timer)\n",
                ticksToComplete, static_cast<long long>(msToComplete));
    std::printf("connect to last scene name: %d ticks (%.2f x the 128-tick floor), %lld ms "
                "(%.2f x 256 ms)\n",
                ticksToNames, ticksToNames / 128.0, static_cast<long long>(msToNames),
                msToNames / 256.0);

    // Idle: nothing to read back, a keep-alive every 200 ticks.
    const int idleTicks = 100000;
    QElapsedTimer cpu;
    cpu.start();
    for (int i = 0; i < idleTicks; ++i)
        stepped.Link_Tick();
    std::printf("idle tick: %.1f ns on average over %d ticks (keep-alives included; online: %d)\n",
                double(cpu.nsecsElapsed()) / idleTicks, idleTicks, int(Link.Online));
    Close_Unit();
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    sendFrames();
    parseFrames();
    connectToOnline();
    return 0;
}
