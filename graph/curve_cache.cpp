#include "graph/curve_cache.h"

#include "graph/response.h"
#include "model/param_image.h"

#include <array>
#include <cstring>

namespace tarn {

namespace {

// The bytes a row is computed from: the three EQ arrays of a channel, or one filter's four fields.
constexpr size_t kEqKeySize = kBands * (2 + 2 + 1);
constexpr size_t kFilterKeySize = 2 + 1 + 1 + 1;
using EqKey = std::array<uint8_t, kEqKeySize>;
using FilterKey = std::array<uint8_t, kFilterKeySize>;

struct ChannelNotes {
    bool eqValid = false, hpfValid = false, lpfValid = false;
    bool pointsStale = true; // a row changed after the polyline was last built
    EqKey eq{};
    FilterKey hpf{};
    FilterKey lpf{};
};

std::array<ChannelNotes, kChannels> Notes;

void Take(uint8_t*& out, int offset, size_t n) {
    std::memcpy(out, Param_Image.bytes().data() + offset, n);
    out += n;
}

EqKey Eq_Key(int ch) {
    EqKey key{};
    uint8_t* out = key.data();
    Take(out, off::EQ_Freq + 2 * kBands * ch, 2 * kBands);
    Take(out, off::EQ_Gain + 2 * kBands * ch, 2 * kBands);
    Take(out, off::EQ_Q + kBands * ch, kBands);
    return key;
}

FilterKey Filter_Key(const FilterFields& f, int ch) {
    FilterKey key{};
    uint8_t* out = key.data();
    Take(out, f.freq + 2 * ch, 2);
    Take(out, f.slope + ch, 1);
    Take(out, f.off + ch, 1);
    Take(out, f.type + ch, 1);
    return key;
}

} // namespace

void Curve_Noted_EQ(uint8_t ch) {
    if (ch >= kChannels) return;
    Notes[ch].eq = Eq_Key(ch);
    Notes[ch].eqValid = true;
    Notes[ch].pointsStale = true;
}

void Curve_Noted_Filter(uint8_t ch, bool highPass) {
    if (ch >= kChannels) return;
    ChannelNotes& n = Notes[ch];
    (highPass ? n.hpf : n.lpf) = Filter_Key(highPass ? kHpfFields : kLpfFields, ch);
    (highPass ? n.hpfValid : n.lpfValid) = true;
    n.pointsStale = true;
}

void Curve_Noted_Points(uint8_t ch) {
    if (ch < kChannels) Notes[ch].pointsStale = false;
}

bool Curves_Current(uint8_t ch) {
    if (ch >= kChannels) return false;
    const ChannelNotes& n = Notes[ch];
    bool changed = false;
    if (!n.eqValid || n.eq != Eq_Key(ch)) {
        EQ_Curve_Calc(ch);
        changed = true;
    }
    if (!n.hpfValid || n.hpf != Filter_Key(kHpfFields, ch)) {
        Crossover_Curve_Calc(ch, true);
        changed = true;
    }
    if (!n.lpfValid || n.lpf != Filter_Key(kLpfFields, ch)) {
        Crossover_Curve_Calc(ch, false);
        changed = true;
    }
    if (n.pointsStale) {
        Curve_Points_Update(ch);
        changed = true;
    }
    return changed;
}

void Curve_Cache_Reset() {
    Notes.fill(ChannelNotes{});
}

} // namespace tarn
