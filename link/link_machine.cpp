#include "link/link_machine.h"

#include "link/device_access.h"
#include "link/device_watch.h"
#include "link/send.h"
#include "model/param_image.h"

#include <QDebug>
#include <QElapsedTimer>
#include <algorithm>
#include <hidapi.h>

namespace tarn {

namespace {

// Reports already waiting are decoded before a request or a job's frame, at the most this many.
constexpr int kDrainLimit = 32;
// A step runs at most this many ticks that do something; time beyond that (a timer held up by a
// box, a suspended machine) is dropped rather than caught up with in one burst.
constexpr int kMaxActiveTicksPerStep = 32;
// A job sends at most this many frames per wake before the event loop gets its turn again.
constexpr int kFramesPerWake = 8;

qint64 monotonicMs() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock.elapsed();
}

} // namespace

LinkMachine& Link_Machine() {
    static LinkMachine machine;
    return machine;
}

LinkMachine::LinkMachine() : clock_(&monotonicMs) {
    timer_.setSingleShot(true);
    // A coarse timer may fire a little early, which costs a second wake to reach what is due.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { step(now()); });
    reset();
}

LinkMachine::~LinkMachine() {
    closeUnit();
}

void LinkMachine::reset() {
    closeUnit();
    goOffline();
    readbackBlock_ = 0;
    sceneNameIndex_ = 0;
    requestWait_ = 0;
    idleCount_ = reconnectCount_ = 0;
    disconnectPending_ = sendSuppressed_ = false;
    repeatGuard_ = 0;
    wrongNameWait_ = 0;
    wrongNameSeen_ = false;
    unitGone();
    heard_ = false;
    staged_.fill(0);
    txSeq_ = 0;
    txReport_.fill(0);
    ring_.clear();
    reply_ = Reply{};
    for (int k = 1; k <= 9; ++k)
        sceneNameFallback(k);
    job_.reset();
    lastJob_.reset();
    jobState_ = JobState::Next;
    cancelRequested_ = false;
    notices_.clear();
    lastTickAt_ = now();
}

int LinkMachine::statusLevel() const {
    switch (phase_) {
    case LinkPhase::Searching:
        return 0;
    case LinkPhase::ReadingBlocks:
        return 1;
    default:
        return 2;
    }
}

bool LinkMachine::readyForCommands() const {
    return online() && handle_ && !readingBlocks() && !sendSuppressed_;
}

bool LinkMachine::readyForTransfer() const {
    return readyForCommands() && phase_ == LinkPhase::Idle && reconnectCount_ == 0 && !job_;
}

void LinkMachine::setReconnectCount(uint16_t ticks) {
    reconnectCount_ = static_cast<uint16_t>(std::min(0xFFFF, ticks + ticksBehind()));
    schedule();
}

// A sleeping machine has not counted the ticks since its last step; they are skipped in bulk at
// its next wake. A wait set from outside a step is given them on top, so that it starts now and
// not at that last step.
int LinkMachine::ticksBehind() const {
    if (stepping_) return 0;
    return static_cast<int>(std::clamp<qint64>((now() - lastTickAt_) / kTickMs, 0, 0x7FFF));
}

template <typename Emit> void LinkMachine::notify(Emit emitIt) {
    if (stepping_)
        notices_.emplace_back(std::move(emitIt));
    else
        emitIt();
}

// A handler may open a box; the machine is out of its step by now, so the box's event loop can
// step it. A step run from that loop keeps its own notices.
void LinkMachine::flushNotices() {
    if (notices_.empty()) return;
    std::vector<std::function<void()>> pending;
    pending.swap(notices_);
    for (const auto& emitIt : pending)
        emitIt();
}

void LinkMachine::sceneNameFallback(int k) {
    auto& entry = scenes_.Scene_Name.at(static_cast<size_t>(k - 1));
    entry.fill(0);
    const char text[] = {'M', 'o', 'd', 'e', static_cast<char>('0' + k)};
    std::copy(std::begin(text), std::end(text), entry.begin());
    scenes_.Scene_Valid[static_cast<size_t>(k - 1)] = 0;
}

// ---- sending ----

void LinkMachine::write(const uint8_t* payload, int n) {
    if (!Encode_Frame(txSeq_, payload, n, txReport_)) {
        qWarning() << "refusing a payload of" << n << "bytes";
        return;
    }
    ++txSeq_;
    if (!handle_) return;
    if (hid_write(handle_, txReport_.data(), txReport_.size()) < 0) {
        goOffline();
        disconnectPending_ = true;
        emit readbackEnded();
        notify([this] { emit writeFailed(); });
    }
}

void LinkMachine::Send_Frame(const uint8_t* payload, int n) {
    idleCount_ = kIdleTicksAfterSend;
    if (n < 0 || n > kMaxPayload) {
        qWarning() << "refusing a payload of" << n << "bytes";
        return;
    }
    if (sendSuppressed_) return;
    if (readingBlocks() && n > 0 && payload[0] == 0x05) return;
    write(payload, n);
}

void LinkMachine::Send_Frame_Raw(const uint8_t* payload, int n) {
    write(payload, n);
}

void LinkMachine::send(const Payload& payload) {
    Send_Frame(payload.bytes.data(), payload.size);
}

// ---- reading ----

int LinkMachine::readReport() {
    ring_.clear();
    if (!handle_) return 0;
    // Never waits: the answer is looked for again on a later tick.
    const int n = hid_read_timeout(handle_, ring_.bytes.data(), kReportSize, 0);
    if (n > 0) {
        ring_.write = static_cast<uint16_t>(n);
        heard_ = true;
    }
    return n;
}

// Reports already waiting (a late answer, a stale one, something the unit sent on its own) are
// decoded before the next request, so that one late answer does not leave every later read one
// answer behind.
void LinkMachine::drainQueuedReports() {
    for (int i = 0; i < kDrainLimit && handle_; ++i) {
        if (readReport() <= 0) break;
        parseFrame();
    }
    ring_.clear();
}

void LinkMachine::parseFrame() {
    if (Scan_Ring(ring_, reply_)) dispatch();
}

// ---- connection ----

void LinkMachine::closeUnit() {
    if (handle_) hid_close(handle_);
    handle_ = nullptr;
    claim_.release();
}

void LinkMachine::setExclusive(bool on) {
    exclusive_ = on;
    if (!on) claim_.release();
}

void LinkMachine::reopenAfter(uint16_t ticks) {
    goOffline();
    // The tick that finds probeWait_ at 0 opens the unit: that is the ticks-th one from now.
    probeWait_ = std::max(0, ticks - 1) + ticksBehind();
    schedule();
}

void LinkMachine::goOffline() {
    phase_ = LinkPhase::Searching;
    requestPending_ = false;
    attempts_ = 0;
    nameWait_ = 0;
    probeWait_ = 0;
    pingOutstanding_ = false;
    unansweredPings_ = 0;
    schedule();
}

// What belongs to one attachment of a unit is forgotten when it goes away.
void LinkMachine::unitGone() {
    const bool told = inTrouble();
    devicePath_.clear();
    severalSeen_ = false;
    nameBoundTicks_ = kNameWaitTicks;
    requestBoundTicks_ = kReadTimeoutTicks;
    failedHandshakes_ = 0;
    troubleTold_ = false;
    if (told) notify([this] { emit statusChanged(); });
}

// Opens the unit in use, or the first one listed when it has gone; the user hears once that
// several are attached. Tells a unit listed on the bus but not opened from none at all.
UnitAccess LinkMachine::openUnit() {
    hid_device_info* list = hid_enumerate(kVendorId, kProductId);
    int count = 0;
    bool ours = false;
    for (hid_device_info* d = list; d; d = d->next) {
        if (!d->path) continue;
        ++count;
        ours = ours || devicePath_ == d->path;
    }
    if (!ours) {
        unitGone();
        for (hid_device_info* d = list; d && devicePath_.empty(); d = d->next)
            if (d->path) devicePath_ = d->path;
    }
    serial_.clear();
    for (hid_device_info* d = list; d; d = d->next)
        if (d->path && devicePath_ == d->path && d->serial_number) serial_ = d->serial_number;
    hid_free_enumeration(list);
    if (count == 0) {
        claim_.release();
        return UnitAccess::Absent;
    }
    if (exclusive_ && !claim_.take(devicePath_)) return UnitAccess::InUse;
    handle_ = hid_open_path(devicePath_.c_str());
    if (!handle_) claim_.release();
    if (count < 2) {
        severalSeen_ = false;
    } else if (!severalSeen_) {
        severalSeen_ = true;
        notify([this] { emit severalUnits(); });
    }
    return handle_ ? UnitAccess::Opened : UnitAccess::Locked;
}

// A handshake with a unit present came to nothing. After a few in a row the user is told once,
// and the unit is asked only once a second until it answers.
void LinkMachine::handshakeFailed(int spentTicks) {
    if (++failedHandshakes_ < kTroubleHandshakes) return;
    closeUnit();
    probeWait_ = std::max(0, kTroubleRetryTicks - spentTicks);
    schedule();
    if (!troubleTold_) {
        troubleTold_ = true;
        notify([this] { emit unitTrouble(); });
    }
    notify([this] { emit statusChanged(); });
}

// The name answer of an open: every report waiting is decoded; each open that gets no answer in
// time makes the next one wait twice as long. A forced re-open of an online unit that gets no
// answer counts as losing the unit.
void LinkMachine::awaitName() {
    parseFrame(); // what the open read already
    for (int i = 0; i < kDrainLimit && nameWait_ > 0 && handle_; ++i) {
        if (readReport() <= 0) break;
        parseFrame();
    }
    ring_.clear();
    if (nameWait_ == 0) return;
    ++nameAskedTicks_;
    if (--nameWait_ > 0) return;
    const int waited = nameBoundTicks_;
    nameBoundTicks_ = std::min(2 * nameBoundTicks_, kMaxReplyWaitTicks);
    if (online()) {
        goOffline();
        disconnectPending_ = true;
        emit readbackEnded();
    }
    handshakeFailed(waited);
}

void LinkMachine::deviceArrived() {
    probeWait_ = 0;
    schedule();
}

void LinkMachine::Connect_Unit() {
    // The claim stays through a re-open, so that the other program cannot slip in between.
    if (handle_) hid_close(handle_);
    handle_ = nullptr;
    sendSuppressed_ = false;
    nameWait_ = 0;
    const UnitAccess access = openUnit();
    access_.Note_Open_Attempt(access, claim_.holder());
    const bool opened = access == UnitAccess::Opened;
    if (!opened) {
        wrongNameSeen_ = false; // whatever was attached has gone
        probeWait_ = kOfflineProbeTicks;
        if (online()) {
            goOffline();
            probeWait_ = kOfflineProbeTicks;
            disconnectPending_ = true;
        }
        return;
    }
    Req_Device_Name();
    // The answer is decoded at the end of this tick if it is already there, else looked for on the
    // next ticks.
    nameAskedTicks_ = 0;
    nameWait_ = nameBoundTicks_;
    readReport();
    schedule();
}

void LinkMachine::nameCheck() {
    // Only the bytes this reply carried count; what an earlier, longer reply left stays out.
    const int carried = std::min(reply_.length, 16);
    std::string name;
    for (int i = 0; i < carried; ++i) {
        const uint8_t b = reply_.data[static_cast<size_t>(i)];
        if (b == 0x00 || b == 0xFF) break;
        name.push_back(static_cast<char>(b));
    }
    nameWait_ = 0;
    if (name == Expected_Name) {
        phase_ = LinkPhase::ReadingBlocks;
        requestPending_ = false;
        readbackBlock_ = 0;
        attempts_ = 0;
        pingOutstanding_ = false;
        unansweredPings_ = 0;
        // The requests of the read-back are given the time this answer took, twice over.
        requestBoundTicks_ = std::clamp(2 * nameAskedTicks_ + kReadTimeoutTicks, kReadTimeoutTicks,
                                        kMaxReplyWaitTicks);
        // A unit in trouble gets the bar only once a block has come, so that repeated failing
        // read-backs do not make it flash.
        if (!inTrouble()) emit readbackProgress(1);
        return;
    }
    goOffline();
    emit readbackEnded();
    // A refused unit is asked again only now and then, and named once until it is unplugged.
    wrongNameWait_ = kWrongNameRetryTicks;
    if (!wrongNameSeen_) {
        wrongNameSeen_ = true;
        notify([this] { emit unitRefused(); });
    }
}

// ---- replies ----

void LinkMachine::dispatch() {
    const auto& d = reply_.data;
    const int len = reply_.length;
    switch (reply_.code) {
    case 0x16:
        nameCheck();
        break;
    case 0xAA: {
        // Only the block that was asked for is taken, and only during the read-back. The blocks
        // are collected apart and reach the image together at the completion step, so an edit
        // made meanwhile cannot leave the image differing from the unit.
        if (len < 1 + kBlockSize || !readingBlocks() || d[0] != readbackBlock_) break;
        std::copy(&d[1], &d[1 + kBlockSize], staged_.begin() + d[0] * kBlockSize);
        attempts_ = 0;
        ++readbackBlock_;
        if (readbackBlock_ < kBlockCount)
            emit readbackProgress(readbackBlock_);
        else
            completeReadback();
        break;
    }
    case 0x10: {
        const int k = d[0];
        if (len < 1 || k < 1 || k > 9) break;
        auto& entry = scenes_.Scene_Name[static_cast<size_t>(k - 1)];
        if (len >= 17 && d[1] >= 0x41 && d[1] <= 0x7A) {
            std::copy(&d[1], &d[17], entry.begin());
            scenes_.Scene_Valid[static_cast<size_t>(k - 1)] = 1;
        } else {
            sceneNameFallback(k);
        }
        if (readingNames() && k == sceneNameIndex_) {
            attempts_ = 0;
            if (++sceneNameIndex_ > 9) {
                phase_ = LinkPhase::Idle;
                notify([this] { emit becameIdle(); });
            }
        }
        break;
    }
    // What the unit reports on its own is newer than any block read before it: during the
    // read-back it also goes into the collected blocks, which reach the image at the completion
    // step. A block read after it is newer still and overwrites it there.
    case 0x02: {
        if (len < 1) break;
        const uint8_t source = d[0] > 2 ? 0 : d[0];
        Param_Image.set_Input_Source(source);
        if (readingBlocks()) staged_[off::Input_Source] = source;
        emit inputSourceReported(Param_Image.Input_Source());
        break;
    }
    case 0x0D:
        if (len < 2) break;
        // Limited as the read-back limits it, so that a scene saved afterwards loads.
        Param_Image.set_Total_Vol(
            static_cast<uint16_t>(std::min(d[0] + 256 * d[1], static_cast<int>(kVolMax))));
        if (readingBlocks()) std::copy(&d[0], &d[2], staged_.begin() + off::Total_Vol);
        emit masterVolumeReported(Param_Image.Total_Vol());
        break;
    default:
        break;
    }
}

void LinkMachine::completeReadback() {
    std::copy(staged_.begin(), staged_.end(), Param_Image.bytes().begin());
    failedHandshakes_ = 0;
    phase_ = LinkPhase::ReadingNames;
    sceneNameIndex_ = 1;
    requestPending_ = false;
    attempts_ = 0;
    emit readbackEnded();
    // The controls are set from the image; their handlers must not send the values back.
    sendSuppressed_ = true;
    emit readbackComplete();
    sendSuppressed_ = false;
    notify([this] { emit statusChanged(); });
}

// ---- the tick ----

// One request, then its answer looked for on the following ticks. The index moves on only when
// the dispatch has stored what was asked for; past kRequestAttempts the handshake starts afresh.
void LinkMachine::pacedRequestStep(bool blocks) {
    if (!requestPending_) {
        drainQueuedReports();
        if (!(blocks ? readingBlocks() : readingNames())) return;
        if (attempts_ >= kRequestAttempts) {
            // A unit that answers late at times gets longer for each answer next time.
            requestBoundTicks_ = std::min(2 * requestBoundTicks_, kMaxReplyWaitTicks);
            goOffline();
            emit readbackEnded();
            handshakeFailed(0);
            notify([this] { emit statusChanged(); });
            return;
        }
        ++attempts_;
        if (blocks)
            Req_Block(readbackBlock_);
        else
            Req_Scene_Name(sceneNameIndex_);
        requestPending_ = true;
        requestWait_ = 0;
    } else if (readReport() > 0 || ++requestWait_ >= requestBoundTicks_) {
        requestPending_ = false;
    }
}

void LinkMachine::tick() {
    if (!online()) {
        if (disconnectPending_) {
            notify([this] { emit statusChanged(); });
            disconnectPending_ = false;
        }
        if (wrongNameWait_ > 0) {
            --wrongNameWait_;
        } else if (nameWait_ > 0) {
            awaitName();
        } else if (probeWait_ > 0) {
            --probeWait_;
        } else {
            Connect_Unit();
        }
    } else if (readingBlocks()) {
        pacedRequestStep(true);
        if (disconnectPending_) {
            notify([this] { emit statusChanged(); });
            disconnectPending_ = false;
        }
    } else {
        if (readingNames()) pacedRequestStep(false);
        if (online()) {
            if (nameWait_ > 0) awaitName();
            if (reconnectCount_ > 0 && --reconnectCount_ == 0) Connect_Unit();
            if (idleCount_ == 0) {
                idleCount_ = kIdleTicksBetweenPings;
            } else if (--idleCount_ == 0) {
                if (online() && handle_) keepAlive();
                idleCount_ = kIdleTicksBetweenPings;
            }
        }
        if (disconnectPending_) {
            notify([this] { emit statusChanged(); });
            disconnectPending_ = false;
        }
    }
    if (repeatGuard_ > 0) --repeatGuard_;
    parseFrame();
}

// Whatever the unit sent since the last keep-alive (its answer to it, input source, master volume)
// is decoded now; the reads never wait. A unit that has sent nothing at all through several
// keep-alives in a row is taken as gone: it is closed and looked for again.
void LinkMachine::keepAlive() {
    drainQueuedReports();
    if (pingOutstanding_ && !heard_) {
        if (++unansweredPings_ >= kSilentPings) {
            closeUnit();
            goOffline();
            disconnectPending_ = true;
            troubleTold_ = true; // the notice of this attachment
            notify([this] { emit unitSilent(); });
            return;
        }
    } else {
        unansweredPings_ = 0;
    }
    heard_ = false;
    pinged_ = true;
    Req_Ping();
    pingOutstanding_ = online();
    drainQueuedReports();
}

int LinkMachine::quietTicks() const {
    if (requestPending_ || nameWait_ > 0 || disconnectPending_ || ring_.buffered() >= 7) return 0;
    switch (phase_) {
    case LinkPhase::Searching:
        return wrongNameWait_ + probeWait_;
    case LinkPhase::Idle: {
        int quiet = idleCount_ == 0 ? 0 : idleCount_ - 1;
        if (reconnectCount_ > 0) quiet = std::min(quiet, reconnectCount_ - 1);
        return quiet;
    }
    default:
        return 0;
    }
}

void LinkMachine::skipTicks(int n) {
    if (phase_ == LinkPhase::Searching) {
        const int fromWrongName = std::min<int>(n, wrongNameWait_);
        wrongNameWait_ = static_cast<uint16_t>(wrongNameWait_ - fromWrongName);
        probeWait_ -= n - fromWrongName;
    } else {
        idleCount_ = static_cast<uint16_t>(idleCount_ - n);
        if (reconnectCount_ > 0) reconnectCount_ = static_cast<uint16_t>(reconnectCount_ - n);
    }
    repeatGuard_ = static_cast<uint8_t>(std::max(0, repeatGuard_ - n));
}

void LinkMachine::runTicks(qint64 n) {
    int active = 0;
    pinged_ = false;
    // After a keep-alive the unit is given real time to answer: overdue time beyond it (a timer
    // held up, a suspended machine) is dropped, or a burst of keep-alives with no time between
    // them would take a unit that answers as silent.
    while (n > 0 && active < kMaxActiveTicksPerStep && !pinged_) {
        const int quiet = quietTicks();
        if (quiet > 0) {
            const int k = static_cast<int>(std::min<qint64>(quiet, n));
            skipTicks(k);
            n -= k;
            continue;
        }
        tick();
        ++active;
        --n;
    }
}

// ---- time ----

void LinkMachine::setClock(std::function<qint64()> clock) {
    clock_ = clock ? std::move(clock) : std::function<qint64()>(&monotonicMs);
    lastTickAt_ = now();
    jobWakeAt_ = std::min(jobWakeAt_, lastTickAt_);
}

qint64 LinkMachine::now() const {
    return clock_();
}

void LinkMachine::setAutoRun(bool on) {
    autoRun_ = on;
    if (on) {
        if (!watch_) {
            watch_ = new DeviceWatch(this);
            connect(watch_, &DeviceWatch::devicesChanged, this, [this] {
                if (!online()) deviceArrived();
            });
        }
        lastTickAt_ = now();
        schedule();
    } else {
        timer_.stop();
    }
}

void LinkMachine::step(qint64 nowMs) {
    if (stepping_) return; // a box opened from a signal runs its own event loop
    stepping_ = true;
    ++steps_;
    const qint64 due = (nowMs - lastTickAt_) / kTickMs;
    if (due > 0) {
        lastTickAt_ += due * kTickMs;
        runTicks(due);
    }
    if (job_ && nowMs >= jobWakeAt_) runJob(nowMs);
    stepping_ = false;
    schedule();
    flushNotices();
}

qint64 LinkMachine::msUntilDue(qint64 nowMs) const {
    qint64 due = lastTickAt_ + static_cast<qint64>(quietTicks() + 1) * kTickMs;
    if (job_) due = std::min(due, jobWakeAt_);
    return std::max<qint64>(0, due - nowMs);
}

void LinkMachine::schedule() {
    if (!autoRun_ || stepping_) return;
    const qint64 ms = msUntilDue(now());
    timer_.start(static_cast<int>(std::min<qint64>(ms, 60000)));
}

// ---- jobs ----

bool LinkMachine::startJob(std::unique_ptr<TransferJob> job) {
    if (job_ || !job) return false;
    lastJob_.reset();
    job_ = std::move(job);
    jobState_ = JobState::Next;
    jobAttempt_ = 0;
    cancelRequested_ = false;
    jobWakeAt_ = now();
    schedule();
    return true;
}

void LinkMachine::cancelJob() {
    if (!job_ || !job_->readOnly()) return;
    cancelRequested_ = true;
    jobWakeAt_ = now();
    schedule();
}

void LinkMachine::abandonJob() {
    job_.reset();
    jobState_ = JobState::Next;
    cancelRequested_ = false;
}

bool LinkMachine::jobLinkHeld() const {
    return online() && handle_ && !readingBlocks() && !sendSuppressed_;
}

void LinkMachine::finishJob(JobResult result) {
    lastJob_ = std::move(job_);
    jobState_ = JobState::Next;
    cancelRequested_ = false;
    notify([this, result] { emit jobFinished(result); });
}

// Reads what is queued until the answer the running action expects turns up; true when it did.
bool LinkMachine::takeJobAnswer() {
    bool matched = false;
    for (int i = 0; i < kDrainLimit && !matched; ++i) {
        const int n = readReport();
        if (n <= 0) break;
        Reply answer;
        if (Decode_Report(ring_.bytes.data(), n, answer) &&
            Answer_Matches(answer, action_.expected)) {
            matched = true;
            job_->answered(answer);
        } else {
            // Not the answer (stale, garbled, or sent by the unit on its own): the link's own
            // dispatch decodes whatever it knows of it.
            parseFrame();
        }
        ring_.clear();
    }
    return matched;
}

void LinkMachine::runJob(qint64 nowMs) {
    int frames = 0;
    // The end of a step: its idle hold, its progress, and its pause if it has one.
    auto afterAction = [this, nowMs] {
        if (action_.idleHoldAfter >= 0) idleCount_ = static_cast<uint16_t>(action_.idleHoldAfter);
        if (action_.progressAfter >= 0) emit jobProgress(action_.progressAfter);
        if (action_.pauseMs > 0) {
            jobWakeAt_ = nowMs + action_.pauseMs;
            jobState_ = JobState::Pause;
            return true;
        }
        jobState_ = JobState::Next;
        return false;
    };
    while (job_) {
        if (cancelRequested_) return finishJob(JobResult::Cancelled);
        switch (jobState_) {
        case JobState::Pause:
            jobState_ = JobState::Next;
            [[fallthrough]];
        case JobState::Next:
            if (frames >= kFramesPerWake) {
                jobWakeAt_ = nowMs; // the event loop gets its turn, then the job goes on
                return;
            }
            action_ = JobAction{};
            if (!job_->next(action_)) return finishJob(JobResult::Done);
            if (action_.progressBefore >= 0) emit jobProgress(action_.progressBefore);
            if (!action_.hasFrame) {
                if (afterAction()) return;
                break;
            }
            jobAttempt_ = 0;
            jobState_ = JobState::Send;
            break;
        case JobState::Send:
            if (!jobLinkHeld()) return finishJob(JobResult::NoAnswer);
            if (jobAttempt_ > 0 && takeJobAnswer()) {
                // The answer came late, after the last look for it: the frame was delivered and
                // is not sent again.
                if (afterAction()) return;
                break;
            }
            drainQueuedReports();
            send(action_.payload);
            idleCount_ = action_.rule.idleHold;
            ring_.clear();
            ++frames;
            if (!online()) return finishJob(JobResult::WriteFailed);
            if (!action_.answered) {
                if (afterAction()) return;
                break;
            }
            ++jobAttempt_;
            jobDeadline_ = nowMs + action_.rule.settleMs + action_.rule.waitMs;
            jobState_ = JobState::Poll;
            if (action_.rule.settleMs > 0) {
                jobWakeAt_ = nowMs + action_.rule.settleMs;
                return;
            }
            break;
        case JobState::Poll: {
            if (!jobLinkHeld()) return finishJob(JobResult::NoAnswer);
            if (takeJobAnswer()) {
                if (afterAction()) return;
                break;
            }
            if (nowMs >= jobDeadline_) {
                if (jobAttempt_ < action_.rule.attempts) {
                    jobState_ = JobState::Send;
                    break;
                }
                return finishJob(JobResult::NoAnswer);
            }
            jobWakeAt_ = nowMs + kJobPollMs;
            return;
        }
        }
    }
}

} // namespace tarn
