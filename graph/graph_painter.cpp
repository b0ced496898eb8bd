#include "graph/graph_painter.h"

#include "graph/response.h"

#include <QBrush>
#include <QPainter>
#include <QPen>

namespace tarn {

QColor Channel_Colour(int ch) {
    static const QColor colours[kCurveChannels] = {QColor(255, 0, 0),   QColor(255, 246, 0),
                                                   QColor(0, 0, 255),   QColor(0, 255, 0),
                                                   QColor(0, 255, 255), QColor(255, 180, 0)};
    return ch >= 0 && ch < kCurveChannels ? colours[ch] : QColor();
}

void Paint_Graph(QPainter& painter, int curCh, const std::array<bool, 6>& overlays, QPen& pen,
                 const QBrush& brush) {
    painter.setClipRect(QRect(kGraphLeft, kGraphTop, kGraphWidth, kGraphHeight), Qt::ReplaceClip);
    // Points and lines are pixels of the scale: draw through their middles, so that each covers
    // its own pixel as a grid line on the same column or row does.
    painter.save();
    painter.translate(0.5, 0.5);

    pen.setColor(Channel_Colour(curCh));
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    painter.setBrush(brush);
    QPen wide = painter.pen();
    wide.setWidth(2);
    painter.setPen(wide);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawPolyline(Curve_Points[curCh], kCurvePoints);

    for (int ch = 0; ch < kCurveChannels; ++ch) {
        if (!overlays[static_cast<size_t>(ch)]) continue;
        painter.setPen(QPen(QBrush(Channel_Colour(ch)), 1, Qt::SolidLine));
        painter.drawPolyline(Curve_Points[ch], kCurvePoints);
    }

    wide.setStyle(Qt::DotLine);
    painter.setPen(wide);
    painter.drawLine(HPF_Line);
    painter.drawLine(LPF_Line);
    painter.restore();
}

} // namespace tarn
