// Painting of the response graph, independent of the window that owns the painter.
#pragma once

#include <QColor>
#include <array>

class QBrush;
class QPainter;
class QPen;

namespace tarn {

// CH1..CH6 colours, shared by the curves and the overlay check boxes.
QColor Channel_Colour(int ch);

// The overlay to draw: the lowest channel whose box is checked (any state but unchecked), or -1.
int Overlay_Channel(const std::array<bool, 6>& checked);

// Draws, clipped to the plot area: the polyline of curCh (2 px, its colour, antialiased), the
// overlay channel's polyline (1 px, its colour) when overlayCh >= 0, and the dotted crossover
// lines in curCh's colour. pen is the window's pen: it ends up holding curCh's colour.
void Paint_Graph(QPainter& painter, int curCh, int overlayCh, QPen& pen, const QBrush& brush);

} // namespace tarn
