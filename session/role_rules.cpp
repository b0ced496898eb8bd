// Role names and preset crossovers: plain tables and a write into an image, no widgets.
#include "model/param_image.h"
#include "session/roles.h"

namespace tarn {

namespace {

constexpr std::array<Bilingual, kRoleCount> kRoleNames{{
    {"前左高频", "FL-Tweeter"},  {"前左中频", "FL-Midrange"}, {"前左低频", "FL-Woofer"},
    {"前左全频", "FL-FULL"},     {"前右高频", "FR-Tweeter"},  {"前右中频", "FR-Midrange"},
    {"前右低频", "FR-Woofer"},   {"前右全频", "FR-FULL"},     {"后左高频", "RL-Tweeter"},
    {"后左中频", "RL-Midrange"}, {"后左低频", "RL-Woofer"},   {"后左全频", "RL-FULL"},
    {"后右高频", "RR-Tweeter"},  {"后右中频", "RR-Midrange"}, {"后右低频", "RR-Woofer"},
    {"后右全频", "RR-FULL"},     {"中置", "CEN-FULL"},        {"左超低", "L-Subwoofer"},
    {"右超低", "R-Subwoofer"},   {"单通道超低", "Subwoofer"}, {"关闭", "OFF"},
}};
constexpr Bilingual kUnknownRole{"未知", "Unknown"};

// One filter's preset: a negative value leaves the field as it is.
struct FilterPreset {
    int freq, off, slope;
};
struct CrossoverPreset {
    FilterPreset hpf, lpf;
};

CrossoverPreset presetFor(int ch, uint8_t code) {
    const bool outerChannel = ch == 0 || ch == 5;
    const CrossoverPreset subwoofer{{30, 0, -1}, {90, 0, 3}};
    if (code >= 17 && code <= 19) return subwoofer;
    if (code == 16) return {{300, 0, -1}, {3000, 0, 3}};
    if (code > 15) return {{-1, -1, -1}, {-1, -1, -1}};
    switch (code % 4) {
    case 0: // tweeter
        return {{3000, 0, 3}, {20000, 1, -1}};
    case 1: // midrange
        return {{code == 1 && outerChannel ? 150 : 300, 0, 3}, {3000, 0, 3}};
    case 2: // woofer
        if ((code == 2 || code == 6) && !outerChannel) return subwoofer;
        return {{20, 1, -1}, {code == 2 && outerChannel ? 150 : 300, 0, 3}};
    default: // full range
        return {{20, 1, -1}, {20000, 1, -1}};
    }
}

void applyFilter(ParamImage& image, const FilterFields& f, int ch, const FilterPreset& p) {
    if (p.freq >= 0) image.setFilterFreq(f, ch, static_cast<uint16_t>(p.freq));
    if (p.off >= 0) image.setFilterOff(f, ch, static_cast<uint8_t>(p.off));
    if (p.slope >= 0) image.setFilterSlope(f, ch, static_cast<uint8_t>(p.slope));
}

} // namespace

const Bilingual& Role_Name(uint8_t code) {
    return code < kRoleCount ? kRoleNames[code] : kUnknownRole;
}

void Role_Apply_Crossover(ParamImage& image, int ch, uint8_t code) {
    const CrossoverPreset p = presetFor(ch, code);
    applyFilter(image, kHpfFields, ch, p.hpf);
    applyFilter(image, kLpfFields, ch, p.lpf);
}

void Role_Apply_Crossover(int ch, uint8_t code) {
    Role_Apply_Crossover(Param_Image, ch, code);
}

} // namespace tarn
