// Painting of the response graph's curves, independent of the widget that owns the painter.
#pragma once

#include "graph/response.h"
#include "graph/scale.h"

#include <QColor>
#include <QPoint>
#include <array>

class QBrush;
class QPainter;
class QPen;

namespace tarn {

// A channel's curve as drawn: the pixel of each grid point on the plot's scale.
using Polyline = std::array<QPoint, kCurvePoints>;

// CH1..CH6 colours, shared by the curves and the overlay check boxes.
QColor Channel_Colour(int ch);

// Draws, clipped to the plot: the polyline of curCh (2 px, its colour, antialiased), the polyline
// of every channel marked in overlays (1 px, each in its own colour, CH1 first), and the dotted
// crossover lines of curCh on columns hpfX and lpfX. pen is the graph's pen: it ends up holding
// curCh's colour.
void Paint_Graph(QPainter& painter, const GraphScale& scale, int curCh,
                 const std::array<bool, 6>& overlays,
                 const std::array<Polyline, kCurveChannels>& polylines, int hpfX, int lpfX,
                 QPen& pen, const QBrush& brush);

} // namespace tarn
