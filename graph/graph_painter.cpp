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

int Overlay_Channel(const std::array<bool, 6>& checked) {
    for (int ch = 0; ch < kCurveChannels; ++ch)
        if (checked[static_cast<size_t>(ch)]) return ch;
    return -1;
}

void Paint_Graph(QPainter& painter, int curCh, int overlayCh, QPen& pen, const QBrush& brush) {
    painter.setClipRect(QRect(kGraphLeft, kGraphTop, kGraphWidth, kGraphHeight), Qt::ReplaceClip);

    pen.setColor(Channel_Colour(curCh));
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    painter.setBrush(brush);
    QPen wide = painter.pen();
    wide.setWidth(2);
    painter.setPen(wide);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawPolyline(Curve_Points[curCh], kCurvePoints);

    if (overlayCh >= 0 && overlayCh < kCurveChannels) {
        painter.setPen(QPen(QBrush(Channel_Colour(overlayCh)), 1, Qt::SolidLine));
        painter.drawPolyline(Curve_Points[overlayCh], kCurvePoints);
    }

    wide.setStyle(Qt::DotLine);
    painter.setPen(wide);
    painter.drawLine(HPF_Line);
    painter.drawLine(LPF_Line);
}

} // namespace tarn
