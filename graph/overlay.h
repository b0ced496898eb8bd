// What the graph draws beneath the curves: the grid with its labels, the edited channel's
// measurement and its predicted result, and the hover readout. Nothing here covers a marker: the
// markers are child widgets and are drawn after the window has painted.
#pragma once

#include <QRect>
#include <cstdint>

class QPainter;

namespace tarn {

// x of the pointer over the plot area, -1 when it is elsewhere.
extern int Graph_Hover_X;

// Where the hover readout is written (above the plot's top right corner).
QRect Hover_Readout_Rect();

// Grid and labels, then (when channel ch has a measurement) the measurement and the predicted
// result, then the hover readout for ch. Leaves the painter as it found it. The caller brings ch's
// curves up to date first (Curves_Current).
void Paint_Underlay(QPainter& painter, uint8_t ch);

// The readout text for the pointer at window x: frequency and channel ch's level there.
QString Hover_Readout(uint8_t ch, int x);

} // namespace tarn
