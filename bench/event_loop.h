// Helpers of the benchmarks that run the real event loop: the longest stall of the loop, and
// running it until something has happened.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace tarn::bench {

// The longest gap between the firings of a 1 ms timer: how long the event loop was held up.
class StallMeter {
  public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, clock_.nsecsElapsed());
            clock_.restart();
        });
        clock_.start();
        timer_.start();
    }
    double longestMs() const { return double(longest_) / 1e6; }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

// Runs the event loop until done() or the time-out; false on time-out.
inline bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

} // namespace tarn::bench
