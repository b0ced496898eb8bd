#include "graph/overlay.h"

#include "graph/grid.h"
#include "graph/measurement.h"
#include "graph/response.h"

#include <QPainter>
#include <QPainterPath>

namespace tarn {

namespace {

const QColor kGridLine(72, 72, 76);
const QColor kGridZero(96, 96, 102);
const QColor kGridLabel(138, 138, 142);
const QColor kMeasured(150, 150, 150);
const QColor kPredicted(235, 235, 235);
const QColor kHoverLine(110, 110, 116);

QRect Plot_Rect(const GraphScale& s) {
    return QRect(s.left, s.top, s.width, s.height);
}

void Paint_Grid(QPainter& p, const GraphScale& s) {
    p.setFont(Grid_Label_Font(p.font()));
    p.setRenderHint(QPainter::Antialiasing, false);

    const auto freqLines = Grid_Freq_Lines(s);
    const auto levelLines = Grid_Level_Lines(s);
    p.setClipRect(Plot_Rect(s), Qt::ReplaceClip);
    p.setPen(QPen(kGridLine, 1));
    for (const GridLine& l : freqLines)
        p.drawLine(l.pos, s.top, l.pos, s.bottom() + 1);
    for (const GridLine& l : levelLines) {
        p.setPen(QPen(l.value == 0 ? kGridZero : kGridLine, 1));
        p.drawLine(s.left, l.pos, s.right(), l.pos);
    }

    p.setClipping(false);
    p.setPen(kGridLabel);
    for (const GridLine& l : levelLines)
        p.drawText(Level_Label_Rect(l, s), kLevelLabelFlags, QString::fromLatin1(l.label));
    for (const GridLine& l : freqLines)
        p.drawText(Freq_Label_Rect(l, s), kFreqLabelFlags, QString::fromLatin1(l.label));
}

// The covered stretches of a grid curve in dB, as one path through the middles of the pixels the
// channel's own curve would put those levels on.
QPainterPath Curve_Path(const GraphScale& s, const std::array<bool, kCurvePoints>& covered,
                        const std::array<double, kCurvePoints>& db) {
    QPainterPath path;
    bool open = false;
    for (int i = 0; i < kCurvePoints; ++i) {
        if (!covered[i]) {
            open = false;
            continue;
        }
        const QPointF point(s.freqToPx(Grid_Freq(i)) + 0.5, s.dbToPy(db[i]) + 0.5);
        open ? path.lineTo(point) : path.moveTo(point);
        open = true;
    }
    return path;
}

void Paint_Measurement(QPainter& p, const GraphScale& s, uint8_t ch, const Measurement& m) {
    if (!m.present) return;
    std::array<double, kCurvePoints> predicted{};
    Predicted_Levels(ch, m, predicted);
    p.setClipRect(Plot_Rect(s), Qt::ReplaceClip);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kMeasured, 1));
    p.drawPath(Curve_Path(s, m.covered, m.level));
    p.setPen(QPen(kPredicted, 1.5, Qt::DashLine));
    p.drawPath(Curve_Path(s, m.covered, predicted));
}

void Paint_Hover(QPainter& p, const GraphScale& s, uint8_t ch, int hoverX) {
    if (hoverX < 0) return;
    p.setClipRect(Plot_Rect(s), Qt::ReplaceClip);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kHoverLine, 1, Qt::DotLine));
    p.drawLine(hoverX, s.top, hoverX, s.bottom() + 1);
    p.setClipping(false);
    p.setPen(kGridLabel.lighter(140));
    p.setFont(Grid_Label_Font(p.font()));
    p.drawText(Hover_Readout_Rect(s), Qt::AlignRight | Qt::AlignVCenter,
               Hover_Readout(s, ch, hoverX));
}

} // namespace

QRect Hover_Readout_Rect(const GraphScale& s) {
    // The rows between the top band's buttons (up to y 34) and the plot.
    return QRect(s.right() + 1 - 240, s.top - 15, 240, 15);
}

QString Hover_Readout(uint8_t ch, int x) {
    return Hover_Readout(kBaseScale, ch, x);
}

QString Hover_Readout(const GraphScale& s, uint8_t ch, int x) {
    // The pixel's middle, on the drawn curve: the readout and the curve under the pointer agree.
    return Hover_Text(s.pxToFreq(x), Curve_Db_At_X(s, ch, x + 0.5));
}

void Paint_Underlay(QPainter& painter, const GraphScale& scale, uint8_t ch,
                    const Measurement& measurement, int hoverX) {
    painter.save();
    Paint_Grid(painter, scale);
    Paint_Measurement(painter, scale, ch, measurement);
    Paint_Hover(painter, scale, ch, hoverX);
    painter.restore();
}

} // namespace tarn
