// The one scale of the response graph. Every curve, overlay, measurement, grid line, marker and
// readout goes through a GraphScale, so a point at (f, dB) lands on the same pixel whichever of
// them draws it.
//
// Coordinates are continuous: 20 Hz lies on the middle of the plot's first pixel column and 20 kHz
// on the middle of its last, 0 dB on the middle of the plot's middle row; +-20 dB (the typed
// limits) fill the plot's height, or a wider level range the graph is set to. Pixel p covers the
// coordinates p..p+1; a value is drawn on the pixel that holds its coordinate, and a pixel reads
// the value at its middle. The scale follows the plot rectangle, which grows with the window; at
// the window's smallest size the plot is columns 36..1095 and rows 50..237 (20 Hz col 36, 20 kHz
// col 1095, 0 dB row 144, 4.7 px/dB). No Qt here: the curve maths uses it too.
#pragma once

#include <cmath>

namespace tarn {

constexpr double kScaleLowHz = 20.0;
constexpr double kScaleDecades = 3.0; // 20 Hz .. 20 kHz
constexpr double kScaleDbSpan = 40.0; // +-20 dB over the plot's height

struct GraphScale {
    // The plot: its first column and row, and its size in pixels.
    int left = 36;
    int top = 50;
    int width = 1060;
    int height = 188;
    double dbSpan = kScaleDbSpan; // the levels the plot's height shows, top to bottom

    constexpr int right() const { return left + width - 1; }  // last column
    constexpr int bottom() const { return top + height - 1; } // last row
    // From the middle of the first column to that of the last.
    constexpr double columns() const { return width - 1.0; }
    constexpr double xLow() const { return left + 0.5; }
    // 188 rows give 4.7 px/dB: the +-12 dB of a drag lie 56 rows either side of 0 dB, a row is
    // 0.21 dB, and a drag reads the row's middle and rounds it to the 0.1 dB steps the unit stores.
    constexpr double pxPerDb() const { return height / dbSpan; }
    constexpr int zeroRow() const { return top + height / 2; }
    constexpr double zeroY() const { return zeroRow() + 0.5; }

    double freqToX(double f) const {
        return xLow() + columns() * std::log10(f / kScaleLowHz) / kScaleDecades;
    }
    double xToFreq(double x) const {
        return kScaleLowHz * std::pow(10.0, (x - xLow()) * kScaleDecades / columns());
    }
    double dbToY(double db) const { return zeroY() - db * pxPerDb(); }
    double yToDb(double y) const { return (zeroY() - y) / pxPerDb(); }

    // The pixel a value is drawn on.
    int freqToPx(double f) const {
        // A frequency of 0 (a band before the image is set) lies infinitely far left; keep the
        // conversion defined for any frequency, as for levels below.
        const double x = freqToX(f);
        if (!(x > -1e6)) return -1000000;
        if (!(x < 1e6)) return 1000000;
        return static_cast<int>(std::floor(x));
    }
    int dbToPy(double db) const {
        // Far outside the plot every row is clipped alike; keep the conversion defined for any
        // level.
        const double y = dbToY(db);
        if (!(y > -1e6)) return -1000000;
        if (!(y < 1e6)) return 1000000;
        return static_cast<int>(std::floor(y));
    }
    // The value a pixel reads: the one at its middle.
    double pxToFreq(int px) const { return xToFreq(px + 0.5); }
    double pyToDb(int py) const { return yToDb(py + 0.5); }
};

// The plot at the window's smallest size, which the pure curve computation keeps its polylines on.
constexpr GraphScale kBaseScale{};

// kBaseScale's mapping, for the code that draws at the smallest size.
constexpr double kScaleColumns = kBaseScale.columns();
constexpr double kScaleLeft = kBaseScale.xLow();
constexpr double kScaleZeroDb = kBaseScale.zeroY();
constexpr double kPxPerDb = kBaseScale.pxPerDb();

inline double Freq_To_X(double f) {
    return kBaseScale.freqToX(f);
}
inline double X_To_Freq(double x) {
    return kBaseScale.xToFreq(x);
}
inline double Db_To_Y(double db) {
    return kBaseScale.dbToY(db);
}
inline double Y_To_Db(double y) {
    return kBaseScale.yToDb(y);
}
inline int Freq_To_Px(double f) {
    return kBaseScale.freqToPx(f);
}
inline int Db_To_Py(double db) {
    return kBaseScale.dbToPy(db);
}
inline double Px_To_Freq(int px) {
    return kBaseScale.pxToFreq(px);
}
inline double Py_To_Db(int py) {
    return kBaseScale.pyToDb(py);
}

} // namespace tarn
