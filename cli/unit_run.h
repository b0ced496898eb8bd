// The command line's hold on the unit: the link machine run by the event loop until the unit is
// read back, a job is done, or the unit is read back again after a load; progress on standard
// error; Ctrl+C as the window's Cancel button (a read stops, a write goes on). Every wait is
// bounded.
#pragma once

#include "link/transfer_job.h"
#include "model/param_image.h"
#include "session/text.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QEventLoop;
class QSocketNotifier;

namespace tarn {

class Progress;

enum class RunEnd {
    Done,
    NoUnit,      // absent, locked, in use, wrong name, or not answering the handshake
    Failed,      // a transfer stopped: no answer or a failed write
    Interrupted, // Ctrl+C during a read
    Unconfirmed, // Ctrl+C after a write began: the unit was changed, its contents not confirmed
};

class UnitRun : public QObject {
    Q_OBJECT

  public:
    // english: the language of what it prints; progress: show the bar (standard error is a
    // terminal).
    UnitRun(bool english, bool progress);
    ~UnitRun() override;

    // Opens the unit and reads it back (blocks, scene names), as the window does on connecting.
    RunEnd connectUnit();
    // Runs a job on the link; label heads the progress bar. result gets the job's result.
    RunEnd runJob(std::unique_ptr<TransferJob> job, const Bilingual& label, JobResult* result);
    // Waits for the unit to be opened and read back again (after a load, a recall, an upgrade).
    RunEnd awaitReadback(int boundMs);
    // A command that changes the unit is about to go out (a job that writes marks this itself):
    // Ctrl+C from here on no longer means that nothing was written.
    void markUnitChanged() { unitChanged_ = true; }
    // Sends the close command (as the window does on quitting) and lets the unit go.
    void release();

    // Why the last call did not end in Done, in both languages (empty otherwise).
    const BilingualText& why() const { return why_; }

    // Ctrl+C from here on goes to this run (a self-pipe; the handler only writes a byte).
    static void installInterruptHandler();

  private:
    RunEnd loop(int boundMs, const std::function<bool()>& done);
    void interrupted();
    void fail(RunEnd end, const BilingualText& why);

    bool english_;
    std::unique_ptr<Progress> progress_;
    QSocketNotifier* interrupt_ = nullptr;
    RunEnd end_ = RunEnd::Done;
    bool ended_ = false;
    bool readbackSeen_ = false;
    bool connecting_ = false;
    bool unitChanged_ = false;
    QEventLoop* loop_ = nullptr;
    BilingualText why_;
};

// Progress on standard error: a bar when it is a terminal, nothing otherwise.
class Progress {
  public:
    explicit Progress(bool shown) : shown_(shown) {}
    void show(const QString& label, int value, int max);
    void end();

  private:
    bool shown_;
    bool open_ = false;
    int lastFilled_ = -1;
    QString label_;
};

} // namespace tarn
