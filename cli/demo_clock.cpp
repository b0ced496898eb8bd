#include "cli/demo_clock.h"

#include "link/link_machine.h"
#include "sim/unit_sim.h"

#include <QElapsedTimer>

namespace tarn {

namespace {

qint64 realMs() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock.elapsed();
}

} // namespace

DemoClock::DemoClock() {
    Link_Machine().setClock([this] { return now(); });
    sim::setClock([this] { return std::int64_t(now()); });
    // A zero timer fires each time the event loop has no other events: a Ctrl+C or the end of a
    // run is seen before the clock moves on.
    idle_.setInterval(0);
    connect(&idle_, &QTimer::timeout, this, &DemoClock::jump);
    idle_.start();
}

DemoClock::~DemoClock() {
    Link_Machine().setClock(nullptr);
    sim::setClock(nullptr);
}

qint64 DemoClock::now() const {
    return realMs() + skipped_;
}

void DemoClock::jump() {
    LinkMachine& link = Link_Machine();
    // Only while the link runs by itself: a released link is not started again from here.
    if (!link.autoRun() || link.stepping()) return;
    skipped_ += link.msUntilDue(now());
    link.step(now());
}

} // namespace tarn
