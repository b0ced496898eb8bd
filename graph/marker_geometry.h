// Where the graph's markers go and what their positions mean, as plain arithmetic.
#pragma once

#include <QRect>

namespace tarn {

constexpr int kBandMarkerSize = 11;
constexpr int kBandLabelSize = 18;
constexpr int kBandLabelRise = 15; // a band's number sits this far above its marker

// Gain (PC encoding, 0..240) that a band marker's top edge reads: 0.2123 dB per pixel from the
// 0 dB line, clamped to 0..240.
int Marker_Y_To_Gain(int y);
// The gain a band marker placed with its top edge at y shows: the exact inverse of
// Gain_To_Marker_Y (the middle of the gains placed there), 0 or 240 beyond them.
int Marker_Y_To_Gain_Exact(int y);
// The whole frequency whose marker position lies nearest to x (below about 300 Hz one hertz spans
// several pixels, above it every position has its own frequency).
int Marker_X_To_Freq(int x);
// Top edge a band marker is placed at for a gain: 0.2127 dB per pixel, 5 pixels above the level.
// Takes the signed gain, so typed gains beyond +-12 dB land outside the drag range.
int Gain_To_Marker_Y(int gain);

// Band marker (x, y)-(x + 10, y + 10) and its number label (x, y - 15)-(x + 17, y + 2).
inline QRect Band_Marker_Rect(int x, int y) {
    return QRect(x, y, kBandMarkerSize, kBandMarkerSize);
}
inline QRect Band_Label_Rect(int x, int y) {
    return QRect(x, y - kBandLabelRise, kBandLabelSize, kBandLabelSize);
}
// Crossover marker (p, 148)-(p + 15, 163).
inline QRect Crossover_Marker_Rect(int p) {
    return QRect(p, 148, 16, 16);
}

} // namespace tarn
