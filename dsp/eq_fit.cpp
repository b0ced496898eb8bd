#include "dsp/eq_fit.h"

#include "dsp/response.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace tarn {

namespace {

// The fit works on its own grid, finer than the graph's: 1/32 octave from 20 Hz to 20 kHz, fine
// enough for a band of Q 10 (a seventh of an octave wide).
constexpr int kN = 320;
const double kStepOct = std::log2(1000.0) / (kN - 1);
// 1/6-octave smoothing: +-1/12 octave around each point, the outer points in part.
const double kSmoothHalf = (1.0 / 12.0) / kStepOct;
constexpr int kSmoothReach = 3;

constexpr double kCutFloorDb = -12.0;
constexpr int kGainMax = 120; // tenths
constexpr int kQMin = kEqQMin, kQMax = kEqQMax;
// A dip needing at least this much boost, narrower than a third of an octave at half its depth,
// is a cancellation: no boost there nor within a sixth of an octave of it.
constexpr double kDipMinDb = 3.0;
constexpr double kNarrowOct = 1.0 / 3.0;
constexpr double kDipGuardOct = 1.0 / 6.0;
// Bands are added while the error somewhere is above kEnoughDb and each lowers the cost by at
// least kWorthIt of it: bands chasing tenths of a decibel are no improvement anyone hears.
constexpr double kEnoughDb = 0.5;
constexpr double kWorthIt = 0.02;
// Outside the corrected range the bands are asked to stay near 0 dB, lightly.
constexpr double kOutsideWeight = 0.1;
// Going past a ceiling or below the floor costs this much more than missing the target.
constexpr double kLimitWeight = 50.0;

struct Grid {
    std::array<double, kN> f{}, cw{}, c2w{};
    std::array<double, 2 * kSmoothReach + 1> weight{};
    Grid() {
        for (int i = 0; i < kN; ++i) {
            f[i] = 20.0 * std::exp2(i * kStepOct);
            cw[i] = std::cos(f[i] * kRadPerHz);
            c2w[i] = std::cos(2.0 * f[i] * kRadPerHz);
        }
        for (int j = -kSmoothReach; j <= kSmoothReach; ++j)
            weight[j + kSmoothReach] = std::clamp(kSmoothHalf + 0.5 - std::abs(j), 0.0, 1.0);
    }
};

const Grid& grid() {
    static const Grid g;
    return g;
}

using Row = std::array<double, kN>;

// 1/6-octave average of the points that `use` admits (all when null).
void smooth(const Row& in, const std::array<bool, kN>* use, Row& out) {
    const Grid& g = grid();
    for (int i = 0; i < kN; ++i) {
        double sum = 0, weights = 0;
        for (int j = std::max(0, i - kSmoothReach); j <= std::min(kN - 1, i + kSmoothReach); ++j) {
            if (use && !(*use)[j]) continue;
            const double w = g.weight[j - i + kSmoothReach];
            sum += w * in[j];
            weights += w;
        }
        out[i] = weights > 0 ? sum / weights : 0.0;
    }
}

void bandRow(const FitBand& b, Row& out) {
    if (b.gain == 0) {
        out.fill(0.0);
        return;
    }
    const Grid& g = grid();
    const Biquad s = Peak_Section(b.gain / 10.0, b.freq, b.q / 10.0);
    for (int i = 0; i < kN; ++i)
        out[i] = 10.0 * std::log10(Section_Power_Cos(s, g.cw[i], g.c2w[i]));
}

// The measurement on the fit grid: averaged over each point's cell where it is dense, straight
// between its points on a log axis where it is sparse; covered between its first and last point.
void resample(std::vector<MeasuredPoint> points, Row& level, std::array<bool, kN>& covered) {
    level.fill(0.0);
    covered.fill(false);
    points.erase(std::remove_if(points.begin(), points.end(),
                                [](const MeasuredPoint& p) { return !(p.freq > 0.0); }),
                 points.end());
    if (points.size() < 2) return;
    std::stable_sort(
        points.begin(), points.end(),
        [](const MeasuredPoint& a, const MeasuredPoint& b) { return a.freq < b.freq; });
    const Grid& g = grid();
    const double lo = points.front().freq * (1.0 - 1e-9), hi = points.back().freq * (1.0 + 1e-9);
    const double cell = std::exp2(kStepOct / 2.0);
    for (int i = 0; i < kN; ++i) {
        const double f = g.f[i];
        if (f < lo || f > hi) continue;
        const auto first =
            std::lower_bound(points.begin(), points.end(), f / cell,
                             [](const MeasuredPoint& p, double v) { return p.freq < v; });
        double sum = 0;
        int n = 0;
        for (auto p = first; p != points.end() && p->freq < f * cell; ++p) {
            sum += p->level;
            ++n;
        }
        if (n >= 2) {
            level[i] = sum / n;
        } else {
            const auto above =
                std::lower_bound(points.begin(), points.end(), f,
                                 [](const MeasuredPoint& p, double v) { return p.freq < v; });
            if (above == points.end()) {
                level[i] = points.back().level;
            } else if (above == points.begin() || above->freq <= (above - 1)->freq) {
                level[i] = above->level;
            } else {
                const MeasuredPoint& a = *(above - 1);
                const double t = std::log(f / a.freq) / std::log(above->freq / a.freq);
                level[i] = a.level + t * (above->level - a.level);
            }
        }
        covered[i] = true;
    }
}

class Fitter {
  public:
    Fitter(const FitRequest& rq, const std::array<bool, kN>& inRange, const Row& want,
           const Row& ceiling, int lo, int hi)
        : geq_(rq.mode == FitMode::Geq), in_(inRange), want_(want), ceil_(ceiling), lo_(lo),
          hi_(hi) {
        bands_ = rq.bands;
        for (FitBand& b : bands_)
            b.gain = 0;
        for (Row& r : rows_)
            r.fill(0.0);
        total_.fill(0.0);
        maxGain_ =
            std::clamp(static_cast<int>(std::floor(rq.maxBoostDb * 10.0 + 1e-9)), 0, kGainMax);
        const Grid& g = grid();
        hpfCorner_ = rq.hpf.on ? rq.hpf.freq : 0;
        minFreq_ = std::max(static_cast<int>(kFreqMin), static_cast<int>(std::ceil(g.f[lo])));
        maxFreq_ = std::min(static_cast<int>(kFreqMax), static_cast<int>(std::floor(g.f[hi])));
        if (maxFreq_ < minFreq_) maxFreq_ = minFreq_;
    }

    const FitBands& bands() const { return bands_; }
    const Row& total() const { return total_; }

    double cost(const Row& t) const {
        Row s;
        smooth(t, nullptr, s);
        double j = 0;
        for (int i = 0; i < kN; ++i) {
            if (in_[i]) {
                const double d = s[i] - want_[i];
                j += d * d;
            } else {
                j += kOutsideWeight * t[i] * t[i];
            }
            const double over = t[i] - ceil_[i];
            if (over > 0) j += kLimitWeight * over * over;
            const double under = kCutFloorDb - t[i];
            if (under > 0) j += kLimitWeight * under * under;
        }
        return j;
    }
    double cost() const { return cost(total_); }

    // Whether a band may be stored as it is: the unit's ranges, centred in the corrected range
    // (parametric: graphic bands stay where they stand), no boost above the limit, below the
    // high-pass corner or centred where boosts are barred (a narrow dip).
    bool legal(const FitBand& b) const {
        const bool centred = geq_ || (b.freq >= minFreq_ && b.freq <= maxFreq_);
        if (b.gain > 0 && ceil_[nearest(b.freq)] < 0.05) return false;
        return centred && b.q >= kQMin && b.q <= kQMax && b.gain >= -kGainMax &&
               b.gain <= maxGain_ && !(b.gain > 0 && b.freq < hpfCorner_);
    }

    void set(int k, const FitBand& b, const Row& row) {
        for (int i = 0; i < kN; ++i)
            total_[i] += row[i] - rows_[k][i];
        rows_[k] = row;
        bands_[k] = b;
    }
    void set(int k, const FitBand& b) {
        Row row;
        bandRow(b, row);
        set(k, b, row);
    }

    // The cost with band k as b instead.
    double costWith(int k, const FitBand& b, Row& row) const {
        bandRow(b, row);
        Row t;
        for (int i = 0; i < kN; ++i)
            t[i] = total_[i] - rows_[k][i] + row[i];
        return cost(t);
    }

    // Moves band k one step at a time, the best of the steps tried, while that lowers the cost.
    void refine(int k, bool gainOnly) {
        double best = cost();
        Row row, bestRow;
        for (int iter = 0; iter < 80; ++iter) {
            const FitBand cur = bands_[k];
            FitBand bestBand = cur;
            const auto tryBand = [&](FitBand c) {
                if (c == cur || !legal(c)) return;
                const double j = costWith(k, c, row);
                if (j < best - 1e-12) {
                    best = j;
                    bestBand = c;
                    bestRow = row;
                }
            };
            for (int d : {-30, -10, -3, -1, 1, 3, 10, 30}) {
                FitBand c = cur;
                c.gain = std::clamp(cur.gain + d, -kGainMax, maxGain_);
                tryBand(c);
            }
            if (!gainOnly) {
                for (double oct : {-0.25, -1.0 / 12.0, -1.0 / 48.0, 1.0 / 48.0, 1.0 / 12.0, 0.25}) {
                    FitBand c = cur;
                    int f = static_cast<int>(std::lround(cur.freq * std::exp2(oct)));
                    if (f == cur.freq) f += oct > 0 ? 1 : -1;
                    c.freq = std::clamp(f, minFreq_, maxFreq_);
                    tryBand(c);
                }
                for (double ratio : {1.0 / 1.5, 1.5}) {
                    FitBand c = cur;
                    c.q = std::clamp(static_cast<int>(std::lround(cur.q * ratio)), kQMin, kQMax);
                    tryBand(c);
                }
                for (int d : {-3, -1, 1, 3}) {
                    FitBand c = cur;
                    c.q = std::clamp(cur.q + d, kQMin, kQMax);
                    tryBand(c);
                }
            }
            if (bestBand == cur) break;
            set(k, bestBand, bestRow);
        }
    }

    // Parametric: one band at a time where the error is largest, each refined on its own, then
    // all of them together.
    void fitPeq() {
        const Grid& g = grid();
        std::vector<int> used;
        // Where a band was tried and did not help: the next one looks elsewhere.
        std::array<bool, kN> tried{};
        const int reach = static_cast<int>(std::lround((1.0 / 6.0) / kStepOct));
        for (int attempt = 0; attempt < 2 * kBands && used.size() < size_t(kBands); ++attempt) {
            Row s;
            smooth(total_, nullptr, s);
            int peak = -1;
            double peakErr = 0;
            for (int i = lo_; i <= hi_; ++i) {
                const double err = want_[i] - s[i];
                if (in_[i] && !tried[i] && std::fabs(err) > std::fabs(peakErr)) {
                    peakErr = err;
                    peak = i;
                }
            }
            if (peak < 0 || std::fabs(peakErr) < kEnoughDb) break;
            for (int j = std::max(0, peak - reach); j <= std::min(kN - 1, peak + reach); ++j)
                tried[j] = true;
            // Its width where the error stays above half of it gives the first Q.
            int l = peak, r = peak;
            while (l > lo_ && (want_[l - 1] - s[l - 1]) / peakErr > 0.5)
                --l;
            while (r < hi_ && (want_[r + 1] - s[r + 1]) / peakErr > 0.5)
                ++r;
            const double bw = std::max((r - l + 1) * kStepOct, 0.05);
            const double q = std::sqrt(std::exp2(bw)) / (std::exp2(bw) - 1.0);
            const int k = freeBand();
            FitBand b = bands_[k];
            b.freq = std::clamp(static_cast<int>(std::lround(g.f[peak])), minFreq_, maxFreq_);
            b.q = std::clamp(static_cast<int>(std::lround(q * 10.0)), kQMin, kQMax);
            b.gain = std::clamp(static_cast<int>(std::lround(peakErr * 10.0)), -kGainMax, maxGain_);
            if (!legal(b)) b.gain = std::min(b.gain, 0);
            if (b.gain == 0) continue;
            const double before = cost();
            const FitBand old = bands_[k];
            set(k, b);
            refine(k, false);
            if (std::abs(bands_[k].gain) < 3 || cost() > before * (1.0 - kWorthIt)) {
                set(k, old);
                continue;
            }
            used.push_back(k);
            // What this band changed may be worth another look.
            std::fill(tried.begin(), tried.end(), false);
        }
        for (int sweep = 0; sweep < 2; ++sweep)
            for (int k : used)
                refine(k, false);
        // A band the refinement left at a few tenths of a decibel goes when the rest do as well.
        for (int k : used) {
            if (std::abs(bands_[k].gain) >= 3) continue;
            const double with = cost();
            const FitBand kept = bands_[k];
            FitBand flat = kept;
            flat.gain = 0;
            set(k, flat);
            if (cost() > with * (1.0 + kWorthIt)) set(k, kept);
        }
    }

    // Graphic: the gains by least squares on the bands' shapes (smoothing is linear, so each
    // band's smoothed shape is worked out once a round), then each to its 0.1 dB step.
    void fitGeq() {
        for (int round = 0; round < 3; ++round) {
            std::array<Row, kBands> shape; // smoothed dB per dB of gain
            std::array<Row, kBands> raw;   // the same unsmoothed, for the outside
            std::array<double, kBands> g{};
            for (int k = 0; k < kBands; ++k) {
                FitBand unit = bands_[k];
                unit.gain = std::abs(unit.gain) >= 5 ? unit.gain : 10;
                Row r;
                bandRow(unit, r);
                for (int i = 0; i < kN; ++i)
                    raw[k][i] = r[i] / (unit.gain / 10.0);
                smooth(raw[k], nullptr, shape[k]);
                g[k] = bands_[k].gain / 10.0;
            }
            Row s{}, t{}; // the model's smoothed and raw sums
            for (int k = 0; k < kBands; ++k)
                for (int i = 0; i < kN; ++i) {
                    s[i] += g[k] * shape[k][i];
                    t[i] += g[k] * raw[k][i];
                }
            for (int sweep = 0; sweep < 40; ++sweep) {
                for (int k = 0; k < kBands; ++k) {
                    double num = 0, den = 0;
                    for (int i = 0; i < kN; ++i) {
                        if (in_[i]) {
                            num += shape[k][i] * (want_[i] - (s[i] - g[k] * shape[k][i]));
                            den += shape[k][i] * shape[k][i];
                        } else {
                            num -= kOutsideWeight * raw[k][i] * (t[i] - g[k] * raw[k][i]);
                            den += kOutsideWeight * raw[k][i] * raw[k][i];
                        }
                    }
                    double next = den > 1e-12 ? num / den : 0.0;
                    next = std::clamp(next, -kGainMax / 10.0, maxGain_ / 10.0);
                    if (next > 0 && bands_[k].freq < std::max(hpfCorner_, minFreq_)) next = 0;
                    if (bands_[k].freq > maxFreq_ && next > 0) next = 0;
                    for (int i = 0; i < kN; ++i) {
                        s[i] += (next - g[k]) * shape[k][i];
                        t[i] += (next - g[k]) * raw[k][i];
                    }
                    g[k] = next;
                }
            }
            for (int k = 0; k < kBands; ++k) {
                FitBand b = bands_[k];
                b.gain = static_cast<int>(std::lround(g[k] * 10.0));
                set(k, b);
            }
        }
        // The steps of 0.1 dB, checked against the exact sections.
        for (int k = 0; k < kBands; ++k)
            refine(k, true);
    }

    // What the cost leaves above a ceiling is taken off the band that lifts it most there, 0.1 dB
    // at a time, and what it leaves below the floor given back by the band that cuts most: the
    // limits hold whatever the search found.
    void holdCeilings() {
        for (int guard = 0; guard < 31 * 2 * kGainMax; ++guard) {
            int worst = -1;
            double over = 0.005;
            for (int i = 0; i < kN; ++i)
                if (total_[i] - ceil_[i] > over) {
                    over = total_[i] - ceil_[i];
                    worst = i;
                }
            bool lift = false;
            for (int i = 0; i < kN; ++i)
                if (kCutFloorDb - total_[i] > over) {
                    over = kCutFloorDb - total_[i];
                    worst = i;
                    lift = true;
                }
            if (worst < 0) return;
            int k = -1;
            for (int b = 0; b < kBands; ++b) {
                const double part = rows_[b][worst] * (lift ? -1 : 1);
                if ((lift ? bands_[b].gain < 0 : bands_[b].gain > 0) &&
                    (k < 0 || part > rows_[k][worst] * (lift ? -1 : 1)))
                    k = b;
            }
            if (k < 0) return;
            FitBand b = bands_[k];
            b.gain += lift ? 1 : -1;
            set(k, b);
        }
    }

  private:
    static int nearest(int freq) {
        return std::clamp(static_cast<int>(std::lround(std::log2(freq / 20.0) / kStepOct)), 0,
                          kN - 1);
    }

    // A band not yet used, nearest the middle of the bank (where it is moved at the end).
    int freeBand() const {
        for (int k = 0; k < kBands; ++k)
            if (bands_[k].gain == 0) return k;
        return 0;
    }

    bool geq_;
    const std::array<bool, kN>& in_;
    const Row& want_;
    const Row& ceil_;
    int lo_, hi_;
    int maxGain_ = 60;
    int hpfCorner_ = 0;
    int minFreq_ = kFreqMin, maxFreq_ = kFreqMax;
    FitBands bands_{};
    std::array<Row, kBands> rows_{};
    Row total_{};
};

// The used bands in frequency order, each into a slot as near its default frequency as the order
// allows, so that the markers stay near their homes; the other slots keep what they held, flat.
FitBands placeInSlots(const FitBands& fitted, const FitBands& before) {
    std::vector<FitBand> used;
    for (const FitBand& b : fitted)
        if (b.gain != 0) used.push_back(b);
    std::stable_sort(used.begin(), used.end(),
                     [](const FitBand& a, const FitBand& b) { return a.freq < b.freq; });
    FitBands out = before;
    for (FitBand& b : out)
        b.gain = 0;
    int next = 0;
    const int m = static_cast<int>(used.size());
    for (int u = 0; u < m; ++u) {
        const int last = kBands - (m - u); // slots must remain for the rest
        int slot = next;
        double bestDist = 1e300;
        for (int s = next; s <= last; ++s) {
            const double d = std::fabs(std::log(used[u].freq / double(kDefaultBandFreq[s])));
            if (d < bestDist) {
                bestDist = d;
                slot = s;
            }
        }
        out[slot] = used[u];
        next = slot + 1;
    }
    return out;
}

double rms(const Row& a, const std::array<bool, kN>& use) {
    double sum = 0;
    int n = 0;
    for (int i = 0; i < kN; ++i)
        if (use[i]) {
            sum += a[i] * a[i];
            ++n;
        }
    return n ? std::sqrt(sum / n) : 0.0;
}

} // namespace

double Crossover_Db(const CrossoverSetting& filter, bool highPass, double f) {
    if (!filter.on || filter.freq <= 0) return 0.0;
    const double r = highPass ? filter.freq / f : f / filter.freq;
    const double m = Crossover_Magnitude(filter.type, filter.slope + 1, r);
    return m > 0 ? 20.0 * std::log10(m) : 0.0;
}

double Fit_Bands_Db(const FitBands& bands, double f) {
    double level = 0;
    for (const FitBand& b : bands)
        if (b.gain != 0)
            level += 10.0 *
                     std::log10(Section_Power(Peak_Section(b.gain / 10.0, b.freq, b.q / 10.0), f));
    return level;
}

FitResult Fit_Eq(const FitRequest& rq) {
    const auto started = std::chrono::steady_clock::now();
    const Grid& g = grid();
    FitResult out;
    out.bands = rq.bands;
    for (FitBand& b : out.bands)
        b.gain = 0;

    Row raw, measured;
    std::array<bool, kN> covered{};
    resample(rq.measurement, raw, covered);
    smooth(raw, &covered, measured);

    // The range: between the corners the crossovers leave open, where the measurement reaches.
    const double from = rq.hpf.on ? std::max<double>(rq.hpf.freq, kFreqMin) : kFreqMin;
    const double to = rq.lpf.on ? std::min<double>(rq.lpf.freq, kFreqMax) : kFreqMax;
    std::array<bool, kN> in{};
    int lo = -1, hi = -1;
    for (int i = 0; i < kN; ++i) {
        in[i] = covered[i] && g.f[i] >= from * (1 - 1e-9) && g.f[i] <= to * (1 + 1e-9);
        if (in[i]) {
            if (lo < 0) lo = i;
            hi = i;
        }
    }
    // Less than a third of an octave is nothing to equalise.
    if (lo < 0 || (hi - lo) * kStepOct < kNarrowOct) {
        out.error = FitResult::Error::NoRange;
        return out;
    }
    for (int i = lo; i <= hi; ++i)
        in[i] = covered[i];
    out.fromHz = g.f[lo];
    out.toHz = g.f[hi];

    // The target at the measurement's level: the median difference over the range, which a
    // narrow peak or dip does not move.
    Row target;
    for (int i = 0; i < kN; ++i)
        target[i] = rq.target.levelAt(g.f[i]);
    std::vector<double> diffs;
    for (int i = lo; i <= hi; ++i)
        if (in[i]) diffs.push_back(measured[i] - target[i]);
    std::nth_element(diffs.begin(), diffs.begin() + diffs.size() / 2, diffs.end());
    const double offset = diffs[diffs.size() / 2];
    for (double& t : target)
        t += offset;

    // Ceilings of the combined bands: the boost limit; below the high-pass corner a boost centred
    // at it may reach down a third of an octave, tapering to nothing (a step at the corner would
    // take a stack of the narrowest bands); none in or beside a narrow dip.
    const double maxBoost = std::clamp(rq.maxBoostDb, 0.0, kGainMax / 10.0);
    Row ceiling;
    for (int i = 0; i < kN; ++i) {
        const double below = rq.hpf.on ? std::log2(rq.hpf.freq / g.f[i]) : 0.0;
        ceiling[i] = below > 0 ? maxBoost * std::max(0.0, 1.0 - below / kNarrowOct) : maxBoost;
    }
    Row need;
    for (int i = 0; i < kN; ++i)
        need[i] = in[i] ? target[i] - raw[i] : 0.0;
    const int guard = static_cast<int>(std::lround(kDipGuardOct / kStepOct));
    for (int i = lo; i <= hi; ++i) {
        if (!in[i] || need[i] < kDipMinDb) continue;
        if ((i > lo && need[i - 1] > need[i]) || (i < hi && need[i + 1] >= need[i])) continue;
        int l = i, r = i;
        while (l > lo && in[l - 1] && need[l - 1] > need[i] / 2)
            --l;
        while (r < hi && in[r + 1] && need[r + 1] > need[i] / 2)
            ++r;
        // One that runs into an end of the range is not known to be narrow.
        const bool cutShort =
            (l == lo && need[lo] > need[i] / 2) || (r == hi && need[hi] > need[i] / 2);
        if (cutShort || (r - l + 1) * kStepOct >= kNarrowOct) continue;
        out.narrowDips.push_back(g.f[i]);
        for (int j = std::max(0, l - guard); j <= std::min(kN - 1, r + guard); ++j)
            ceiling[j] = 0.0;
    }

    Row want{};
    for (int i = 0; i < kN; ++i)
        if (in[i]) want[i] = std::clamp(target[i] - measured[i], kCutFloorDb, ceiling[i]);

    Fitter fitter(rq, in, want, ceiling, lo, hi);
    if (rq.mode == FitMode::Peq)
        fitter.fitPeq();
    else
        fitter.fitGeq();
    fitter.holdCeilings();

    // Residuals: what is left of the difference from the target, smoothed as the fit saw it.
    const auto residual = [&](const Row& eq) {
        Row d, s;
        for (int i = 0; i < kN; ++i)
            d[i] = raw[i] + eq[i] - target[i];
        smooth(d, &covered, s);
        return rms(s, in);
    };
    Row flat{};
    out.flatResidualDb = residual(flat);
    out.residualDb = residual(fitter.total());
    FitBands fitted = fitter.bands();
    Row eq = fitter.total();
    if (out.residualDb > out.flatResidualDb) {
        // Never worse than leaving the bands flat.
        fitted = out.bands;
        eq = flat;
        out.residualDb = out.flatResidualDb;
    }
    {
        Row s, d;
        smooth(eq, nullptr, s);
        for (int i = 0; i < kN; ++i)
            d[i] = s[i] - want[i];
        out.reachableResidualDb = rms(d, in);
    }
    out.bands = rq.mode == FitMode::Peq ? placeInSlots(fitted, rq.bands) : fitted;
    for (const FitBand& b : out.bands)
        if (b.gain != 0) ++out.bandsUsed;

    // The graph's rows.
    for (int j = 0; j < kCurvePoints; ++j) {
        const double f = Grid_Freq(j);
        const double pos = std::clamp(std::log2(f / 20.0) / kStepOct, 0.0, kN - 1.0);
        const int a = std::min(static_cast<int>(pos), kN - 2);
        const double t = pos - a;
        out.covered[j] = covered[a] && covered[a + 1];
        const double xo = Crossover_Db(rq.hpf, true, f) + Crossover_Db(rq.lpf, false, f);
        const double m = measured[a] + t * (measured[a + 1] - measured[a]);
        out.predicted[j] = out.covered[j] ? m + xo + Fit_Bands_Db(out.bands, f) : 0.0;
        out.target[j] = rq.target.levelAt(f) + offset + xo;
    }
    out.elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    return out;
}

} // namespace tarn
