#include "tests/support/window_fixture.h"

#include "link/device_access.h"
#include "link/frame.h"
#include "link/link_state.h"
#include "link/link_tick.h"
#include "model/param_image.h"

#include <QSettings>

namespace tarn::test {

void resetWorld(bool keepSettings) {
    // The settings a window restores at start and writes when it goes: tests start with none
    // (ctest points XDG_CONFIG_HOME at the build tree, away from the user's own).
    if (!keepSettings)
        QSettings(QSettings::IniFormat, QSettings::UserScope, "tarn80x", "tarn80x").clear();
    Device_Access.reset();
    Close_Unit();
    sim::unit().reset();
    Link_Reset();
    LinkTick = LinkTickState{};
    Param_Init();
}

WindowFixture::WindowFixture(bool keepSettings) {
    resetWorld(keepSettings);
    window_ = std::make_unique<Tarn80X>();
    // The real timer stays out of the way: tests step the link themselves.
    window_->stopLinkTimer();
    sim::unit().clearFrames();
}

WindowFixture::~WindowFixture() {
    window_.reset();
    Close_Unit();
}

void WindowFixture::ticks(int n) {
    for (int i = 0; i < n; ++i)
        window_->Link_Tick();
}

bool WindowFixture::connect(int maxTicks) {
    for (int i = 0; i < maxTicks; ++i) {
        window_->Link_Tick();
        if (Link.Link_State == 2 && !Link.SceneName_Active) return true;
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
