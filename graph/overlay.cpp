#include "graph/overlay.h"

#include "graph/grid.h"
#include "graph/measurement.h"
#include "graph/response.h"
#include "graph/scale.h"

#include <QPainter>
#include <QPainterPath>

namespace tarn {

int Graph_Hover_X = -1;

namespace {

const QColor kGridLine(72, 72, 76);
const QColor kGridZero(96, 96, 102);
const QColor kGridLabel(138, 138, 142);
const QColor kMeasured(150, 150, 150);
const QColor kPredicted(235, 235, 235);
const QColor kHoverLine(110, 110, 116);

QRect Plot_Rect() {
    return QRect(kGraphLeft, kGraphTop, kGraphWidth, kGraphHeight);
}

void Paint_Grid(QPainter& p) {
    p.setFont(Grid_Label_Font(p.font()));
    p.setRenderHint(QPainter::Antialiasing, false);

    p.setClipRect(Plot_Rect(), Qt::ReplaceClip);
    for (const GridLine& l : Grid_Freq_Lines()) {
        p.setPen(QPen(kGridLine, 1));
        p.drawLine(l.pos, kGraphTop, l.pos, kLineBottom);
    }
    for (const GridLine& l : Grid_Level_Lines()) {
        p.setPen(QPen(l.value == 0 ? kGridZero : kGridLine, 1));
        p.drawLine(kGraphLeft, l.pos, kGraphLeft + kGraphWidth - 1, l.pos);
    }

    p.setClipping(false);
    p.setPen(kGridLabel);
    for (const GridLine& l : Grid_Level_Lines())
        p.drawText(Level_Label_Rect(l), kLevelLabelFlags, QString::fromLatin1(l.label));
    for (const GridLine& l : Grid_Freq_Lines())
        p.drawText(Freq_Label_Rect(l), kFreqLabelFlags, QString::fromLatin1(l.label));
}

// The covered stretches of a grid curve in dB, as one path through the middles of the pixels the
// channel's own curve would put those levels on.
QPainterPath Curve_Path(uint8_t ch, const std::array<bool, kCurvePoints>& covered,
                        const std::array<double, kCurvePoints>& db) {
    QPainterPath path;
    bool open = false;
    for (int i = 0; i < kCurvePoints; ++i) {
        if (!covered[i]) {
            open = false;
            continue;
        }
        const QPointF point(Curve_Points[ch][i].x() + 0.5, Db_To_Py(db[i]) + 0.5);
        open ? path.lineTo(point) : path.moveTo(point);
        open = true;
    }
    return path;
}

void Paint_Measurement(QPainter& p, uint8_t ch) {
    const Measurement& m = Channel_Measurement[ch];
    if (!m.present) return;
    std::array<double, kCurvePoints> predicted{};
    Predicted_Levels(ch, predicted);
    p.setClipRect(Plot_Rect(), Qt::ReplaceClip);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kMeasured, 1));
    p.drawPath(Curve_Path(ch, m.covered, m.level));
    p.setPen(QPen(kPredicted, 1.5, Qt::DashLine));
    p.drawPath(Curve_Path(ch, m.covered, predicted));
}

void Paint_Hover(QPainter& p, uint8_t ch) {
    if (Graph_Hover_X < 0) return;
    p.setClipRect(Plot_Rect(), Qt::ReplaceClip);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kHoverLine, 1, Qt::DotLine));
    p.drawLine(Graph_Hover_X, kGraphTop, Graph_Hover_X, kLineBottom);
    p.setClipping(false);
    p.setPen(kGridLabel.lighter(140));
    p.setFont(Grid_Label_Font(p.font()));
    p.drawText(Hover_Readout_Rect(), Qt::AlignRight | Qt::AlignVCenter,
               Hover_Readout(ch, Graph_Hover_X));
}

} // namespace

QRect Hover_Readout_Rect() {
    // The rows between the top band's buttons (up to y 34) and the plot.
    return QRect(kGraphLeft + kGraphWidth - 240, kGraphTop - 15, 240, 15);
}

QString Hover_Readout(uint8_t ch, int x) {
    // The pixel's middle, on the drawn curve: the readout and the curve under the pointer agree.
    return Hover_Text(Px_To_Freq(x), Curve_Db_At_X(ch, x + 0.5));
}

void Paint_Underlay(QPainter& painter, uint8_t ch) {
    painter.save();
    Paint_Grid(painter);
    Paint_Measurement(painter, ch);
    Paint_Hover(painter, ch);
    painter.restore();
}

} // namespace tarn
