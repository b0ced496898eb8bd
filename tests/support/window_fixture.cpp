#include "tests/support/window_fixture.h"

#include "link/device_access.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "views/scene_actions.h"
#include "views/scene_actions_transfer.h"

#include <QSettings>

namespace tarn::test {

namespace {
qint64 g_now = 0;
// The newest fixture's window: its scene actions run the transfers finishTransfer waits for.
Tarn80X* g_window = nullptr;

bool transferRunning() {
    return g_window && g_window->sceneActions().transfer().running();
}
} // namespace

qint64 testClock() {
    return g_now;
}

void runTicks(int n) {
    LinkMachine& link = Link_Machine();
    for (int i = 0; i < n; ++i) {
        g_now += kTickMs;
        link.step(g_now);
    }
}

void holdUpClock(qint64 ms) {
    g_now += ms;
}

void runAsTimer(qint64 ms, const std::function<void()>& afterStep) {
    LinkMachine& link = Link_Machine();
    const qint64 end = g_now + ms;
    for (;;) {
        const qint64 next = g_now + std::max<qint64>(1, link.msUntilDue(g_now));
        if (next > end) break;
        g_now = next;
        link.step(g_now);
        if (afterStep) afterStep();
    }
    g_now = end;
}

bool finishTransfer(qint64 maxMs, const std::function<void()>& afterStep) {
    LinkMachine& link = Link_Machine();
    if (link.stepping()) return false; // asked from inside the transfer: it goes on outside
    const qint64 end = g_now + maxMs;
    while ((link.jobRunning() || transferRunning()) && g_now < end) {
        g_now += std::max<qint64>(1, link.msUntilDue(g_now));
        link.step(g_now);
        if (afterStep) afterStep();
    }
    return !link.jobRunning() && !transferRunning();
}

void resetWorld(bool keepSettings) {
    // The settings a window restores at start and writes when it goes: tests start with none
    // (ctest points XDG_CONFIG_HOME at the build tree, away from the user's own).
    if (!keepSettings)
        QSettings(QSettings::IniFormat, QSettings::UserScope, "tarn80x", "tarn80x").clear();
    Link_Machine().access().reset();
    LinkMachine& link = Link_Machine();
    link.setAutoRun(false);
    link.setClock(&testClock);
    link.reset();
    // Answer latencies and late answers are measured on the test clock too.
    sim::setClock(&testClock);
    sim::unit().reset();
    sim::unit().setArrivalHook([] { Link_Machine().deviceArrived(); });
    sim::unit(1).reset();
    sim::unit(1).setPlugged(false);
    sim::unit(1).setArrivalHook([] { Link_Machine().deviceArrived(); });
    Param_Init();
}

WindowFixture::WindowFixture(bool keepSettings) {
    resetWorld(keepSettings);
    window_ = std::make_unique<Tarn80X>();
    // The real timer stays out of the way: tests step the link themselves.
    window_->stopLinkTimer();
    sim::unit().clearFrames();
    g_window = window_.get();
}

WindowFixture::~WindowFixture() {
    if (g_window == window_.get()) g_window = nullptr;
    window_.reset();
    Link_Machine().closeUnit();
}

bool WindowFixture::connect(int maxTicks) {
    for (int i = 0; i < maxTicks; ++i) {
        runTicks(1);
        if (Link_Machine().phase() == LinkPhase::Idle) return true;
    }
    return false;
}

std::vector<QByteArray> WindowFixture::payloads() const {
    std::vector<QByteArray> out;
    for (const sim::Frame& f : sim::unit().frames())
        out.emplace_back(reinterpret_cast<const char*>(f.payload.data()),
                         static_cast<int>(f.payload.size()));
    return out;
}

std::vector<QByteArray> WindowFixture::writes() const {
    std::vector<QByteArray> out;
    for (const QByteArray& p : payloads())
        if (!p.isEmpty() && p[0] == 0x05) out.push_back(p);
    return out;
}

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

void linkPair(int src, int dst, int mode) {
    Pc.Link_Matrix[size_t(src)][size_t(dst)] = 1;
    Pc.Link_Matrix[size_t(dst)][size_t(src)] = 1;
    Pc.Link_Mode[size_t(src)] = uint8_t(mode);
    Pc.Link_Mode[size_t(dst)] = uint8_t(mode);
}

} // namespace tarn::test
