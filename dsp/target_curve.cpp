#include "dsp/target_curve.h"

#include <algorithm>
#include <cmath>

namespace tarn {

double TargetCurve::levelAt(double f) const {
    switch (kind) {
    case Kind::Flat:
        return 0.0;
    case Kind::House: {
        // A second-order shelf in level: the full lift far below the corner, half at it, a
        // quarter-decibel an octave above it for the default.
        const double r = f / house.shelfHz;
        double level = house.shelfDb / (1.0 + r * r * r * r);
        if (f > house.tiltFromHz) level += house.tiltDbPerOct * std::log2(f / house.tiltFromHz);
        return level;
    }
    case Kind::File:
        break;
    }
    if (points.empty()) return 0.0;
    const auto above =
        std::lower_bound(points.begin(), points.end(), f,
                         [](const MeasuredPoint& p, double v) { return p.freq < v; });
    if (above == points.end()) return points.back().level;
    if (above == points.begin()) return above->level;
    const MeasuredPoint& a = *(above - 1);
    const MeasuredPoint& b = *above;
    if (b.freq <= a.freq) return b.level;
    const double t = std::log(f / a.freq) / std::log(b.freq / a.freq);
    return a.level + t * (b.level - a.level);
}

TargetCurve Flat_Target() {
    return TargetCurve{};
}

TargetCurve House_Target(const HouseCurve& house) {
    TargetCurve t;
    t.kind = TargetCurve::Kind::House;
    t.house = house;
    return t;
}

TargetCurve File_Target(std::vector<MeasuredPoint> points) {
    TargetCurve t;
    t.kind = TargetCurve::Kind::File;
    t.points = std::move(points);
    std::stable_sort(
        t.points.begin(), t.points.end(),
        [](const MeasuredPoint& a, const MeasuredPoint& b) { return a.freq < b.freq; });
    return t;
}

TargetCurve File_Target(const QByteArray& text, MeasurementRead* read) {
    MeasurementRead r = Read_Measurement(text);
    TargetCurve t = File_Target(
        r.error == MeasurementRead::Error::None ? r.points : std::vector<MeasuredPoint>());
    if (read) *read = std::move(r);
    return t;
}

} // namespace tarn
