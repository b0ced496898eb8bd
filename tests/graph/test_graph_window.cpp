// The graph on the real window: what is painted, and the markers driven with the mouse and keys
// while the simulated unit records what is sent.
#include "app/form.h"
#include "app/tarn80x.h"
#include "dsp/response_curves.h"
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "graph/grid.h"
#include "graph/overlay.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/frames.h"
#include "tests/support/window_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <memory>
#include <vector>

using namespace tarn;

namespace {

using Bytes = std::vector<uint8_t>;

namespace {
Bytes bytesOf(const QByteArray& a) {
    return Bytes(a.begin(), a.end());
}
Bytes bandFrame(int ch, int band, int freq, int gain, int q) {
    return bytesOf(tarn::test::bandFrame(ch, band, freq, gain, q));
}
Bytes filterFrame(bool lowPass, int ch, int type, int freq, int slope, int off) {
    return bytesOf(tarn::test::filterFrame(lowPass, ch, type, freq, slope, off));
}
} // namespace

// As drawn on the dark background: CH1's red and CH3's blue lightened to 3:1 contrast.
const QColor kChannel[6] = {QColor(255, 38, 38), QColor(255, 246, 0), QColor(115, 115, 255),
                            QColor(0, 255, 0),   QColor(0, 255, 255), QColor(255, 180, 0)};

// Whether px is colour c laid over background bg with at least the given coverage (antialiased
// edges and 1-px lines blend with the background).
bool tinted(QRgb px, const QColor& c, QRgb bg, double minCover = 0.35) {
    const double d[3] = {double(qRed(px) - qRed(bg)), double(qGreen(px) - qGreen(bg)),
                         double(qBlue(px) - qBlue(bg))};
    const double v[3] = {double(c.red() - qRed(bg)), double(c.green() - qGreen(bg)),
                         double(c.blue() - qBlue(bg))};
    const double vv = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const double t = (d[0] * v[0] + d[1] * v[1] + d[2] * v[2]) / vv;
    double off = 0;
    for (int k = 0; k < 3; ++k)
        off += (d[k] - t * v[k]) * (d[k] - t * v[k]);
    return t >= minCover && std::sqrt(off) < 25.0;
}

// Whether colour c is drawn on the vertex (x, y) of a polyline: one of the pixels touching it.
bool onVertex(const QImage& img, QPoint p, const QColor& c, QRgb bg) {
    for (int dx = -1; dx <= 0; ++dx)
        for (int dy = -1; dy <= 0; ++dy)
            if (tinted(img.pixel(p.x() + dx, p.y() + dy), c, bg, 0.6)) return true;
    return false;
}

std::vector<Bytes> takeFrames() {
    std::vector<Bytes> out;
    for (const sim::Frame& f : sim::unit().frames())
        out.push_back(f.payload);
    sim::unit().clearFrames();
    return out;
}

QString hex(const Bytes& b) {
    QString s;
    for (uint8_t v : b)
        s += QString::asprintf("%02X ", v);
    return s.trimmed();
}

// The frames one band edit wrote: the edit's own command comes last. Setting the gain slider runs
// its handler first, which may already send the band with the new gain and the frequency the
// mirror held at that moment.
// Every frame of a drag step carries the band as it now stands: never the new gain at the old
// frequency.
void checkBandFrames(const std::vector<Bytes>& frames, const Bytes& own) {
    QVERIFY(!frames.empty());
    for (const Bytes& f : frames)
        QCOMPARE(hex(f), hex(own));
}

} // namespace

class TestGraphWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<Tarn80X> w;
    Form* ui = nullptr;

    // The window's background, then the graph without its children (the markers lie on the
    // curves).
    QImage renderGraph() {
        QImage img(w->size(), QImage::Format_RGB32);
        img.fill(Qt::black);
        w->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        ui->graph->render(&img, ui->graph->pos(), QRegion(), {});
        return img;
    }
    static QRgb background(const QImage& img) { return img.pixel(20, 150); } // left of the clip
    const ResponseCurves& curves() const { return w->graph().curves(); }

    // The link tick, driven by hand until the read-back and the scene names are done.
    void goOnline() {
        for (int i = 0; i < 5000 && Link_Machine().phase() != LinkPhase::Idle; ++i)
            tarn::test::runTicks(1);
        QVERIFY(Link_Machine().phase() == LinkPhase::Idle);
        takeFrames();
    }

    // A mouse drag as the window system delivers it: each position is relative to wherever the
    // marker is when the event arrives, and the button stays grabbed by the marker.
    void press(DragPushButton* m, QPoint grab) {
        QTest::mousePress(m, Qt::LeftButton, Qt::NoModifier, grab);
    }
    void moveTo(DragPushButton* m, QPoint cursor) {
        const QPoint local = cursor - m->pos();
        QMouseEvent ev(QEvent::MouseMove, local, m->mapToGlobal(local), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m, &ev);
    }
    void release(DragPushButton* m, QPoint cursor) {
        QTest::mouseRelease(m, Qt::LeftButton, Qt::NoModifier, cursor - m->pos());
    }

  private slots:
    void init() {
        tarn::test::resetWorld();
        w = std::make_unique<Tarn80X>();
        w->stopLinkTimer(); // ticks are driven by the tests
        ui = w->form();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        sim::unit().clearFrames();
    }
    void cleanup() { w.reset(); }

    void editedChannelDrawnOnItsCurve();
    void everyCheckedOverlay_data();
    void everyCheckedOverlay();
    void dottedLinesOnTheCorner();
    void gridMarkerAndCurveMeet_data();
    void gridMarkerAndCurveMeet();
    void readoutIsTheCurveUnderThePointer_data();
    void readoutIsTheCurveUnderThePointer();
    void bandDragReadsWhereTheMarkerWent();
    void bandDrag_data();
    void bandDrag();
    void crossoverDragFollowsTheCurve_data();
    void crossoverDragFollowsTheCurve();
    void dragCopiesToLinkedChannels();
    void ledDoubleClickFlatAndRestore();
    void ledDoubleClickOnNeverFlattenedBand();
    void arrowKeysMoveMarkerOnly_data();
    void arrowKeysMoveMarkerOnly();
};

void TestGraphWindow::editedChannelDrawnOnItsCurve() {
    Pc.Cur_CH = 2;
    Param_Image.set_EQ_Gain(2, 17, 240);
    Param_Image.set_EQ_Gain(2, 5, 30);
    w->graph().eqChanged();
    const QImage img = renderGraph();
    const QRgb bg = background(img);
    int checkedPoints = 0;
    for (int i = 0; i < kCurvePoints - 1; ++i) {
        const QPoint p = curves().points(2)[i];
        if (p.y() < 52 || p.y() > 236) continue;
        QVERIFY2(onVertex(img, p, kChannel[2], bg), qPrintable(QString("point %1").arg(i)));
        ++checkedPoints;
    }
    QVERIFY(checkedPoints > 100);
    // Nothing of the curve outside the clip rectangle, and no other channel's colour anywhere.
    QVERIFY(!tinted(img.pixel(20, curves().points(2)[0].y()), kChannel[2], bg));
    for (int y = 50; y < 238; ++y)
        for (int x = 36; x < 1096; x += 3)
            for (int ch : {0, 1, 4})
                QVERIFY2(!tinted(img.pixel(x, y), kChannel[ch], bg, 0.6),
                         qPrintable(QString("CH%1 at %2,%3").arg(ch + 1).arg(x).arg(y)));
}

void TestGraphWindow::everyCheckedOverlay_data() {
    QTest::addColumn<QVector<int>>("states"); // check state of CH1..CH6
    QTest::addColumn<QVector<int>>("drawn");  // the channels whose curve must show
    const int C = Qt::Checked, P = Qt::PartiallyChecked;
    QTest::newRow("none") << QVector<int>{0, 0, 0, 0, 0, 0} << QVector<int>{};
    QTest::newRow("CH1 and CH4") << QVector<int>{C, 0, 0, C, 0, 0} << QVector<int>{0, 3};
    QTest::newRow("CH2 and the edited CH5") << QVector<int>{0, C, 0, 0, C, 0} << QVector<int>{1};
    QTest::newRow("CH3 partially, CH6") << QVector<int>{0, 0, P, 0, 0, C} << QVector<int>{2, 5};
    QTest::newRow("all six") << QVector<int>{C, C, C, C, C, C} << QVector<int>{0, 1, 2, 3, 5};
}

// CH5 is edited and flat; the others carry different gains at 1 kHz, so that near 1 kHz their
// curves lie apart and each colour is found on its own curve only.
void TestGraphWindow::everyCheckedOverlay() {
    QFETCH(QVector<int>, states);
    QFETCH(QVector<int>, drawn);
    Pc.Cur_CH = 4;
    const int gains[6] = {240, 180, 60, 0, 120, 210}; // +12, +6, -6, -12, flat, +9 dB
    for (uint8_t ch = 0; ch < 6; ++ch)
        Param_Image.set_EQ_Gain(ch, 17, uint16_t(gains[ch]));
    // Every channel's grid points, drawn or not, where they would be drawn (the smallest plot).
    std::array<ResponseCurves::Points, 6> lines;
    for (int ch = 0; ch < 6; ++ch) {
        w->graph().polyline(ch); // brings the channel's curve up to date
        lines[size_t(ch)] = curves().points(uint8_t(ch));
    }
    for (int ch = 0; ch < 6; ++ch) {
        ui->curveCheck[size_t(ch)]->setTristate(true);
        ui->curveCheck[size_t(ch)]->setCheckState(Qt::CheckState(states[ch]));
    }
    const QImage img = renderGraph();
    const QRgb bg = background(img);
    for (int ch : {0, 1, 2, 3, 5}) {
        int onCurve = 0;
        for (int i = 70; i <= 74; ++i)
            if (onVertex(img, lines[size_t(ch)][size_t(i)], kChannel[ch], bg)) ++onCurve;
        QCOMPARE(onCurve, drawn.contains(ch) ? 5 : 0);
    }
    QVERIFY(onVertex(img, lines[4][72], kChannel[4], bg));
}

// The lines are drawn for OFF filters too, on the corner's column (the marker's left edge + 5);
// the marker's middle row lies on the curve there (0 dB: row 144, top 136).
void TestGraphWindow::dottedLinesOnTheCorner() {
    Pc.Cur_CH = 3;
    Param_Image.set_HPF_Freq(3, 100);
    Param_Image.set_LPF_Freq(3, 5000);
    w->graph().crossoverCurveCalc(3, false);
    w->graph().crossoverCurveCalc(3, true);
    QCOMPARE(ui->hpfMarker->geometry(), QRect(278, 136, 16, 16)); // 100 Hz: column 283
    QCOMPARE(ui->lpfMarker->geometry(), QRect(877, 136, 16, 16)); // 5 kHz: column 882
    const QImage img = renderGraph();
    const QRgb bg = background(img);
    for (int x : {283, 882}) {
        int dots = 0, gaps = 0, beside = 0;
        for (int y = 52; y < 130; ++y) {
            tinted(img.pixel(x, y), kChannel[3], bg, 0.6) ? ++dots : ++gaps;
            if (tinted(img.pixel(x + 3, y), kChannel[3], bg, 0.2)) ++beside;
        }
        QVERIFY2(dots > 15 && gaps > 15,
                 qPrintable(QString("x %1: %2 %3").arg(x).arg(dots).arg(gaps)));
        QCOMPARE(beside, 0);
    }
}

void TestGraphWindow::gridMarkerAndCurveMeet_data() {
    QTest::addColumn<int>("freq");
    QTest::addColumn<int>("gain");
    QTest::addColumn<int>("column"); // floor(36.5 + 353 * log10(f / 20))
    QTest::addColumn<int>("row");    // floor(144.5 - 4.7 * dB)
    QTest::addColumn<QString>("readout");
    QTest::newRow("100 Hz, +6 dB") << 100 << 180 << 283 << 116 << "100 Hz  +6.0 dB";
    QTest::newRow("1 kHz, +12 dB") << 1000 << 240 << 636 << 88 << "1.00 kHz  +12.0 dB";
    QTest::newRow("5 kHz, -6 dB") << 5000 << 60 << 882 << 172 << "4.98 kHz  -6.0 dB";
    QTest::newRow("10 kHz, -12 dB") << 10000 << 0 << 989 << 200 << "10.02 kHz  -12.0 dB";
}

// A band at a grid line's frequency and a level line's gain: the frequency line, the level line,
// the band marker's middle pixel and the drawn curve's peak meet on one pixel, and the readout on
// that column says the band's level. The band is wide (Q 0.5) so that the drawn curve, straight
// between grid points, reaches its peak's row.
void TestGraphWindow::gridMarkerAndCurveMeet() {
    QFETCH(int, freq);
    QFETCH(int, gain);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, readout);
    const int b = 10;
    Param_Image.set_EQ_Freq(0, b, uint16_t(freq));
    Param_Image.set_EQ_Gain(0, b, uint16_t(gain));
    Param_Image.set_EQ_Q(0, b, 5);
    w->graph().placeBandMarker(b);
    w->graph().eqChanged();

    int lineColumn = -1, lineRow = -1;
    for (const GridLine& l : Grid_Freq_Lines())
        if (l.value == freq) lineColumn = l.pos;
    for (const GridLine& l : Grid_Level_Lines())
        if (l.value == (gain - 120) / 10) lineRow = l.pos;
    QCOMPARE(lineColumn, column);
    QCOMPARE(lineRow, row);
    QCOMPARE(ui->bandMarker[b]->geometry().topLeft() + QPoint(5, 5), QPoint(column, row));
    QCOMPARE(w->graph().hoverReadout(column), readout); // CH1 is edited

    const QImage img = renderGraph();
    const QRgb bg = background(img);
    QVERIFY(tinted(img.pixel(column, row), kChannel[0], bg, 0.6));
    QCOMPARE(QColor(img.pixel(column, 60)), QColor(72, 72, 76)); // the frequency line
    QCOMPARE(QColor(img.pixel(40, row)), QColor(72, 72, 76));    // the level line
    QVERIFY(QColor(img.pixel(column + 1, 60)) != QColor(72, 72, 76));
}

void TestGraphWindow::readoutIsTheCurveUnderThePointer_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<double>("db");
    // CH3: Bessel 24 dB/oct high-pass at 60 Hz, Linkwitz-Riley 24 dB/oct low-pass at 3 kHz. At
    // the middle of column 809 (3096.2 Hz) -20 log10(1 + (3096.2 / 3000)^4) plus the Bessel
    // high-pass's 20 log10 |105 / theta_4(j 2.1139 * 60 / 3096.2)| = -6.587 dB; column 886
    // (5116.4 Hz): -19.518 dB.
    QTest::newRow("3.10 kHz") << 809 << -6.587;
    QTest::newRow("5.12 kHz") << 886 << -19.518;
    QTest::newRow("40 Hz (no literal)") << 98 << 0.0;
    QTest::newRow("500 Hz (no literal)") << 529 << 0.0;
}

// The readout's level is where the curve is drawn on the pointer's column, and at the two
// frequencies it is the channel's true level.
void TestGraphWindow::readoutIsTheCurveUnderThePointer() {
    QFETCH(int, column);
    QFETCH(double, db);
    Pc.Cur_CH = 2;
    Param_Image.set_HPF_Off(2, 0);
    Param_Image.set_HPF_Freq(2, 60);
    Param_Image.set_HPF_Type(2, 2);
    Param_Image.set_HPF_Slope(2, 3);
    Param_Image.set_LPF_Off(2, 0);
    Param_Image.set_LPF_Freq(2, 3000);
    Param_Image.set_LPF_Type(2, 1);
    Param_Image.set_LPF_Slope(2, 3);
    w->graph().crossoverCurveCalc(2, false);
    w->graph().crossoverCurveCalc(2, true);
    const QString text = w->graph().hoverReadout(column);
    const double read =
        text.section(QStringLiteral("  "), 1).remove(QStringLiteral(" dB")).toDouble();
    if (db != 0.0) QVERIFY2(qAbs(read - db) < 0.051, qPrintable(text));
    const QImage img = renderGraph();
    const QRgb bg = background(img);
    const int row = int(std::floor(144.5 - 4.7 * read));
    bool drawn = false;
    for (int y = row - 1; y <= row + 1; ++y)
        drawn = drawn || tinted(img.pixel(column, y), kChannel[2], bg, 0.6);
    QVERIFY2(drawn, qPrintable(QString("%1 on row %2").arg(text).arg(row)));
}

// A band marker is read where the drag put it, by the exact inverse of its placement: a press
// without motion changes nothing, each step sends the band once, the stored gain is the one the
// marker shows, and on release the marker stays where the pointer left it.
void TestGraphWindow::bandDragReadsWhereTheMarkerWent() {
    goOnline();
    const int b = 4; // band 5: 50 Hz, Q 3.0
    w->graph().placeBandMarker(b);
    DragPushButton* m = ui->bandMarker[b];
    QCOMPARE(m->pos(), QPoint(171, 139)); // 50 Hz on column 176, 0 dB on row 144

    press(m, QPoint(5, 5));
    moveTo(m, QPoint(176, 144)); // no motion
    QCOMPARE(m->pos(), QPoint(171, 139));
    QCOMPARE(int(Param_Image.EQ_Gain(0, b)), 120);
    QCOMPARE(int(Param_Image.EQ_Freq(0, b)), 50);
    QVERIFY(takeFrames().empty());

    moveTo(m, QPoint(176, 105)); // straight up to row 105: (144 - 105) / 4.7 = +8.3 dB
    QCOMPARE(m->pos(), QPoint(171, 100));
    QCOMPARE(int(Param_Image.EQ_Gain(0, b)), 203);
    QCOMPARE(int(Param_Image.EQ_Freq(0, b)), 50);
    QCOMPARE(takeFrames(), std::vector<Bytes>{bandFrame(0, b, 50, 203, 30)});
    QCOMPARE(ui->eqGain[b]->text(), QString("8.3"));
    QCOMPARE(ui->eqGainSlider[b]->value(), 203);
    QCOMPARE(int(sim::unit().u16(sim::off::eqGain(0, b))), 323);

    moveTo(m, QPoint(460, 125)); // column 460: 20 * 10^(3 * 424 / 1059) = 318 Hz; row 125: +4.0
    QCOMPARE(m->pos(), QPoint(455, 120));
    QCOMPARE(takeFrames(), std::vector<Bytes>{bandFrame(0, b, 318, 160, 30)});
    QCOMPARE(ui->eqFreq[b]->text(), QString("318"));

    release(m, QPoint(460, 125));
    QCOMPARE(m->pos(), QPoint(455, 120));
    QCOMPARE(ui->bandLabel[b]->geometry(), QRect(455, 105, 18, 18));
    QCOMPARE(int(Pc.Cur_Band), b);
    QVERIFY(takeFrames().empty()); // the release sends nothing
    QCOMPARE(int(Param_Image.EQ_Gain(0, b)), 160);
}

void TestGraphWindow::bandDrag_data() {
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QPoint>("placed"); // the marker after the move, from the stored values
    QTest::addColumn<int>("freq");
    QTest::addColumn<int>("gain");
    // Band 11 starts at 200 Hz, 0.0 dB: marker at 384/139, grabbed at 5/5, so the cursor is the
    // marker's middle pixel. Column c reads 20 * 10^(3 * (c - 36) / 1059) Hz to the nearest hertz,
    // row r reads (144 - r) / 4.7 dB to the nearest 0.1 dB; the marker is then placed from those.
    QTest::newRow("fully left") << QPoint(-400, 144) << QPoint(31, 139) << 20 << 120;
    QTest::newRow("fully right") << QPoint(3000, 144) << QPoint(1090, 139) << 20000 << 120;
    QTest::newRow("top") << QPoint(389, -400) << QPoint(384, 83) << 200 << 240;
    QTest::newRow("bottom") << QPoint(389, 900) << QPoint(384, 195) << 200 << 0;
    QTest::newRow("10 rows up: +2.1 dB") << QPoint(389, 134) << QPoint(384, 129) << 200 << 141;
    QTest::newRow("10 rows down: -2.1 dB") << QPoint(389, 154) << QPoint(384, 149) << 200 << 99;
    QTest::newRow("right to 1521 Hz") << QPoint(700, 144) << QPoint(695, 139) << 1521 << 120;
    QTest::newRow("81 Hz, +9.4 dB") << QPoint(250, 100) << QPoint(245, 95) << 81 << 214;
}

// Offline: the mirror, widgets and graph change, nothing is sent.
void TestGraphWindow::bandDrag() {
    QFETCH(QPoint, cursor);
    QFETCH(QPoint, placed);
    QFETCH(int, freq);
    QFETCH(int, gain);
    const int b = 10;
    w->graph().placeBandMarker(b);
    DragPushButton* m = ui->bandMarker[b];
    QCOMPARE(m->pos(), QPoint(384, 139));
    press(m, QPoint(5, 5));
    moveTo(m, cursor);
    QCOMPARE(int(Param_Image.EQ_Freq(0, b)), freq);
    QCOMPARE(int(Param_Image.EQ_Gain(0, b)), gain);
    QCOMPARE(m->pos(), placed);
    release(m, cursor);
    QCOMPARE(m->pos(), placed);
    QVERIFY(sim::unit().frames().empty());
}

void TestGraphWindow::crossoverDragFollowsTheCurve_data() {
    QTest::addColumn<bool>("lowPass");
    QTest::newRow("high-pass") << false;
    QTest::newRow("low-pass") << true;
}

// A crossover marker is read after it moved, on its column only; it is placed back on its
// frequency with its middle on the curve at the corner: -3.01 dB for the Bessel filter, row
// floor(144.5 + 4.7 * 3.0103) = 158, top 150.
void TestGraphWindow::crossoverDragFollowsTheCurve() {
    QFETCH(bool, lowPass);
    goOnline();
    const uint8_t ch = 1;
    Pc.Cur_CH = ch;
    const FilterFields& fields = lowPass ? kLpfFields : kHpfFields;
    Param_Image.setFilterFreq(fields, ch, 20);
    Param_Image.setFilterOff(fields, ch, 0);
    Param_Image.setFilterType(fields, ch, 2);
    Param_Image.setFilterSlope(fields, ch, 5);
    w->graph().crossoverCurveCalc(ch, lowPass);
    DragPushButton* m = lowPass ? ui->lpfMarker : ui->hpfMarker;
    QLineEdit* edit = lowPass ? ui->Edit_LPF_Freq : ui->Edit_HPF_Freq;
    const QString held = lowPass ? "L_On" : "H_On";
    const QString normal = lowPass ? "L_Nor" : "H_Nor";
    QCOMPARE(m->pos(), QPoint(31, 150));

    press(m, QPoint(8, 8));
    QVERIFY(m->image().contains(held));
    QVERIFY(ui->graph->crossoverHeld(lowPass));
    moveTo(m, QPoint(39, 158)); // no motion
    QCOMPARE(m->pos(), QPoint(31, 150));
    QVERIFY(takeFrames().empty());

    // 200 right and 60 down: column 236 reads 20 * 10^(3 * 200 / 1059) = 74 Hz, whose marker
    // stands one column further right; the height stays on the curve.
    moveTo(m, QPoint(239, 218));
    QCOMPARE(int(Param_Image.filterFreq(fields, ch)), 74);
    QCOMPARE(edit->text(), QString("74"));
    QCOMPARE(m->pos(), QPoint(232, 150));
    QCOMPARE(takeFrames(), std::vector<Bytes>{filterFrame(lowPass, ch, 2, 74, 5, 0)});
    QCOMPARE(curves().line(!lowPass).x1(), 237);
    QCOMPARE(
        int(sim::unit().u16(lowPass ? sim::off::LpfFreq + 2 * ch : sim::off::HpfFreq + 2 * ch)),
        74);

    release(m, QPoint(239, 218));
    QVERIFY(m->image().contains(normal));
    QVERIFY(!ui->graph->crossoverHeld(false));
    QVERIFY(!ui->graph->crossoverHeld(true));
    QCOMPARE(m->pos(), QPoint(232, 150));
    QVERIFY(takeFrames().empty());
}

// CH1 linked to CH3 (filters and EQ): the edited channel's filter command goes out first, then
// the copy; a band drag leaves CH3's band equal to CH1's.
void TestGraphWindow::dragCopiesToLinkedChannels() {
    goOnline();
    Pc.Link_Matrix[0][2] = 1;
    Pc.Link_Mode[0] = LinkEqAndFilters;
    w->graph().crossoverCurveCalc(0, false);
    DragPushButton* m = ui->hpfMarker;
    QCOMPARE(m->x(), 31); // 20 Hz
    press(m, QPoint(8, 8));
    moveTo(m, QPoint(239, 156)); // 200 right: column 236 reads 74 Hz
    release(m, QPoint(239, 156));
    const int slope = Param_Image.HPF_Slope(0), off = Param_Image.HPF_Off(0);
    const std::vector<Bytes> frames = takeFrames();
    QCOMPARE(frames.size(), size_t(2));
    QCOMPARE(hex(frames[0]), hex(filterFrame(false, 0, 0, 74, slope, off)));
    QCOMPARE(hex(frames[1]), hex(filterFrame(false, 2, 0, 74, slope, off)));
    QCOMPARE(int(Param_Image.HPF_Freq(2)), 74);

    const int b = 17;
    w->graph().placeBandMarker(b);
    press(ui->bandMarker[b], QPoint(5, 5));
    moveTo(ui->bandMarker[b], QPoint(636, 110)); // row 110: (144 - 110) / 4.7 = +7.2 dB
    release(ui->bandMarker[b], QPoint(636, 110));
    QCOMPARE(int(Param_Image.EQ_Gain(2, b)), 192);
    QCOMPARE(int(Param_Image.EQ_Freq(2, b)), 1000);
    // The copy first, then the band itself, each once.
    const std::vector<Bytes> bandFrames = takeFrames();
    QCOMPARE(bandFrames.size(), size_t(2));
    QCOMPARE(hex(bandFrames[0]), hex(bandFrame(2, b, 1000, 192, 30)));
    QCOMPARE(hex(bandFrames[1]), hex(bandFrame(0, b, 1000, 192, 30)));
}

void TestGraphWindow::ledDoubleClickFlatAndRestore() {
    goOnline();
    const int b = 4; // 50 Hz
    Param_Image.set_EQ_Gain(0, b, 150);
    w->graph().placeBandMarker(b);
    QPushButton* led = ui->bandButton[b];

    QTest::mouseDClick(led, Qt::LeftButton);
    QCOMPARE(int(Param_Image.EQ_Gain(0, b)), 120);
    QCOMPARE(int(Pc.EQ_Gain_Saved[0][b]), 150);
    QCOMPARE(ui->eqGain[b]->text(), QString("0.0"));
    QCOMPARE(ui->eqGainSlider[b]->value(), 120);
    QCOMPARE(ui->bandMarker[b]->y(), 139);
    QVERIFY(led->styleSheet().contains("background-color:white"));
    checkBandFrames(takeFrames(), bandFrame(0, b, 50, 120, 30));

    QTest::mouseDClick(led, Qt::LeftButton);
    QCOMPARE(int(Param_Image.EQ_Gain(0, b)), 150);
    QCOMPARE(int(Pc.EQ_Gain_Saved[0][b]), 150);
    QCOMPARE(ui->eqGain[b]->text(), QString("3.0"));
    QCOMPARE(ui->eqGainSlider[b]->value(), 150);
    QCOMPARE(ui->bandMarker[b]->y(), 125); // +3.0 dB: row floor(144.5 - 14.1) = 130
    QVERIFY(led->styleSheet().contains("rgb(65,105,225)"));
    checkBandFrames(takeFrames(), bandFrame(0, b, 50, 150, 30));
    QVERIFY(curves().points(0)[17].y() < 135); // the curve follows
}

void TestGraphWindow::ledDoubleClickOnNeverFlattenedBand() {
    goOnline();
    const int b = 20;
    const ParamImage::Bytes before = Param_Image.bytes();
    const QString style = ui->bandButton[b]->styleSheet();
    QTest::mouseDClick(ui->bandButton[b], Qt::LeftButton);
    QVERIFY(Param_Image.bytes() == before);
    QCOMPARE(ui->bandButton[b]->styleSheet(), style);
    QVERIFY(takeFrames().empty());
}

void TestGraphWindow::arrowKeysMoveMarkerOnly_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("end");
    QTest::newRow("left") << int(Qt::Key_Left) << QPoint(631, 139) << QPoint(627, 139);
    QTest::newRow("right") << int(Qt::Key_Right) << QPoint(631, 139) << QPoint(635, 139);
    QTest::newRow("up") << int(Qt::Key_Up) << QPoint(631, 139) << QPoint(631, 135);
    QTest::newRow("down") << int(Qt::Key_Down) << QPoint(631, 139) << QPoint(631, 143);
    QTest::newRow("left at x 3") << int(Qt::Key_Left) << QPoint(3, 139) << QPoint(3, 139);
    QTest::newRow("up at y 4") << int(Qt::Key_Up) << QPoint(631, 4) << QPoint(631, 0);
    QTest::newRow("other key") << int(Qt::Key_A) << QPoint(631, 139) << QPoint(631, 139);
}

void TestGraphWindow::arrowKeysMoveMarkerOnly() {
    QFETCH(int, key);
    QFETCH(QPoint, start);
    QFETCH(QPoint, end);
    goOnline();
    DragPushButton* m = ui->bandMarker[17];
    m->move(start);
    const ParamImage::Bytes before = Param_Image.bytes();
    QSignalSpy update(m, &DragPushButton::Mark_Point_UpdateEvent);
    QSignalSpy clicked(m, &QPushButton::clicked);
    QTest::keyClick(m, Qt::Key(key));
    QCOMPARE(m->pos(), end);
    QVERIFY(Param_Image.bytes() == before);
    QVERIFY(takeFrames().empty());
    QCOMPARE(update.count(), 1);
    QCOMPARE(update.at(0), (QList<QVariant>{1, 1}));
    // A press and release neither shows a pressed button nor clicks it.
    QTest::mouseClick(m, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(!m->isDown());
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(update.count(), 2);
}

QTEST_MAIN(TestGraphWindow)
#include "test_graph_window.moc"
