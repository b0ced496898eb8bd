// Painting of the response graph's curves, independent of the widget that owns the painter.
#pragma once

#include "dsp/response.h"
#include "dsp/scale.h"

#include <QColor>
#include <QList>
#include <QPolygon>
#include <array>

class QBrush;
class QPainter;
class QPen;

namespace tarn {

// A channel's curve as drawn: the pixels of its drawn points (ResponseCurves::drawn) on the plot's
// scale, from 20 Hz to 20 kHz, each pixel once in a row.
using Polyline = QPolygon;

// CH1..CH6 colours as the channels are known.
QColor Channel_Colour(int ch);
// The colour a channel's curve and texts are drawn in on the graph's background (57, 57, 57):
// its own colour, or where that has less than 3:1 contrast there (CH1's red, CH3's blue) the
// lightest-needed mix of it with white, which keeps its hue.
QColor Channel_Draw_Colour(int ch);
// Contrast ratio of two colours as the web's accessibility guidelines define it (1 to 21).
double Contrast_Ratio(const QColor& a, const QColor& b);
const QColor kGraphBackground(57, 57, 57);

// Draws, clipped to the plot: the polyline of curCh (2 px, its colour, antialiased), the polyline
// of every channel marked in overlays (1 px, each in its own colour, CH1 first), and the dotted
// crossover lines of curCh on columns hpfX and lpfX. pen is the graph's pen: it ends up holding
// curCh's colour.
void Paint_Graph(QPainter& painter, const GraphScale& scale, int curCh,
                 const std::array<bool, 6>& overlays,
                 const std::array<Polyline, kCurveChannels>& polylines, int hpfX, int lpfX,
                 QPen& pen, const QBrush& brush);

// Where a curve leaves the plot: one mark per stretch of its points above the plot's top row
// (above) or below its bottom row, on the column of the stretch's farthest point.
struct OffScaleMark {
    int x;
    bool above;
    bool operator==(const OffScaleMark& o) const { return x == o.x && above == o.above; }
};
QList<OffScaleMark> Off_Scale_Marks(const Polyline& line, const GraphScale& scale);
// Draws each mark as a small triangle on the plot's edge, pointing out of the plot, in colour.
void Paint_Off_Scale(QPainter& painter, const GraphScale& scale, const QList<OffScaleMark>& marks,
                     const QColor& colour);

} // namespace tarn
