#include "dsp/measurement.h"

#include "dsp/decimal.h"

#include <QList>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarn {

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

// The first two fields of a line as numbers, the columns separated at spaces, tabs and semicolons
// and, unless a comma is a decimal comma, at commas.
bool Fields(const QByteArray& line, bool commaDecimal, double& a, double& b) {
    const int n = static_cast<int>(line.size());
    const auto separates = [commaDecimal](char c) {
        return c == ' ' || c == '\t' || c == ';' || (!commaDecimal && c == ',');
    };
    double v[2];
    int i = 0;
    for (double& value : v) {
        while (i < n && separates(line[i]))
            ++i;
        const int start = i;
        while (i < n && !separates(line[i]))
            ++i;
        if (!Read_Decimal(line.constData() + start, i - start, commaDecimal, value)) return false;
    }
    a = v[0];
    b = v[1];
    return true;
}

enum class Columns { Read, Refused, Ambiguous, Grouped };

bool Is_Point(double f, double level) {
    // A level beyond +-1000 dB is no measurement (and its sums would overflow).
    return f > 0.0 && std::fabs(level) <= 1000.0;
}

// The first two fields read as numbers with their thousands grouped by `group` ("1,071.1", or
// "1.071,1" with decimal commas), the columns separated at spaces, tabs and semicolons only. True
// when both read, at least one of them is grouped, and they make a point.
bool Grouped_Point(const QByteArray& line, char group, double& a, double& b) {
    const int n = static_cast<int>(line.size());
    const auto separates = [](char c) { return c == ' ' || c == '\t' || c == ';'; };
    double v[2];
    bool grouped = false;
    int i = 0;
    for (double& value : v) {
        while (i < n && separates(line[i]))
            ++i;
        const int start = i;
        while (i < n && !separates(line[i]))
            ++i;
        const char* field = line.constData() + start;
        const int size = i - start;
        if (readGroupedDecimal(field, size, group, value)) {
            grouped = true;
        } else if (std::memchr(field, group, static_cast<size_t>(size)) != nullptr ||
                   !Read_Decimal(field, size, group == '.', value)) {
            return false;
        }
    }
    a = v[0];
    b = v[1];
    return grouped && Is_Point(a, b);
}

// A line read as a point whose numbers could also be thousands grouped ("1,071.1 81.92": 1 Hz at
// 71.1 dB with 81.92 after it, or 1071.1 Hz at 81.92 dB) is not guessed at. Commas group only
// where they are not decimal commas (no tab or semicolon columns: "125,000<TAB>1,000" is a point
// with three decimals); points group only where the line has a decimal comma as well ("125.000
// 1.000" is a plain point).
bool Could_Be_Grouped(const QByteArray& line, double a, double b) {
    double ga = 0, gb = 0;
    const bool commaDecimal = line.contains('\t') || line.contains(';');
    if (!commaDecimal && Grouped_Point(line, ',', ga, gb) && (ga != a || gb != b)) return true;
    return line.contains(',') && Grouped_Point(line, '.', ga, gb) && (ga != a || gb != b);
}

// Where a tab or a semicolon separates the columns, a comma is a decimal comma, as locales with
// decimal commas export ("20,00<TAB>75,00"). Otherwise the comma may separate the columns
// ("20,75" or "20, 75"), and a line that reads as two different points either way ("20,5 80,1")
// is not guessed at.
Columns Columns_Of(const QByteArray& line, double& a, double& b) {
    if (line.contains('\t') || line.contains(';'))
        return Fields(line, true, a, b) ? Columns::Read : Columns::Refused;
    double da = 0, db = 0;
    const bool byComma = Fields(line, false, a, b);
    const bool byDecimal = line.contains(',') && Fields(line, true, da, db);
    if (byComma && byDecimal && (a != da || b != db)) return Columns::Ambiguous;
    if (byComma) return Columns::Read;
    if (!byDecimal) return Columns::Refused;
    a = da;
    b = db;
    return Columns::Read;
}

Columns Two_Numbers(const QByteArray& line, double& a, double& b) {
    const Columns read = Columns_Of(line, a, b);
    if (read != Columns::Read) return read;
    if (!Is_Point(a, b)) return Columns::Refused;
    return Could_Be_Grouped(line, a, b) ? Columns::Grouped : Columns::Read;
}

} // namespace

MeasurementRead Read_Measurement(const QByteArray& text) {
    MeasurementRead out;
    int lineNo = 0;
    for (const QByteArray& raw : utf8Text(text).split('\n')) {
        ++lineNo;
        const QByteArray line = raw.trimmed();
        if (!Starts_Number(line)) continue; // blank lines, headers, comments, text
        double f = 0, level = 0;
        const Columns read = Two_Numbers(line, f, level);
        if (read != Columns::Read) {
            using Error = MeasurementRead::Error;
            out.error = read == Columns::Ambiguous ? Error::AmbiguousComma
                        : read == Columns::Grouped ? Error::GroupedThousands
                                                   : Error::BadLine;
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
        // measurements are averaged over the cell; sparse ones are interpolated at the point, and
        // so are the two ends, whose cells would reach outside the drawn range (a roll-off below
        // 20 Hz is no part of the level at 20 Hz).
        double sum = 0;
        int inCell = 0;
        if (i > 0 && i + 1 < kCurvePoints) {
            const double cellLo = std::sqrt(Grid_Freq(i - 1) * f);
            const double cellHi = std::sqrt(f * Grid_Freq(i + 1));
            while (next < points.size() && points[next].freq < cellLo)
                ++next;
            for (size_t k = next; k < points.size() && points[k].freq < cellHi; ++k) {
                sum += points[k].level;
                ++inCell;
            }
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

void Predicted_Levels(const ResponseCurves& curves, uint8_t ch, const Measurement& m,
                      std::array<double, kCurvePoints>& out) {
    for (int i = 0; i < kCurvePoints; ++i)
        out[i] = m.covered[i] ? m.level[i] + curves.db(ch, i) : 0.0;
}

} // namespace tarn
