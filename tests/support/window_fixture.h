// A main window in front of the simulated unit, with the link tick stepped by hand.
#pragma once

#include "app/form.h"
#include "app/tarn80x.h"
#include "sim/unit_sim.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

namespace tarn::test {

// Program-start state for everything global: the unit (plugged, factory image), the link (on the
// test clock, told of the unit's arrivals), the mirror and the PC-side state; and no stored
// settings unless keepSettings (a second start).
void resetWorld(bool keepSettings = false);

// The link's clock in tests: milliseconds, moved only by the tests.
qint64 testClock();
// Moves the test clock on by ms, stepping the link at every 2 ms tick on the way.
void runTicks(int n);
// Moves the test clock on by ms without stepping the link, as when its timer is held up.
void holdUpClock(qint64 ms);
// Moves the test clock on by ms, stepping the link only when something is due, as its own timer
// wakes it; afterStep, when given, runs after every step.
void runAsTimer(qint64 ms, const std::function<void()>& afterStep = {});
// Moves the test clock from one due time of the link to the next until the running transfer and
// its closing notices are done; false past maxMs. afterStep, when given, runs after every step.
bool finishTransfer(qint64 maxMs = 600000, const std::function<void()>& afterStep = {});

class WindowFixture {
  public:
    explicit WindowFixture(bool keepSettings = false); // resetWorld(keepSettings), a new window
    ~WindowFixture();                                  // closes the window and the unit

    Tarn80X& window() { return *window_; }
    Form& ui() { return *window_->form(); }

    // Runs n link ticks (2 ms each of the test clock).
    void ticks(int n) { runTicks(n); }
    // The running transfer to its end (see finishTransfer).
    bool finish(qint64 maxMs = 600000) { return finishTransfer(maxMs); }
    // Ticks until the read-back and the scene names are done; false past maxTicks.
    bool connect(int maxTicks = 2000);
    // Frames the application wrote since the last clearFrames(), as payload bytes.
    std::vector<QByteArray> payloads() const;
    // Only the class-0x05 writes among them.
    std::vector<QByteArray> writes() const;
    void clearFrames() { sim::unit().clearFrames(); }

  private:
    std::unique_ptr<Tarn80X> window_;
};

QByteArray hex(const char* text);

// Links channels src and dst both ways in the given link mode, as the link dialog leaves them.
void linkPair(int src, int dst, int mode);

} // namespace tarn::test
