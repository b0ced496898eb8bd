// Showing a channel whose 31 band gains all differ from the channel shown before it,
// so every band's slider handler runs (mirror, link copy, curve, repaint request, marker, frame
// written). Measured online against the simulated unit, and offline for comparison. Prints
// figures; never fails.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/edit_session.h"
#include "sim/unit_sim.h"
#include "tests/support/window_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

using namespace tarn;

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// Alternates between CH1 and CH2 and returns microseconds per channel shown.
double measure(test::WindowFixture& f, int calls) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i) {
        f.window().session().showChannel(i % 2 == 0 ? 1 : 0);
        if (i % 64 == 63) f.clearFrames(); // keep the unit's frame record small
    }
    return double(timer.nsecsElapsed()) / 1000.0 / calls;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(quiet); // the delay entry's diagnostic line would dominate the time
    const int calls = argc > 1 ? std::max(2, atoi(argv[1])) : 400;

    test::WindowFixture f;
    for (int b = 0; b < sim::kBands; ++b) {
        sim::unit().setU16(sim::off::eqGain(0, b), 120 + 150); // +3.0 dB
        sim::unit().setU16(sim::off::eqGain(1, b), 120 + 90);  // -3.0 dB
    }
    if (!f.connect()) {
        std::printf("channel refresh: could not connect to the simulated unit\n");
        return 0;
    }
    f.window().session().showChannel(0);
    f.clearFrames();
    f.window().session().showChannel(1);
    const size_t framesPerCall = f.writes().size();

    measure(f, 20); // warm-up
    const double online = measure(f, calls);
    Link_Machine().goOffline();
    const double offline = measure(f, calls);

    std::printf("channel refresh, 31 differing bands: %.1f us/call online (%zu frames written per "
                "call), %.1f us/call offline; %d calls each\n",
                online, framesPerCall, offline, calls);
    return 0;
}
