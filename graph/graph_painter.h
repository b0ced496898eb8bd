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

// Draws, clipped to the plot area: the polyline of curCh (2 px, its colour, antialiased), the
// polyline of every channel marked in overlays (1 px, each in its own colour, CH1 first), and the
// dotted crossover lines in curCh's colour. pen is the window's pen: it ends up holding curCh's
// colour.
void Paint_Graph(QPainter& painter, int curCh, const std::array<bool, 6>& overlays, QPen& pen,
                 const QBrush& brush);

} // namespace tarn
