#include "graph/graph_painter.h"

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

void Paint_Graph(QPainter& painter, const GraphScale& scale, int curCh,
                 const std::array<bool, 6>& overlays,
                 const std::array<Polyline, kCurveChannels>& polylines, int hpfX, int lpfX,
                 QPen& pen, const QBrush& brush) {
    painter.setClipRect(QRect(scale.left, scale.top, scale.width, scale.height), Qt::ReplaceClip);
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
    painter.drawPolyline(polylines[static_cast<size_t>(curCh)].data(), kCurvePoints);

    for (int ch = 0; ch < kCurveChannels; ++ch) {
        if (!overlays[static_cast<size_t>(ch)]) continue;
        painter.setPen(QPen(QBrush(Channel_Colour(ch)), 1, Qt::SolidLine));
        painter.drawPolyline(polylines[static_cast<size_t>(ch)].data(), kCurvePoints);
    }

    wide.setStyle(Qt::DotLine);
    painter.setPen(wide);
    painter.drawLine(hpfX, scale.top, hpfX, scale.bottom() + 1);
    painter.drawLine(lpfX, scale.top, lpfX, scale.bottom() + 1);
    painter.restore();
}

} // namespace tarn
