// Where the graph's markers go and what their positions mean, on the graph's one scale
// (dsp/scale.h): a band marker's middle pixel is the pixel of (band frequency, band gain), and
// reading a marker back is the exact inverse of placing it.
#pragma once

#include "dsp/scale.h"

#include <QRect>

namespace tarn {

constexpr int kBandMarkerSize = 11;
constexpr int kBandLabelSize = 18;
constexpr int kBandLabelRise = 15; // a band's number sits this far above its marker

// Top edge a band marker is placed at for a gain (PC encoding, 120 = 0 dB): its middle row is the
// row of that level. Takes the signed gain, so typed gains beyond +-12 dB land outside the drag
// range.
int Gain_To_Marker_Y(int gain);
// The gain a band marker with its top edge at y reads: the level of its middle row rounded to
// 0.1 dB, clamped to 0..240. The inverse of Gain_To_Marker_Y: a marker placed for a gain reads it
// back, or, where a row holds more than one tenth of a dB, the one nearest the row's middle.
int Marker_Y_To_Gain_Exact(int y);
// The whole frequency a band marker with its left edge at x reads (Pos_To_Freq).
int Marker_X_To_Freq(int x);
// Top edge of a crossover marker whose middle sits on the curve at level db, kept on the plot.
int Crossover_Marker_Top(double db);
// The same on any plot's scale.
int Gain_To_Marker_Y(const GraphScale& scale, int gain);
int Marker_Y_To_Gain_Exact(const GraphScale& scale, int y);
int Marker_X_To_Freq(const GraphScale& scale, int x);
int Crossover_Marker_Top(const GraphScale& scale, double db);

// Band marker (x, y)-(x + 10, y + 10) and its number label (x, y - 15)-(x + 17, y + 2).
inline QRect Band_Marker_Rect(int x, int y) {
    return QRect(x, y, kBandMarkerSize, kBandMarkerSize);
}
inline QRect Band_Label_Rect(int x, int y) {
    return QRect(x, y - kBandLabelRise, kBandLabelSize, kBandLabelSize);
}
// Crossover marker (p, top)-(p + 15, top + 15).
inline QRect Crossover_Marker_Rect(int p, int top) {
    return QRect(p, top, 16, 16);
}

} // namespace tarn
