#include "dsp/response_curves.h"

#include "dsp/scale.h"

#include <cmath>
#include <cstring>

namespace tarn {

namespace {

void Take(uint8_t*& out, int offset, size_t n) {
    std::memcpy(out, Param_Image.bytes().data() + offset, n);
    out += n;
}

size_t at(int i) {
    return static_cast<size_t>(i);
}

} // namespace

ResponseCurves::EqKey ResponseCurves::eqKey(uint8_t ch) {
    EqKey key{};
    uint8_t* out = key.data();
    Take(out, off::EQ_Freq + 2 * kBands * ch, 2 * kBands);
    Take(out, off::EQ_Gain + 2 * kBands * ch, 2 * kBands);
    Take(out, off::EQ_Q + kBands * ch, kBands);
    return key;
}

ResponseCurves::FilterKey ResponseCurves::filterKey(bool highPass, uint8_t ch) {
    const FilterFields& f = highPass ? kHpfFields : kLpfFields;
    FilterKey key{};
    uint8_t* out = key.data();
    Take(out, f.freq + 2 * ch, 2);
    Take(out, f.slope + ch, 1);
    Take(out, f.off + ch, 1);
    Take(out, f.type + ch, 1);
    return key;
}

void ResponseCurves::init() {
    notes_.fill(ChannelNotes{});
    for (int i = 0; i < kCurvePoints; ++i) {
        freq_[at(i)] = Grid_Freq(i);
        cos_[at(i)] = std::cos(freq_[at(i)] * kRadPerHz);
        cos2_[at(i)] = std::cos(2.0 * freq_[at(i)] * kRadPerHz);
    }
    for (int ch = 0; ch < kCurveChannels; ++ch) {
        eq_[at(ch)].fill(0.0);
        hpf_[at(ch)].fill(0.0);
        lpf_[at(ch)].fill(0.0);
        for (int i = 0; i < kCurvePoints; ++i)
            points_[at(ch)][at(i)] = QPoint(Freq_To_Px(freq_[at(i)]), Db_To_Py(0.0));
    }
    hpfMarkerX_ = 300;
    lpfMarkerX_ = 1000;
    hpfLine_.setLine(66, kGraphTop, 66, kLineBottom);
    lpfLine_.setLine(666, kGraphTop, 666, kLineBottom);
}

void ResponseCurves::eqCalc(uint8_t ch) {
    ChannelNotes& n = notes_[ch];
    n.eq = eqKey(ch);
    n.eqValid = true;
    n.pointsStale = true;
    Biquad sections[kEqSections];
    EQ_Sections_Of(ch, sections);
    // Flat bands are exactly 1 everywhere: leave them out of the product.
    int active[kEqSections];
    int count = 0;
    for (int b = 0; b < kBands; ++b)
        if (Param_Image.EQ_Gain_Signed(ch, b) != kGainFlat) active[count++] = b;

    // The sum of the sections' dB is taken as one log of their product: a band lies within
    // 10^+-4 (+-40 dB), so 31 of them cannot overflow, and one log per point instead of 31 keeps a
    // drag step well inside its time budget.
    Row& row = eq_[ch];
    for (int i = 0; i < kCurvePoints; ++i) {
        double product = 1.0;
        for (int k = 0; k < count; ++k)
            product *= Section_Power_Cos(sections[active[k]], cos_[at(i)], cos2_[at(i)]);
        row[at(i)] = count == 0 ? 0.0 : 10.0 * std::log10(product);
    }
}

void ResponseCurves::crossoverCalc(uint8_t ch, bool highPass) {
    const int fc = Param_Image.filterFreq(highPass ? kHpfFields : kLpfFields, ch);
    (highPass ? hpfMarkerX_ : lpfMarkerX_) = Freq_To_Pos(fc);
    const int x = Freq_To_Px(fc);
    (highPass ? hpfLine_ : lpfLine_).setLine(x, kGraphTop, x, kLineBottom);
    crossoverRowCalc(ch, highPass);
}

void ResponseCurves::crossoverRowCalc(uint8_t ch, bool highPass) {
    ChannelNotes& n = notes_[ch];
    (highPass ? n.hpf : n.lpf) = filterKey(highPass, ch);
    (highPass ? n.hpfValid : n.lpfValid) = true;
    n.pointsStale = true;
    const FilterFields& fields = highPass ? kHpfFields : kLpfFields;
    Row& row = highPass ? hpf_[ch] : lpf_[ch];
    const ParamImage& p = Param_Image;
    if (p.filterOff(fields, ch) != 0) {
        row.fill(0.0);
        return;
    }
    const double fc = p.filterFreq(fields, ch);
    const int order = p.filterSlope(fields, ch) + 1;
    const int type = p.filterType(fields, ch);
    if (type > 2) return; // an unknown family leaves the curve as it was
    for (int i = 0; i < kCurvePoints; ++i) {
        const double r = highPass ? fc / freq_[at(i)] : freq_[at(i)] / fc;
        row[at(i)] = 20.0 * std::log10(Crossover_Magnitude(type, order, r));
    }
}

void ResponseCurves::pointsUpdate(uint8_t ch) {
    notes_[ch].pointsStale = false;
    for (int i = 0; i < kCurvePoints; ++i)
        points_[ch][at(i)].setY(Db_To_Py(db(ch, i)));
}

bool ResponseCurves::current(uint8_t ch) {
    if (ch >= kCurveChannels) return false;
    const ChannelNotes& n = notes_[ch];
    bool changed = false;
    if (!n.eqValid || n.eq != eqKey(ch)) {
        eqCalc(ch);
        changed = true;
    }
    for (bool highPass : {true, false}) {
        if (!(highPass ? n.hpfValid : n.lpfValid) ||
            (highPass ? n.hpf : n.lpf) != filterKey(highPass, ch)) {
            crossoverRowCalc(ch, highPass);
            changed = true;
        }
    }
    if (n.pointsStale) {
        pointsUpdate(ch);
        changed = true;
    }
    return changed;
}

void ResponseCurves::setLevels(uint8_t ch, int i, double eqDb, double hpfDb, double lpfDb) {
    eq_[ch][at(i)] = eqDb;
    hpf_[ch][at(i)] = hpfDb;
    lpf_[ch][at(i)] = lpfDb;
}

double ResponseCurves::dbAtX(const GraphScale& scale, uint8_t ch, double x) const {
    // Grid point i lies at x = xLow + i * columns / 127 (dsp/scale.h).
    double t = (x - scale.xLow()) * (kCurvePoints - 1) / scale.columns();
    if (t <= 0.0) return db(ch, 0);
    if (t >= kCurvePoints - 1) return db(ch, kCurvePoints - 1);
    const int i = static_cast<int>(t);
    t -= i;
    return db(ch, i) * (1.0 - t) + db(ch, i + 1) * t;
}

} // namespace tarn
