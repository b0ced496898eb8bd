#include "graph/measurement.h"

#include <QList>
#include <algorithm>
#include <cmath>

namespace tarn {

std::array<Measurement, kCurveChannels> Channel_Measurement;

namespace {

bool Is_Digit(char c) {
    return c >= '0' && c <= '9';
}

// A sign and a decimal point may come first, then a digit must.
bool Starts_Number(const QByteArray& line) {
    int i = 0;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    if (i < line.size() && line[i] == '.') ++i;
    return i < line.size() && Is_Digit(line[i]);
}

bool Is_Separator(char c) {
    return c == ' ' || c == '\t' || c == ',';
}

// The first two fields of a data line as numbers; false when they are not both finite numbers.
bool Two_Numbers(const QByteArray& line, double& a, double& b) {
    double v[2];
    int found = 0;
    int i = 0;
    const int n = line.size();
    while (found < 2) {
        while (i < n && Is_Separator(line[i]))
            ++i;
        const int start = i;
        while (i < n && !Is_Separator(line[i]))
            ++i;
        if (start == i) return false;
        bool ok = false;
        v[found] = line.mid(start, i - start).toDouble(&ok);
        if (!ok || !std::isfinite(v[found])) return false;
        ++found;
    }
    a = v[0];
    b = v[1];
    return true;
}

} // namespace

MeasurementRead Read_Measurement(const QByteArray& text) {
    MeasurementRead out;
    int lineNo = 0;
    const bool bom = text.startsWith("\xEF\xBB\xBF");
    for (const QByteArray& raw : (bom ? text.mid(3) : text).split('\n')) {
        ++lineNo;
        const QByteArray line = raw.trimmed();
        if (!Starts_Number(line)) continue; // blank lines, headers, comments, text
        double f = 0, level = 0;
        // A level beyond +-1000 dB is no measurement (and its sums would overflow).
        if (!Two_Numbers(line, f, level) || f <= 0.0 || std::fabs(level) > 1000.0) {
            out.error = MeasurementRead::Error::BadLine;
            out.badLine = lineNo;
            out.points.clear();
            return out;
        }
        out.points.push_back({f, level});
        if (f >= 20.0 && f <= 20000.0) ++out.inRange;
    }
    if (out.inRange < kMeasurementMinPoints) {
        out.error = MeasurementRead::Error::TooFewPoints;
        out.points.clear();
    }
    return out;
}

Measurement Measurement_On_Grid(std::vector<MeasuredPoint> points) {
    Measurement m;
    if (points.size() < 2) return m;
    std::stable_sort(
        points.begin(), points.end(),
        [](const MeasuredPoint& a, const MeasuredPoint& b) { return a.freq < b.freq; });
    // The grid's own ends carry rounding (20 Hz is 19.999999999999996): allow for it.
    const double lo = points.front().freq * (1.0 - 1e-9);
    const double hi = points.back().freq * (1.0 + 1e-9);

    int covered = 0;
    size_t next = 0; // first point at or above the current cell's lower edge
    for (int i = 0; i < kCurvePoints; ++i) {
        const double f = Grid_Freq(i);
        if (f < lo || f > hi) continue;
        // The cell of grid point i reaches halfway (in log frequency) to its neighbours. Dense
        // measurements are averaged over the cell; sparse ones are interpolated at the point.
        const double cellLo = i > 0 ? std::sqrt(Grid_Freq(i - 1) * f) : 0.0;
        const double cellHi = i + 1 < kCurvePoints ? std::sqrt(f * Grid_Freq(i + 1)) : hi * 2.0;
        while (next < points.size() && points[next].freq < cellLo)
            ++next;
        double sum = 0;
        int inCell = 0;
        for (size_t k = next; k < points.size() && points[k].freq < cellHi; ++k) {
            sum += points[k].level;
            ++inCell;
        }
        double level;
        if (inCell >= 2) {
            level = sum / inCell;
        } else {
            const auto above =
                std::lower_bound(points.begin(), points.end(), f,
                                 [](const MeasuredPoint& p, double v) { return p.freq < v; });
            if (above == points.end()) {
                level = points.back().level;
            } else if (above == points.begin()) {
                level = above->level;
            } else {
                const MeasuredPoint& b = *above;
                const MeasuredPoint& a = *(above - 1);
                const double t = b.freq > a.freq ? (std::log(f) - std::log(a.freq)) /
                                                       (std::log(b.freq) - std::log(a.freq))
                                                 : 0.0;
                level = a.level + t * (b.level - a.level);
            }
        }
        m.level[i] = level;
        m.covered[i] = true;
        ++covered;
    }
    if (covered < 2) return Measurement{};

    double sum = 0;
    int n = 0;
    for (int pass = 0; pass < 2 && n == 0; ++pass) {
        for (int i = 0; i < kCurvePoints; ++i) {
            const double f = Grid_Freq(i);
            if (m.covered[i] && (pass == 1 || (f >= 200.0 && f <= 2000.0))) {
                sum += m.level[i];
                ++n;
            }
        }
    }
    const double mean = sum / n;
    for (int i = 0; i < kCurvePoints; ++i)
        if (m.covered[i]) m.level[i] -= mean;
    m.present = true;
    return m;
}

double Response_Db(uint8_t ch, int i) {
    return Curve_EQ[ch][i] / 4.7 + (Curve_HPF[ch][i] + Curve_LPF[ch][i]) / 4.0;
}

void Predicted_Levels(uint8_t ch, std::array<double, kCurvePoints>& out) {
    const Measurement& m = Channel_Measurement[ch];
    for (int i = 0; i < kCurvePoints; ++i)
        out[i] = m.covered[i] ? m.level[i] + Response_Db(ch, i) : 0.0;
}

} // namespace tarn
