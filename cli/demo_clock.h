// The demo build's jumping clock: the link and the simulated unit read it, and whenever the event
// loop has nothing else to do it jumps to the link's next due step, so that pauses, installs and
// answer latencies pass at once while the order of everything stays as on the real clock.
#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>

namespace tarn {

class DemoClock : public QObject {
  public:
    // The link and the simulated unit run on this clock from now on.
    DemoClock();
    ~DemoClock() override;

    qint64 now() const;

  private:
    void jump();

    qint64 skipped_ = 0; // milliseconds jumped over
    QTimer idle_;
};

} // namespace tarn
