#include "dsp/response_curves.h"

#include "dsp/scale.h"

#include <algorithm>
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

// Below this ratio of neighbouring frequencies (about a sixtieth of a pixel at the smallest plot)
// a drawn curve is not refined further.
constexpr int kMaxRefineDepth = 12;
constexpr double kSmoothBend = 0.2; // dB
constexpr double kInaudibleDb = -100.0;

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
    models_.fill(Model{});
    for (int ch = 0; ch < kCurveChannels; ++ch) {
        drawn_[at(ch)].clear();
        for (int i = 0; i < kCurvePoints; ++i)
            drawn_[at(ch)].push_back({freq_[at(i)], 0.0});
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
    Model& model = models_[ch];
    for (int b = 0; b < kBands; ++b) {
        if (Param_Image.EQ_Gain_Signed(ch, b) == kGainFlat) continue;
        const Biquad& q = sections[b];
        model.sections[at(count)] = {
            q.b0 * q.b0 + q.b1 * q.b1 + q.b2 * q.b2, 2.0 * q.b1 * (q.b0 + q.b2), 2.0 * q.b0 * q.b2,
            1.0 + q.a1 * q.a1 + q.a2 * q.a2,         2.0 * q.a1 * (1.0 + q.a2),  2.0 * q.a2};
        model.centres[at(count)] = Param_Image.EQ_Freq(ch, b);
        active[count++] = b;
    }
    model.count = count;

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
    Corner& corner = highPass ? models_[ch].hpf : models_[ch].lpf;
    if (p.filterOff(fields, ch) != 0) {
        row.fill(0.0);
        corner.on = false;
        return;
    }
    const double fc = p.filterFreq(fields, ch);
    const int order = p.filterSlope(fields, ch) + 1;
    const int type = p.filterType(fields, ch);
    if (type > 2) return; // an unknown family leaves the curve as it was
    corner = Corner{true, type, order, fc};
    for (int i = 0; i < kCurvePoints; ++i) {
        const double r = highPass ? fc / freq_[at(i)] : freq_[at(i)] / fc;
        row[at(i)] = 20.0 * std::log10(Crossover_Magnitude(type, order, r));
    }
}

void ResponseCurves::pointsUpdate(uint8_t ch) {
    notes_[ch].pointsStale = false;
    for (int i = 0; i < kCurvePoints; ++i)
        points_[ch][at(i)].setY(Db_To_Py(db(ch, i)));

    // The grid points keep their rows' levels; band centres and corners join them, so that a
    // peak is drawn at its height and a corner on its level.
    std::vector<CurvePoint> seeds;
    seeds.reserve(kCurvePoints + kEqSections + 2);
    for (int i = 0; i < kCurvePoints; ++i)
        seeds.push_back({freq_[at(i)], db(ch, i)});
    // Where the rows bend little (second difference within kSmoothBend at the two ends of a grid
    // step and at their neighbours), the straight line between two grid points is within a few
    // hundredths of a dB of the curve and is drawn without probing it: only the steps around a
    // narrow band or a corner are refined, which keeps a drag step cheap.
    std::array<bool, kCurvePoints> smooth{};
    for (int i = 1; i + 1 < kCurvePoints; ++i)
        smooth[at(i)] = std::abs(db(ch, i - 1) - 2.0 * db(ch, i) + db(ch, i + 1)) <= kSmoothBend;
    smooth[0] = smooth[1];
    smooth[at(kCurvePoints - 1)] = smooth[at(kCurvePoints - 2)];
    const Model& m = models_[ch];
    std::vector<double> extra(m.centres.begin(), m.centres.begin() + m.count);
    for (const Corner* c : {&m.hpf, &m.lpf})
        if (c->on) extra.push_back(c->fc);
    const double lo = freq_.front(), hi = freq_.back();
    for (double f : extra)
        if (f > lo && f < hi) seeds.push_back({f, levelAt(ch, f)});
    std::stable_sort(seeds.begin(), seeds.end(),
                     [](const CurvePoint& a, const CurvePoint& b) { return a.freq < b.freq; });

    Curve& out = drawn_[ch];
    out.clear();
    out.push_back(seeds.front());
    int grid = 0; // the grid point last passed
    for (size_t k = 1; k < seeds.size(); ++k) {
        const CurvePoint& a = out.back();
        const CurvePoint& b = seeds[k];
        if (b.freq <= a.freq * (1.0 + 1e-9)) continue; // the same frequency twice
        const bool gridStep =
            grid + 1 < kCurvePoints && a.freq == freq_[at(grid)] && b.freq == freq_[at(grid + 1)];
        if (grid + 1 < kCurvePoints && b.freq >= freq_[at(grid + 1)]) ++grid;
        if (gridStep && smooth[at(std::max(grid - 2, 0))] && smooth[at(grid - 1)] &&
            smooth[at(grid)] && smooth[at(std::min(grid + 1, kCurvePoints - 1))]) {
            out.push_back(b);
            continue;
        }
        const double fm = std::sqrt(a.freq * b.freq);
        refine(ch, CurvePoint(a), b, {fm, levelAt(ch, fm)}, 0);
    }
}

// Appends what lies after a up to b: b alone where the straight line from a to b keeps to the
// exact level at its quarter points and middle (mid, already computed), else both halves refined.
void ResponseCurves::refine(uint8_t ch, const CurvePoint& a, const CurvePoint& b,
                            const CurvePoint& mid, int depth) {
    // Far below any level the plot shows, the shape does not matter.
    if (depth >= kMaxRefineDepth || std::max({a.db, b.db, mid.db}) < kInaudibleDb) {
        drawn_[ch].push_back(b);
        return;
    }
    const double q1f = std::sqrt(a.freq * mid.freq), q3f = std::sqrt(mid.freq * b.freq);
    const CurvePoint q1{q1f, levelAt(ch, q1f)}, q3{q3f, levelAt(ch, q3f)};
    const bool straight = std::abs(mid.db - (a.db + b.db) / 2.0) <= kDrawnTolerance &&
                          std::abs(q1.db - (3.0 * a.db + b.db) / 4.0) <= kDrawnTolerance &&
                          std::abs(q3.db - (a.db + 3.0 * b.db) / 4.0) <= kDrawnTolerance;
    if (straight) {
        drawn_[ch].push_back(b);
        return;
    }
    refine(ch, a, mid, q1, depth + 1);
    refine(ch, mid, b, q3, depth + 1);
}

double ResponseCurves::levelAt(uint8_t ch, double f) const {
    const Model& m = models_[ch];
    const double cw = std::cos(f * kRadPerHz);
    const double c2w = 2.0 * cw * cw - 1.0;
    // Numerators and denominators multiplied apart and the filters' squared magnitudes with them:
    // one division and one log per frequency (each factor lies well inside double's range).
    double num = 1.0, den = 1.0;
    for (int k = 0; k < m.count; ++k) {
        const PowerTerms& t = m.sections[at(k)];
        num *= t.n0 + t.n1 * cw + t.n2 * c2w;
        den *= t.d0 + t.d1 * cw + t.d2 * c2w;
    }
    for (const auto& [c, highPass] : {std::pair{&m.hpf, true}, std::pair{&m.lpf, false}}) {
        if (!c->on) continue;
        const double g = Crossover_Magnitude(c->type, c->order, highPass ? c->fc / f : f / c->fc);
        num *= g * g;
    }
    return 10.0 * std::log10(num / den);
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
    const Curve& c = drawn_[ch];
    const double f = scale.xToFreq(x);
    if (f <= c.front().freq) return c.front().db;
    if (f >= c.back().freq) return c.back().db;
    const auto above = std::lower_bound(c.begin(), c.end(), f,
                                        [](const CurvePoint& p, double v) { return p.freq < v; });
    const CurvePoint& b = *above;
    const CurvePoint& a = *(above - 1);
    // x is linear in log frequency: straight on the plot is straight in log f.
    const double t = std::log(f / a.freq) / std::log(b.freq / a.freq);
    return a.db * (1.0 - t) + b.db * t;
}

} // namespace tarn
