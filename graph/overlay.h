// What the graph draws beneath the curves: the grid with its labels, the edited channel's
// measurement and its predicted result; and the hover readout, which the graph shows in a child
// widget of its own above the markers.
#pragma once

#include "dsp/response.h"
#include "dsp/scale.h"

#include <QColor>
#include <QList>
#include <QRect>
#include <QStringList>
#include <array>
#include <cstdint>

class QFont;
class QPainter;

namespace tarn {

class ResponseCurves;
struct Measurement;

// Where a readout box of the given size goes next to the pointer: below right of it, flipped to
// the other side where it would leave bounds, and kept inside bounds, so that it is never clipped.
QRect Readout_Box(const QRect& bounds, QPoint pointer, QSize box);
// The box a readout of these lines needs in the font.
QSize Readout_Size(const QFont& font, const QStringList& lines);
// Where line i of a readout box is written.
QRect Readout_Line_Rect(const QRect& box, int i, const QFont& font);
// Draws the readout box (dark, framed) with its lines at the pointer.
void Paint_Readout(QPainter& painter, const QRect& bounds, QPoint pointer,
                   const QStringList& lines);
// Draws a readout box with its lines filling box (in the painter's coordinates).
void Paint_Readout_Box(QPainter& painter, const QRect& box, const QStringList& lines);

// One entry of the legend: a line sample in a colour and style, and a name.
struct LegendEntry {
    QColor colour;
    Qt::PenStyle style;
    QString name;
};
// The legend, in a row above the plot from its left end; the units of the axes (grid.h).
void Paint_Legend(QPainter& painter, const GraphScale& scale, const QList<LegendEntry>& entries);

// Level of a curve given on the grid (covered points only) at coordinate x of the scale, straight
// between grid points; false where x lies outside what is covered.
bool Grid_Level_At_X(const GraphScale& scale, const std::array<bool, kCurvePoints>& covered,
                     const std::array<double, kCurvePoints>& db, double x, double& out);

// A measurement placed by where the speaker plays: shifted so that its loudest octave band (the
// highest mean level over the grid points of one octave, all covered) lies on 0 dB, or, when it
// covers no whole octave, its mean. A tweeter or a subwoofer then shows its pass band on the plot
// whatever it measured elsewhere.
Measurement Place_Measurement(const Measurement& m);

// Grid and labels, then (when the channel's measurement is present) the measurement and the
// predicted result of channel ch from its curves, then the hover line on column hoverX (none
// when -1). Leaves the painter as it found it. The caller brings ch's curves up to date first
// (ResponseCurves::current).
void Paint_Underlay(QPainter& painter, const GraphScale& scale, const ResponseCurves& curves,
                    uint8_t ch, const Measurement& measurement, int hoverX);

// The readout text for the pointer at column x: the frequency it reads and channel ch's exact
// level there. The caller brings ch's curves up to date first.
QString Hover_Readout(const ResponseCurves& curves, const GraphScale& scale, uint8_t ch, int x);

} // namespace tarn
