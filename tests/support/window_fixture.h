// A main window in front of the simulated unit, with the link tick stepped by hand.
#pragma once

#include "app/form.h"
#include "app/tarn80x.h"
#include "sim/unit_sim.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace tarn::test {

// Program-start state for everything global: the unit (plugged, factory image), the link, the
// mirror and the PC-side state; and no stored settings unless keepSettings (a second start).
void resetWorld(bool keepSettings = false);

class WindowFixture {
  public:
    explicit WindowFixture(bool keepSettings = false); // resetWorld(keepSettings), a new window
    ~WindowFixture();                                  // closes the window and the unit

    Tarn80X& window() { return *window_; }
    Form& ui() { return *window_->form(); }

    // Runs n link ticks directly.
    void ticks(int n);
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
