// The curve an automatic equalisation brings a channel to: flat, a house curve (more bass, less
// treble, as most listeners prefer in a car) or one read from a text file. Only its shape
// matters: the fit moves it to the measured level.
#pragma once

#include "dsp/measurement.h"

#include <vector>

namespace tarn {

struct HouseCurve {
    double shelfDb = 6.0;       // lift of the low shelf, reached well below shelfHz
    double shelfHz = 100.0;     // where the shelf stands at half its lift
    double tiltDbPerOct = -1.0; // slope above tiltFromHz
    double tiltFromHz = 1000.0;
};

struct TargetCurve {
    enum class Kind { Flat, House, File };
    Kind kind = Kind::Flat;
    HouseCurve house;
    std::vector<MeasuredPoint> points; // File: as read, any order

    // The level of the curve at f Hz in dB. A file's curve is straight between its points on a
    // logarithmic frequency axis and level beyond its ends.
    double levelAt(double f) const;
};

TargetCurve Flat_Target();
TargetCurve House_Target(const HouseCurve& house = HouseCurve());
// A target from a file's text, read as measurements are; not present (empty points) when the text
// is refused, with the reader's verdict in read.
TargetCurve File_Target(const QByteArray& text, MeasurementRead* read = nullptr);
// A target from points already read.
TargetCurve File_Target(std::vector<MeasuredPoint> points);

} // namespace tarn
