#include "graph/graph_painter.h"

#include <QBrush>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace tarn {

QColor Channel_Colour(int ch) {
    static const QColor colours[kCurveChannels] = {QColor(255, 0, 0),   QColor(255, 246, 0),
                                                   QColor(0, 0, 255),   QColor(0, 255, 0),
                                                   QColor(0, 255, 255), QColor(255, 180, 0)};
    return ch >= 0 && ch < kCurveChannels ? colours[ch] : QColor();
}

namespace {

double Linear(int c) {
    const double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
    return 0.2126 * Linear(c.red()) + 0.7152 * Linear(c.green()) + 0.0722 * Linear(c.blue());
}

} // namespace

double Contrast_Ratio(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Channel_Draw_Colour(int ch) {
    const QColor c = Channel_Colour(ch);
    QColor tint = c;
    // In twentieths towards white, the first step that reads.
    for (int t = 1; t <= 20 && Contrast_Ratio(tint, kGraphBackground) < 3.0; ++t) {
        const auto mix = [t](int v) {
            return static_cast<int>(std::lround(v + (255 - v) * t / 20.0));
        };
        tint = QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
    }
    return tint;
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

    pen.setColor(Channel_Draw_Colour(curCh));
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    painter.setBrush(brush);
    QPen wide = painter.pen();
    wide.setWidth(2);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The edited channel 2 px strong: three 1 px lines, on its pixels and one pixel right and
    // down. An antialiased pen wider than 1 px is stroked as an outline and filled, which costs
    // milliseconds on a large plot; 1 px lines are drawn directly.
    QPen thin = wide;
    thin.setWidth(1);
    painter.setPen(thin);
    const Polyline& edited = polylines[static_cast<size_t>(curCh)];
    for (const QPointF offset : {QPointF(0, 0), QPointF(1, 0), QPointF(0, 1)}) {
        painter.save();
        painter.translate(offset);
        painter.drawPolyline(edited);
        painter.restore();
    }

    for (int ch = 0; ch < kCurveChannels; ++ch) {
        if (!overlays[static_cast<size_t>(ch)]) continue;
        painter.setPen(QPen(QBrush(Channel_Draw_Colour(ch)), 1, Qt::SolidLine));
        painter.drawPolyline(polylines[static_cast<size_t>(ch)]);
    }

    wide.setStyle(Qt::DotLine);
    painter.setPen(wide);
    painter.drawLine(hpfX, scale.top, hpfX, scale.bottom() + 1);
    painter.drawLine(lpfX, scale.top, lpfX, scale.bottom() + 1);
    painter.restore();
}

QList<OffScaleMark> Off_Scale_Marks(const Polyline& line, const GraphScale& scale) {
    QList<OffScaleMark> marks;
    int side = 0; // of the stretch being walked: -1 below, +1 above, 0 on the plot
    QPoint far;
    for (const QPoint& p : line) {
        const int at = p.y() < scale.top ? 1 : p.y() > scale.bottom() ? -1 : 0;
        if (at != side && side != 0) marks.append({far.x(), side > 0});
        if (at != 0 && (at != side || (at > 0 ? p.y() < far.y() : p.y() > far.y()))) far = p;
        side = at;
    }
    if (side != 0) marks.append({far.x(), side > 0});
    return marks;
}

void Paint_Off_Scale(QPainter& painter, const GraphScale& scale, const QList<OffScaleMark>& marks,
                     const QColor& colour) {
    if (marks.isEmpty()) return;
    painter.save();
    painter.setClipRect(QRect(scale.left, scale.top, scale.width, scale.height), Qt::ReplaceClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (const OffScaleMark& m : marks) {
        const double x = m.x + 0.5;
        const double edge = m.above ? scale.top : scale.bottom() + 1;
        const double base = m.above ? edge + 7 : edge - 7;
        const QPointF tri[3] = {{x - 5, base}, {x + 5, base}, {x, edge}};
        painter.drawPolygon(tri, 3);
    }
    painter.restore();
}

} // namespace tarn
