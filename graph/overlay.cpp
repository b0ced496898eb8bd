#include "graph/overlay.h"

#include "dsp/measurement.h"
#include "dsp/response.h"
#include "graph/grid.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace tarn {

namespace {

const QColor kGridLine(72, 72, 76);
const QColor kGridZero(96, 96, 102);
const QColor kGridLabel(138, 138, 142);
const QColor kMeasured(150, 150, 150);
const QColor kPredicted(235, 235, 235);
const QColor kHoverLine(110, 110, 116);

size_t at(int i) {
    return static_cast<size_t>(i);
}

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

void Paint_Measurement(QPainter& p, const GraphScale& s, const ResponseCurves& curves, uint8_t ch,
                       const Measurement& m) {
    if (!m.present) return;
    std::array<double, kCurvePoints> predicted{};
    Predicted_Levels(curves, ch, m, predicted);
    p.setClipRect(Plot_Rect(s), Qt::ReplaceClip);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kMeasured, 1));
    p.drawPath(Curve_Path(s, m.covered, m.level));
    // 1 px: a wider antialiased dashed pen is stroked as outlines, milliseconds on a large plot.
    p.setPen(QPen(kPredicted, 1, Qt::DashLine));
    p.drawPath(Curve_Path(s, m.covered, predicted));
}

void Paint_Hover(QPainter& p, const GraphScale& s, int hoverX) {
    if (hoverX < 0) return;
    p.setClipRect(Plot_Rect(s), Qt::ReplaceClip);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kHoverLine, 1, Qt::DotLine));
    p.drawLine(hoverX, s.top, hoverX, s.bottom() + 1);
}

constexpr int kReadoutPad = 4;

// A line's height as the text engine lays it out (a font's leading may be negative, and a
// fallback font for the Chinese characters may be taller).
int Line_Height(const QFontMetrics& m) {
    const int laid = m.boundingRect(QRect(0, 0, 1000, 100), Qt::AlignLeft | Qt::AlignTop,
                                    QStringLiteral("Hg 测量 dB"))
                         .height();
    return std::max({m.height(), m.lineSpacing(), laid});
}
constexpr int kReadoutGap = 14; // from the pointer to the box

} // namespace

QRect Readout_Box(const QRect& bounds, QPoint pointer, QSize box) {
    int x = pointer.x() + kReadoutGap;
    int y = pointer.y() + kReadoutGap;
    if (x + box.width() > bounds.right() + 1) x = pointer.x() - kReadoutGap - box.width();
    if (y + box.height() > bounds.bottom() + 1) y = pointer.y() - kReadoutGap - box.height();
    x = std::clamp(x, bounds.left(), std::max(bounds.left(), bounds.right() + 1 - box.width()));
    y = std::clamp(y, bounds.top(), std::max(bounds.top(), bounds.bottom() + 1 - box.height()));
    return QRect(QPoint(x, y), box);
}

QSize Readout_Size(const QFont& font, const QStringList& lines) {
    const QFontMetrics m(font);
    int w = 0;
    for (const QString& l : lines)
        w = std::max(w, m.horizontalAdvance(l));
    return QSize(w + 2 * kReadoutPad + 2,
                 static_cast<int>(lines.size()) * Line_Height(m) + 2 * kReadoutPad);
}

QRect Readout_Line_Rect(const QRect& box, int i, const QFont& font) {
    const int lineH = Line_Height(QFontMetrics(font));
    return QRect(box.left() + kReadoutPad, box.top() + kReadoutPad + i * lineH,
                 box.width() - 2 * kReadoutPad, lineH);
}

void Paint_Readout(QPainter& p, const QRect& bounds, QPoint pointer, const QStringList& lines) {
    if (lines.isEmpty()) return;
    Paint_Readout_Box(
        p, Readout_Box(bounds, pointer, Readout_Size(Grid_Label_Font(p.font()), lines)), lines);
}

void Paint_Readout_Box(QPainter& p, const QRect& box, const QStringList& lines) {
    if (lines.isEmpty()) return;
    p.save();
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(Grid_Label_Font(p.font()));
    p.setPen(QPen(kHoverLine, 1));
    p.setBrush(QColor(30, 30, 32)); // opaque: it stands over markers and curves
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.setPen(kGridLabel.lighter(150));
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(Readout_Line_Rect(box, i, p.font()), Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    p.restore();
}

void Paint_Legend(QPainter& p, const GraphScale& s, const QList<LegendEntry>& entries) {
    p.save();
    p.setClipping(false);
    p.setFont(Grid_Label_Font(p.font()));
    const QFontMetrics m(p.font());
    const int rowTop = s.top - 15;
    p.setPen(kGridLabel);
    // The units: level above its labels, frequency left of its labels.
    p.drawText(Level_Unit_Rect(s), kLevelLabelFlags, QStringLiteral("dB"));
    p.drawText(Freq_Unit_Rect(s), kFreqUnitFlags, QStringLiteral("Hz"));
    int x = s.left + 4;
    const int midY = rowTop + 7;
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const LegendEntry& e : entries) {
        p.setPen(QPen(e.colour, 2, e.style));
        p.drawLine(x, midY, x + 16, midY);
        p.setPen(e.colour);
        const int w = m.horizontalAdvance(e.name);
        p.drawText(QRect(x + 20, rowTop, w + 2, 14), Qt::AlignLeft | Qt::AlignVCenter, e.name);
        x += 20 + w + 12;
    }
    p.restore();
}

bool Grid_Level_At_X(const GraphScale& s, const std::array<bool, kCurvePoints>& covered,
                     const std::array<double, kCurvePoints>& db, double x, double& out) {
    const double t = (x - s.xLow()) * (kCurvePoints - 1) / s.columns();
    if (t < 0.0 || t > kCurvePoints - 1) return false;
    const int i = std::min(static_cast<int>(t), kCurvePoints - 2);
    const double f = t - i;
    if (!covered[static_cast<size_t>(i)] || !covered[static_cast<size_t>(i + 1)]) return false;
    out = db[static_cast<size_t>(i)] * (1.0 - f) + db[static_cast<size_t>(i + 1)] * f;
    return true;
}

QString Hover_Readout(const ResponseCurves& curves, const GraphScale& s, uint8_t ch, int x) {
    // The level at the frequency the pixel's middle reads, computed there: the drawn curve is
    // within 0.1 dB of it, and a narrow peak reads its full height.
    const double f = s.pxToFreq(x);
    return Hover_Text(f, curves.levelAt(ch, f));
}

Measurement Place_Measurement(const Measurement& m) {
    if (!m.present) return m;
    double best = 0.0, all = 0.0;
    bool found = false;
    int covered = 0;
    for (int i = 0; i < kCurvePoints; ++i) {
        if (!m.covered[at(i)]) continue;
        all += m.level[at(i)];
        ++covered;
        // The octave from grid point i up: the points up to twice its frequency.
        double sum = 0.0;
        int n = 0;
        int j = i;
        for (; j < kCurvePoints && Grid_Freq(j) <= 2.0 * Grid_Freq(i) * (1.0 + 1e-9); ++j) {
            if (!m.covered[at(j)]) break;
            sum += m.level[at(j)];
            ++n;
        }
        // Whole when the walk stopped past the octave, not at a gap or at the grid's end.
        const bool whole = j < kCurvePoints && Grid_Freq(j) > 2.0 * Grid_Freq(i) * (1.0 + 1e-9);
        if (!whole) continue;
        const double mean = sum / n;
        if (!found || mean > best) best = mean;
        found = true;
    }
    if (covered == 0) return m;
    const double shift = found ? best : all / covered;
    Measurement out = m;
    for (int i = 0; i < kCurvePoints; ++i)
        if (out.covered[at(i)]) out.level[at(i)] -= shift;
    return out;
}

void Paint_Underlay(QPainter& painter, const GraphScale& scale, const ResponseCurves& curves,
                    uint8_t ch, const Measurement& measurement, int hoverX) {
    painter.save();
    Paint_Grid(painter, scale);
    Paint_Measurement(painter, scale, curves, ch, measurement);
    Paint_Hover(painter, scale, hoverX);
    painter.restore();
}

} // namespace tarn
