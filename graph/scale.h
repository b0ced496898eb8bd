// The one scale of the response graph. Every curve, overlay, measurement, grid line, marker and
// readout goes through these functions, so a point at (f, dB) lands on the same pixel whichever of
// them draws it.
//
// Coordinates are continuous: 20 Hz lies on the middle of pixel column 36 and 20 kHz on the middle
// of column 1095 (the plot's first and last columns), 0 dB on the middle of row 144, 4.7 pixels
// per dB. Pixel p covers the coordinates p..p+1; a value is drawn on the pixel that holds its
// coordinate, and a pixel reads the value at its middle. No Qt here: the curve maths uses it too.
#pragma once

#include <cmath>

namespace tarn {

constexpr double kScaleLowHz = 20.0;
constexpr double kScaleColumns = 1059.0; // from the middle of column 36 to that of column 1095
constexpr double kScaleLeft = 36.5;
constexpr double kScaleZeroDb = 144.5;
// 4.7 px/dB fits +-20 dB (the typed limits) in the plot's 188 rows; the +-12 dB of a drag lie 56
// rows either side of 0 dB. A row is 0.21 dB: a drag reads the row's middle and rounds it to the
// 0.1 dB steps the unit stores.
constexpr double kPxPerDb = 4.7;
constexpr double kScaleDecades = 3.0; // 20 Hz .. 20 kHz

inline double Freq_To_X(double f) {
    return kScaleLeft + kScaleColumns * std::log10(f / kScaleLowHz) / kScaleDecades;
}
inline double X_To_Freq(double x) {
    return kScaleLowHz * std::pow(10.0, (x - kScaleLeft) * kScaleDecades / kScaleColumns);
}
inline double Db_To_Y(double db) {
    return kScaleZeroDb - db * kPxPerDb;
}
inline double Y_To_Db(double y) {
    return (kScaleZeroDb - y) / kPxPerDb;
}

// The pixel a value is drawn on.
inline int Freq_To_Px(double f) {
    return static_cast<int>(std::floor(Freq_To_X(f)));
}
inline int Db_To_Py(double db) {
    // Far outside the plot every row is clipped alike; keep the conversion defined for any level.
    const double y = Db_To_Y(db);
    if (!(y > -1e6)) return -1000000;
    if (!(y < 1e6)) return 1000000;
    return static_cast<int>(std::floor(y));
}
// The value a pixel reads: the one at its middle.
inline double Px_To_Freq(int px) {
    return X_To_Freq(px + 0.5);
}
inline double Py_To_Db(int py) {
    return Y_To_Db(py + 0.5);
}

} // namespace tarn
