// What the graph draws beneath the curves: the grid with its labels, the edited channel's
// measurement and its predicted result, and the hover readout. Nothing here covers a marker: the
// markers are child widgets and are drawn after the graph has painted.
#pragma once

#include "graph/scale.h"

#include <QRect>
#include <cstdint>

class QPainter;

namespace tarn {

struct Measurement;

// Where the hover readout is written (above the plot's top right corner).
QRect Hover_Readout_Rect(const GraphScale& scale = kBaseScale);

// Grid and labels, then (when the channel's measurement is present) the measurement and the
// predicted result of channel ch, then the hover readout for ch at column hoverX (none when -1).
// Leaves the painter as it found it. The caller brings ch's curves up to date first
// (Curves_Current).
void Paint_Underlay(QPainter& painter, const GraphScale& scale, uint8_t ch,
                    const Measurement& measurement, int hoverX);

// The readout text for the pointer at column x: frequency and channel ch's level there.
QString Hover_Readout(uint8_t ch, int x);
QString Hover_Readout(const GraphScale& scale, uint8_t ch, int x);

} // namespace tarn
