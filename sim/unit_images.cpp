// Power-on contents of the simulated unit: the factory image, and the demo's tuned car.
#include "sim/unit_sim.h"

#include <cstring>

namespace sim {

namespace {

constexpr std::uint16_t kThirdOctave[kBands] = {
    20,  25,   32,   40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,  630,
    800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

constexpr std::uint8_t kFactoryRoles[kChannels] = {3, 7, 11, 15, 16, 19};

void put16(Memory& m, std::size_t at, std::uint16_t v) {
    m[at] = std::uint8_t(v & 0xFF);
    m[at + 1] = std::uint8_t(v >> 8);
}

void put32(Memory& m, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        m[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

// Gain in tenths of a dB to the unit's encoding.
constexpr std::uint16_t gainCode(int tenthsDb) {
    return std::uint16_t(240 + tenthsDb);
}

struct Crossover {
    std::uint16_t freq;
    std::uint8_t slope, off, type;
};

void setHpf(Memory& m, int ch, Crossover c) {
    put16(m, off::HpfFreq + 2 * std::size_t(ch), c.freq);
    m[off::HpfSlope + std::size_t(ch)] = c.slope;
    m[off::HpfOff + std::size_t(ch)] = c.off;
    m[off::HpfType + std::size_t(ch)] = c.type;
}

void setLpf(Memory& m, int ch, Crossover c) {
    put16(m, off::LpfFreq + 2 * std::size_t(ch), c.freq);
    m[off::LpfSlope + std::size_t(ch)] = c.slope;
    m[off::LpfOff + std::size_t(ch)] = c.off;
    m[off::LpfType + std::size_t(ch)] = c.type;
}

struct BandEdit {
    int ch, band, tenthsDb, q;
};

void applyBands(Memory& m, const BandEdit* edits, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const BandEdit& e = edits[i];
        put16(m, off::eqGain(e.ch, e.band), gainCode(e.tenthsDb));
        m[off::eqQ(e.ch, e.band)] = std::uint8_t(e.q);
    }
}

Name nameOf(const char* text) {
    Name n{};
    std::size_t len = std::strlen(text);
    if (len > kNameSize) len = kNameSize;
    std::memcpy(n.data(), text, len);
    return n;
}

// The demo car: tweeters on CH1/CH2, mid-woofers in the front doors on CH3/CH4, two subwoofers on
// CH5/CH6. Every value stays inside what the application accepts after a read-back.
Memory demoImage() {
    Memory m = Unit::factoryImage();
    const std::uint8_t roles[kChannels] = {0, 4, 2, 6, 17, 18};
    std::memcpy(&m[off::ChName], roles, kChannels);
    m[off::InputSource] = 1;
    put16(m, off::TotalVol, 540);
    const std::uint16_t vols[kChannels] = {560, 560, 600, 600, 580, 580};
    const std::uint16_t delays[kChannels] = {120, 35, 85, 0, 0, 0};
    for (int ch = 0; ch < kChannels; ++ch) {
        put16(m, off::ChVol + 2 * std::size_t(ch), vols[ch]);
        put16(m, off::ChDelay + 2 * std::size_t(ch), delays[ch]);
    }
    m[off::ChPhase + 5] = 1;
    put16(m, off::NoiseGate, 2);

    for (int ch : {0, 1}) {
        setHpf(m, ch, {3150, 3, 0, 0});
        setLpf(m, ch, {20000, 3, 1, 0});
    }
    for (int ch : {2, 3}) {
        setHpf(m, ch, {60, 1, 0, 2});
        setLpf(m, ch, {3000, 3, 0, 1});
    }
    for (int ch : {4, 5}) {
        setHpf(m, ch, {25, 1, 0, 0});
        setLpf(m, ch, {80, 3, 0, 1});
    }

    static const BandEdit bands[] = {
        {0, 22, -20, 30}, {0, 25, 15, 20},  {0, 28, -35, 45}, {1, 22, -15, 30}, {1, 25, 20, 20},
        {1, 29, -30, 40}, {2, 5, 30, 14},   {2, 12, -45, 50}, {2, 15, -25, 35}, {2, 19, 10, 25},
        {3, 5, 25, 14},   {3, 12, -40, 50}, {3, 17, -20, 30}, {4, 1, 45, 8},    {4, 3, -30, 60},
        {5, 1, 40, 8},    {5, 3, -25, 60},  {5, 6, -60, 70},
    };
    applyBands(m, bands, sizeof bands / sizeof bands[0]);
    // A graphic tilt on CH3's top bands, with a centre frequency moved for the parametric look.
    put16(m, off::eqFreq(2, 20), 2200);
    return m;
}

} // namespace

Memory Unit::factoryImage() {
    Memory m{};
    put32(m, off::FwVersion, kFirmwareVersion);
    std::memcpy(&m[off::ChName], kFactoryRoles, kChannels);
    put16(m, off::TotalVol, 600);
    for (int ch = 0; ch < kChannels; ++ch) {
        put16(m, off::ChVol + 2 * std::size_t(ch), 600);
        for (int b = 0; b < kBands; ++b) {
            put16(m, off::eqFreq(ch, b), kThirdOctave[b]);
            put16(m, off::eqGain(ch, b), gainCode(0));
            m[off::eqQ(ch, b)] = 30;
        }
        setHpf(m, ch, {20, 3, 1, 0});
        setLpf(m, ch, {20000, 3, 1, 0});
    }
    return m;
}

void Unit::loadDemoState() {
    reset();
    mem_ = demoImage();

    Memory bassy = mem_;
    for (int ch : {4, 5}) {
        for (int b = 1; b <= 5; ++b)
            put16(bassy, off::eqGain(ch, b), gainCode(60));
    }
    Memory vocal = mem_;
    for (int ch : {0, 1, 2, 3})
        put16(vocal, off::eqGain(ch, 19), gainCode(30));

    const struct {
        const char* name;
        const Memory* image;
    } stored[] = {{"Daily", &mem_}, {"Bass_Boost", &bassy}, {"Vocal", &vocal}};
    for (int i = 0; i < 3; ++i) {
        scenes_[std::size_t(i)].image = *stored[i].image;
        scenes_[std::size_t(i)].name = nameOf(stored[i].name);
    }
    // Places 7..9 erased, so the scene manager shows empty places too.
    for (int i = 6; i < kScenes; ++i) {
        scenes_[std::size_t(i)].image.fill(0xFF);
        scenes_[std::size_t(i)].name.fill(0xFF);
        scenes_[std::size_t(i)].used = false;
    }
    latencyMs_ = 3;
}

void Unit::restoreFactory() {
    mem_ = factoryImage();
    for (int i = 0; i < kScenes; ++i) {
        Scene& s = scenes_[std::size_t(i)];
        s.image = mem_;
        char text[8] = "Scene0";
        text[5] = char('1' + i);
        s.name = nameOf(text);
        s.used = true;
    }
    noiseGateOn_ = 0;
}

} // namespace sim
