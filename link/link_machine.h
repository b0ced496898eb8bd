// The link to the unit as one machine: the handle, the phase, the receive ring, the scene names
// and the running transfer job. It is stepped with an explicit time, wakes only when something is
// due, never blocks on a read, decodes replies into the parameter image, and tells the window what
// happened through signals. It never opens a box.
#pragma once

#include "link/device_access.h"
#include "link/frame.h"
#include "link/transfer_job.h"
#include "link/unit_claim.h"
#include "model/commands.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct hid_device_;
typedef struct hid_device_ hid_device;

namespace tarn {

class DeviceWatch;

constexpr uint16_t kVendorId = 0x1A86;
constexpr uint16_t kProductId = 0xE010;
constexpr const char* Expected_Name = "TQ_AUD48";

constexpr int kTickMs = 2;
constexpr uint16_t kIdleTicksAfterSend = 400;
constexpr uint16_t kIdleTicksBetweenPings = 200;
// How long the answer to a request is awaited (polled tick by tick); a late answer counts as none.
constexpr int kReadTimeoutTicks = 10;
// After the name request of an open, how long its answer is awaited at first. Each open that
// gets no answer doubles the wait, up to kMaxReplyWaitTicks, so a slow unit still connects.
constexpr int kNameWaitTicks = 15;
constexpr int kMaxReplyWaitTicks = 150;
// Handshakes that fail with a unit present (no name answer, or a read-back that cannot finish)
// before the user is told and the unit is asked only once a second.
constexpr int kTroubleHandshakes = 5;
constexpr int kTroubleRetryTicks = 500;
// Keep-alives in a row without any answer before the unit counts as gone.
constexpr int kSilentPings = 5;
// How often one block or scene name is asked for before the handshake starts afresh.
constexpr int kRequestAttempts = 8;
// After a unit with the wrong name, how many ticks pass before it is asked again.
constexpr int kWrongNameRetryTicks = 100;
// Offline, without an arrival signal, the bus is looked at this often (the safety net).
constexpr int kOfflineProbeTicks = 500;
// A job polls for its answer this often while it waits.
constexpr int kJobPollMs = 1;

// Phases of the link.
enum class LinkPhase : uint8_t {
    Searching,     // no unit with the right name: looking for one
    ReadingBlocks, // name accepted, the 55 parameter blocks being read
    ReadingNames,  // blocks read and applied, the nine scene names being read
    Idle           // everything read; keep-alive
};

// Names of the unit's nine stored scenes, as read from the unit (or the "ModeN" fallback).
struct SceneNameStore {
    std::array<std::array<uint8_t, 16>, 9> Scene_Name{};
    std::array<uint8_t, 9> Scene_Valid{};
};

class LinkMachine : public QObject {
    Q_OBJECT

  public:
    LinkMachine();
    ~LinkMachine() override;

    // Whether the unit can be reached, as the last open attempt found it.
    DeviceAccess& access() { return access_; }

    // Back to the program-start state: the unit closed, every count and the scene names cleared.
    void reset();

    // ---- state ----
    LinkPhase phase() const { return phase_; }
    bool online() const { return phase_ != LinkPhase::Searching; }
    // 0 not connected, 1 reading back, 2 read back (picks the status text).
    int statusLevel() const;
    bool readingBlocks() const { return phase_ == LinkPhase::ReadingBlocks; }
    bool readingNames() const { return phase_ == LinkPhase::ReadingNames; }
    int readbackBlock() const { return readbackBlock_; }
    int sceneNameIndex() const { return sceneNameIndex_; }
    bool requestPending() const { return requestPending_; }
    hid_device* handle() const { return handle_; }
    // The device path of the unit in use; kept while it stays attached.
    const std::string& devicePath() const { return devicePath_; }
    // Its USB serial number as the bus lists it; empty when the unit reports none.
    const std::wstring& serialNumber() const { return serial_; }
    // The unit present does not answer correctly: kTroubleHandshakes handshakes in a row failed.
    bool inTrouble() const { return failedHandshakes_ >= kTroubleHandshakes; }
    int failedHandshakes() const { return failedHandshakes_; }
    // How long the name answer is awaited at the next open, and a request's answer, in ticks.
    int nameWaitTicks() const { return nameBoundTicks_; }
    int requestWaitTicks() const { return requestBoundTicks_; }
    // Ready for a command from the user or a job: online, a unit open, nothing being read back.
    bool readyForCommands() const;
    // Ready for a transfer: read back completely, idle, no forced re-open pending, no job running.
    bool readyForTransfer() const;

    uint16_t idleCount() const { return idleCount_; }
    void setIdleCount(uint16_t ticks) { idleCount_ = ticks; }
    uint16_t reconnectCount() const { return reconnectCount_; }
    // The unit is opened again and read back `ticks` ticks from now.
    void setReconnectCount(uint16_t ticks);
    // The crossover step buttons' countdown, in ticks; only counted down here.
    uint8_t repeatGuard() const { return repeatGuard_; }
    void setRepeatGuard(uint8_t ticks) { repeatGuard_ = ticks; }
    bool sendSuppressed() const { return sendSuppressed_; }
    void setSendSuppressed(bool on) { sendSuppressed_ = on; }

    uint8_t txSeq() const { return txSeq_; }
    void setTxSeq(uint8_t seq) { txSeq_ = seq; }
    const Report& txReport() const { return txReport_; }
    RxRing& ring() { return ring_; }
    const Reply& lastReply() const { return reply_; }
    SceneNameStore& scenes() { return scenes_; }
    // Writes the fallback "Mode<k>" into entry k - 1 and marks it not read from the unit.
    void sceneNameFallback(int k);

    // ---- sending ----
    // A payload under the drop rules: Idle_Count is reset first; nothing while sending is
    // suppressed, no class-0x05 command during the block read-back, nothing without an open unit.
    void send(const Payload& payload);
    void Send_Frame(const uint8_t* payload, int n);
    // The same frame and failure handling, without the drop rules and without Idle_Count.
    void Send_Frame_Raw(const uint8_t* payload, int n);

    // ---- connection ----
    // Opens the unit (closing any earlier handle) and asks its name.
    void Connect_Unit();
    // Back to searching: the next offline tick opens the unit and asks its name again.
    void goOffline();
    // Back to searching, with the unit left alone for `ticks` ticks from now first (it is busy
    // installing new firmware); a unit arriving on the bus meanwhile is looked at at once.
    void reopenAfter(uint16_t ticks);
    void closeUnit();
    // With exclusive on, the unit is opened only under its UnitClaim, held until it is closed;
    // a unit another program holds counts as UnitAccess::InUse. The programs turn it on; tests
    // that run in parallel, each with its own simulated unit, leave it off.
    void setExclusive(bool on);
    bool exclusive() const { return exclusive_; }
    // A HID device has appeared or gone (udev, or the simulated unit): while offline, look at the
    // bus again at the next tick.
    void deviceArrived();

    // ---- time ----
    // One 2 ms step of the link, exactly as the periodic tick would run it.
    void tick();
    // Runs what is due at now (milliseconds of the machine's clock): the ticks that have passed,
    // quiet ones in bulk, and the job.
    void step(qint64 nowMs);
    // Milliseconds from now until something is due.
    qint64 msUntilDue(qint64 nowMs) const;
    // The clock; a test gives its own and steps the machine itself.
    void setClock(std::function<qint64()> clock);
    qint64 now() const;
    // With auto-run on, the machine wakes itself by a timer when something is due, and listens
    // for HID arrivals (udev) while it looks for the unit.
    void setAutoRun(bool on);
    bool autoRun() const { return autoRun_; }
    // Wakes per second are what the idle benchmark measures; this counts the steps taken.
    long steps() const { return steps_; }
    // True while a step runs (a signal's handler is inside it).
    bool stepping() const { return stepping_; }
    // Signals whose handlers may open a box or a dialog (the notices, jobFinished, becameIdle,
    // statusChanged) are emitted at the end of a step, once the machine is free to be stepped
    // again from the box's own event loop; outside a step they are emitted at once.

    // ---- jobs ----
    // Starts a job when none runs; false otherwise.
    bool startJob(std::unique_ptr<TransferJob> job);
    bool jobRunning() const { return job_ != nullptr; }
    bool jobReadOnly() const { return job_ && job_->readOnly(); }
    // Stops a read-only job (reported as Cancelled); a writing job goes on.
    void cancelJob();
    // Drops the running job without a result (the window that wanted it is going away).
    void abandonJob();
    // The job that finished last, kept until the next one starts (its collected data).
    TransferJob* lastJob() const { return lastJob_.get(); }

  signals:
    void statusChanged();             // the status text may have changed
    void readbackProgress(int block); // the read-back bar: shown at 1, then the block reached
    void readbackEnded();             // the read-back bar is no longer needed
    void readbackComplete();          // the blocks are in the image: refresh the controls
    void writeFailed();               // a write failed; the link is offline
    void unitRefused();               // a unit with the wrong name was found
    void unitSilent();   // keep-alives went unanswered: the unit is closed and looked for again
    void unitTrouble();  // the unit present keeps failing the handshake (once per attachment)
    void severalUnits(); // more than one unit is attached; the one in use is kept
    void inputSourceReported(uint8_t source);
    void masterVolumeReported(uint16_t volume);
    void becameIdle(); // the scene names are read; waiting actions may go on
    void jobProgress(int value);
    void jobFinished(tarn::JobResult result);

  private:
    void write(const uint8_t* payload, int n);
    int readReport();
    void drainQueuedReports();
    void parseFrame();
    void dispatch();
    void nameCheck();
    void awaitName();
    void handshakeFailed(int spentTicks);
    void unitGone();
    UnitAccess openUnit();
    void keepAlive();
    void completeReadback();
    void pacedRequestStep(bool blocks);
    int quietTicks() const;
    void skipTicks(int n);
    void runTicks(qint64 n);
    void runJob(qint64 nowMs);
    void finishJob(JobResult result);
    void schedule();
    bool jobLinkHeld() const;
    bool takeJobAnswer();
    int ticksBehind() const;
    template <typename Emit> void notify(Emit emitIt);
    void flushNotices();

    hid_device* handle_ = nullptr;
    bool exclusive_ = false;
    UnitClaim claim_;
    DeviceAccess access_;
    LinkPhase phase_ = LinkPhase::Searching;
    uint8_t readbackBlock_ = 0;
    uint8_t sceneNameIndex_ = 0;
    bool requestPending_ = false;
    int requestWait_ = 0; // ticks the pending request's answer has been polled for
    int nameWait_ = 0;    // ticks the name answer of an open is still polled for
    uint16_t idleCount_ = 0;
    uint16_t reconnectCount_ = 0;
    bool disconnectPending_ = false;
    bool sendSuppressed_ = false;
    uint8_t repeatGuard_ = 0;
    int attempts_ = 0;
    uint16_t wrongNameWait_ = 0;
    bool wrongNameSeen_ = false;
    int probeWait_ = 0;        // offline ticks until the next look at the bus
    std::string devicePath_;   // the unit in use
    std::wstring serial_;      // its serial number, as listed
    bool severalSeen_ = false; // told that several units are attached
    int nameBoundTicks_ = kNameWaitTicks;
    int nameAskedTicks_ = 0; // ticks since the name request of the running open
    int requestBoundTicks_ = kReadTimeoutTicks;
    int failedHandshakes_ = 0;
    bool troubleTold_ = false; // this attachment's notice has been given
    bool heard_ = false;       // a report came since the last keep-alive
    bool pingOutstanding_ = false;
    int unansweredPings_ = 0;
    std::array<uint8_t, 1100> staged_{}; // blocks read back, applied at the completion step

    uint8_t txSeq_ = 0;
    Report txReport_{};
    RxRing ring_;
    Reply reply_;
    SceneNameStore scenes_;

    // The running job.
    enum class JobState { Next, Send, Poll, Pause };
    std::unique_ptr<TransferJob> job_;
    std::unique_ptr<TransferJob> lastJob_;
    JobAction action_;
    JobState jobState_ = JobState::Next;
    int jobAttempt_ = 0;
    qint64 jobWakeAt_ = 0;
    qint64 jobDeadline_ = 0;
    bool cancelRequested_ = false;

    std::function<qint64()> clock_;
    qint64 lastTickAt_ = 0;
    bool stepping_ = false;
    std::vector<std::function<void()>> notices_; // emitted at the end of the running step
    bool pinged_ = false;                        // a keep-alive went out in the running step
    bool autoRun_ = false;
    long steps_ = 0;
    QTimer timer_;
    DeviceWatch* watch_ = nullptr;
};

// The one link of the program.
LinkMachine& Link_Machine();
inline bool Link_Online() {
    return Link_Machine().online();
}

} // namespace tarn
