#include "cli/unit_run.h"

#include "cli/cli_texts.h"
#include "link/device_access.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "session/access_texts.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tarn {

namespace {

// The handshake gives up on a unit that does not answer well within this (about 0.8 s of
// doubling name waits); the read-back of 55 blocks and nine names takes well under a second.
constexpr int kConnectBoundMs = 15000;

constexpr Bilingual kNoUnit{
    "USB 总线上没有找到调音设备（1a86:e010）。请检查连接线，确认设备已通电。",
    "No DSP unit on the USB bus (1a86:e010). Check the cable and that "
    "the unit is powered."};
constexpr Bilingual kNoReadback{"设备没有在规定时间内完成读取。",
                                "The unit was not read back in time."};
constexpr Bilingual kReading{"读取设备", "Reading the unit"};
constexpr Bilingual kStopped{"已中止（Ctrl+C），没有写入任何文件。",
                             "Stopped (Ctrl+C); no file was written."};

int g_interruptPipe[2] = {-1, -1};

void onInterrupt(int) {
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop reads the byte.
    [[maybe_unused]] const ssize_t n = write(g_interruptPipe[1], &byte, 1);
}

void printLine(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

void Progress::show(const QString& label, int value, int max) {
    if (!shown_ || max <= 0) return;
    constexpr int kWidth = 30;
    const int filled = std::clamp(value * kWidth / max, 0, kWidth);
    if (open_ && filled == lastFilled_ && label == label_) return;
    open_ = true;
    lastFilled_ = filled;
    label_ = label;
    const QString bar =
        QString(filled, QLatin1Char('#')) + QString(kWidth - filled, QLatin1Char('.'));
    const QString line = QStringLiteral("\r%1 [%2] %3%")
                             .arg(label, bar)
                             .arg(std::clamp(value * 100 / max, 0, 100), 3);
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

void Progress::end() {
    if (!open_) return;
    std::fputs("\n", stderr);
    std::fflush(stderr);
    open_ = false;
    lastFilled_ = -1;
}

void UnitRun::installInterruptHandler() {
    if (g_interruptPipe[0] >= 0) return;
    if (pipe(g_interruptPipe) != 0) return;
    fcntl(g_interruptPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

UnitRun::UnitRun(bool english, bool progress)
    : english_(english), progress_(std::make_unique<Progress>(progress)) {
    if (g_interruptPipe[0] >= 0) {
        interrupt_ = new QSocketNotifier(g_interruptPipe[0], QSocketNotifier::Read, this);
        connect(interrupt_, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            [[maybe_unused]] const ssize_t n = read(g_interruptPipe[0], &byte, 1);
            interrupted();
        });
    }
    LinkMachine& link = Link_Machine();
    connect(&link, &LinkMachine::readbackProgress, this,
            [this](int block) { progress_->show(tr2(kReading, english_), block, kBlockCount); });
    connect(&link, &LinkMachine::readbackComplete, this, [this] {
        progress_->end();
        // As the window takes a read-back in: with the validity rules, so that what is saved
        // from it loads again and a load is compared with what the unit will report.
        Apply_Validity_Rules(Param_Image, Pc);
        readbackSeen_ = true;
    });
    connect(&link, &LinkMachine::unitRefused, this,
            [this] { fail(RunEnd::NoUnit, Text_Of(txt::NameMismatch)); });
    connect(&link, &LinkMachine::unitTrouble, this,
            [this] { fail(RunEnd::NoUnit, Text_Of(txt::UnitTrouble)); });
    connect(&link, &LinkMachine::unitSilent, this,
            [this] { fail(RunEnd::Failed, Text_Of(txt::UnitSilent)); });
    connect(&link, &LinkMachine::writeFailed, this,
            [this] { fail(RunEnd::Failed, Text_Of(txt::CommError)); });
    DeviceAccess& access = link.access();
    access.reset(); // every state the first open finds is news
    access.changed = [this, &access](bool) {
        switch (access.state()) {
        case UnitAccess::Absent:
            fail(connecting_ ? RunEnd::NoUnit : RunEnd::Failed, Text_Of(kNoUnit));
            break;
        case UnitAccess::Locked:
            fail(RunEnd::NoUnit, Fill_Text(txt::AccessLocked, {access.detail()}));
            break;
        case UnitAccess::InUse:
            fail(RunEnd::NoUnit, Fill_Text(txt::AccessInUse, {access.detail()}));
            break;
        case UnitAccess::Unknown:
        case UnitAccess::Opened:
            break;
        }
    };
}

UnitRun::~UnitRun() {
    Link_Machine().access().changed = nullptr;
    release();
}

void UnitRun::fail(RunEnd end, const BilingualText& why) {
    if (ended_) return;
    progress_->end();
    ended_ = true;
    end_ = end;
    why_ = why;
    if (loop_) loop_->quit();
}

void UnitRun::interrupted() {
    LinkMachine& link = Link_Machine();
    if (link.jobRunning()) {
        if (link.jobReadOnly()) {
            link.cancelJob(); // ends the job as Cancelled
        } else {
            progress_->end();
            printLine(tr2(txt::TransferCannotStop, english_));
        }
        return;
    }
    if (unitChanged_)
        fail(RunEnd::Unconfirmed, Text_Of(cli_text::StoppedUnconfirmed));
    else
        fail(RunEnd::Interrupted, Text_Of(kStopped));
}

RunEnd UnitRun::loop(int boundMs, const std::function<bool()>& done) {
    ended_ = false;
    end_ = RunEnd::Done;
    why_ = {};
    if (done()) return RunEnd::Done;
    QEventLoop events;
    loop_ = &events;
    LinkMachine& link = Link_Machine();
    auto check = [&] {
        if (done()) events.quit();
    };
    const QList<QMetaObject::Connection> watched{
        connect(&link, &LinkMachine::becameIdle, &events, check),
        connect(&link, &LinkMachine::statusChanged, &events, check),
        connect(&link, &LinkMachine::jobFinished, &events, check)};
    QTimer bound;
    bound.setSingleShot(true);
    connect(&bound, &QTimer::timeout, &events,
            [this] { fail(connecting_ ? RunEnd::NoUnit : RunEnd::Failed, Text_Of(kNoReadback)); });
    bound.start(boundMs);
    events.exec();
    loop_ = nullptr;
    progress_->end();
    return ended_ ? end_ : RunEnd::Done;
}

RunEnd UnitRun::connectUnit() {
    LinkMachine& link = Link_Machine();
    link.setExclusive(true);
    connecting_ = true;
    link.setAutoRun(true);
    const RunEnd end = loop(kConnectBoundMs, [&link] { return link.phase() == LinkPhase::Idle; });
    connecting_ = false;
    return end;
}

RunEnd UnitRun::awaitReadback(int boundMs) {
    LinkMachine& link = Link_Machine();
    readbackSeen_ = false;
    return loop(boundMs,
                [this, &link] { return readbackSeen_ && link.phase() == LinkPhase::Idle; });
}

RunEnd UnitRun::runJob(std::unique_ptr<TransferJob> job, const Bilingual& label,
                       JobResult* result) {
    LinkMachine& link = Link_Machine();
    bool finished = false;
    JobResult outcome = JobResult::NoAnswer;
    const QString text = tr2(label, english_);
    const auto progress = connect(&link, &LinkMachine::jobProgress, this,
                                  [this, text](int value) { progress_->show(text, value, 100); });
    const auto end = connect(&link, &LinkMachine::jobFinished, this, [&](JobResult r) {
        finished = true;
        outcome = r;
    });
    RunEnd run = RunEnd::Failed;
    const bool writes = !job->readOnly();
    if (link.startJob(std::move(job))) {
        if (writes) unitChanged_ = true;
        // Every frame of a job has its own bound (attempts x wait); this only guards the loop.
        run = loop(60 * 60 * 1000, [&finished] { return finished; });
    } else {
        why_ = Text_Of(txt::CommError);
    }
    disconnect(progress);
    disconnect(end);
    if (result) *result = outcome;
    if (run != RunEnd::Done) return run;
    switch (outcome) {
    case JobResult::Done:
        return RunEnd::Done;
    case JobResult::Cancelled:
        why_ = Text_Of(kStopped);
        return RunEnd::Interrupted;
    case JobResult::WriteFailed:
        why_ = Text_Of(txt::CommError);
        return RunEnd::Failed;
    case JobResult::NoAnswer:
        break;
    }
    why_ = Text_Of(cli_text::NoAnswer);
    return RunEnd::Failed;
}

void UnitRun::release() {
    LinkMachine& link = Link_Machine();
    if (link.online() && link.handle() && !link.jobRunning()) Send_Close();
    link.setAutoRun(false);
    link.abandonJob();
    link.reset(); // closes the unit: the next run in this process starts afresh
}

} // namespace tarn
