// Every curve drawn shows its channel as the mirror holds it now, whichever path changed the
// fields: read-back, link copies, or a change made with no curve computation at all.
#include "app/form.h"
#include "app/tarn80x.h"
#include "dsp/response_curves.h"
#include "graph/graph_view.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/window_fixture.h"

#include <QCheckBox>
#include <QSlider>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

void render(Tarn80X& w) {
    QImage img(w.size(), QImage::Format_RGB32);
    w.render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    GraphView* graph = w.form()->graph;
    graph->render(&img, graph->pos(), QRegion(), {});
}

QVector<int> ysAt(const Tarn80X& w, uint8_t ch, std::initializer_list<int> points) {
    QVector<int> ys;
    for (int i : points)
        ys << w.graph().curves().points(ch)[size_t(i)].y();
    return ys;
}

} // namespace

class TestCurvesCurrent : public QObject {
    Q_OBJECT

  private slots:
    // CH3 holds a 1 kHz low-pass (Butterworth, 24 dB/oct) in the unit. After connecting, CH1 is
    // edited and CH3 has never been selected; its overlay still shows the low-pass:
    // y = floor(144.5 + 4.7 * 10 log10(1 + (f / 1000)^8)) at the grid points.
    void neverSelectedOverlayAfterReadback() {
        WindowFixture f;
        sim::unit().memory()[sim::off::LpfOff + 2] = 0;
        sim::unit().setU16(sim::off::LpfFreq + 4, 1000);
        QVERIFY(f.connect());
        QCOMPARE(int(Pc.Cur_CH), 0);
        f.ui().curveCheck[2]->setChecked(true);
        render(f.window());
        QCOMPARE(ysAt(f.window(), 2, {0, 40, 64, 72, 80, 90, 100, 127}),
                 (QVector<int>{144, 144, 145, 158, 216, 305, 393, 633}));
        QCOMPARE(ysAt(f.window(), 0, {64, 72, 80}), (QVector<int>{144, 144, 144}));
    }

    // CH1 linked to CH2 (EQ and filters): a band moved on CH1 is on CH2's overlay at once.
    void linkCopyOnTheOverlay() {
        WindowFixture f;
        linkPair(0, 1, LinkEqAndFilters);
        f.ui().curveCheck[1]->setChecked(true);
        render(f.window());
        f.ui().eqGainSlider[17]->setValue(240); // +12 dB at 1 kHz, Q 3
        render(f.window());
        QCOMPARE(f.window().graph().curves().points(1)[72].y(),
                 88); // +11.9897 dB at 1004.19 Hz: floor(88.15)
    }

    // Fields changed back to what the curve was last drawn from, after a computation of other
    // values, are computed again: the notes follow every computation, not only the painter's.
    void computationsNoteTheirFields() {
        Param_Init();
        ResponseCurves curves;
        QVERIFY(curves.current(4));
        QVERIFY(!curves.current(4)); // nothing changed since
        Param_Image.set_EQ_Gain(4, 17, 240);
        curves.eqCalc(4);
        curves.pointsUpdate(4);
        QCOMPARE(curves.points(4)[72].y(), 88);
        Param_Image.set_EQ_Gain(4, 17, kGainFlat); // e.g. undone, with no computation
        QVERIFY(curves.current(4));
        QCOMPARE(curves.points(4)[72].y(), 144);
    }

    // Bringing another channel up to date leaves the edited channel's crossover lines alone.
    void overlayLeavesCrossoverLines() {
        Param_Init();
        ResponseCurves curves;
        Param_Image.set_HPF_Freq(0, 100);
        curves.crossoverCalc(0, true);
        Param_Image.set_HPF_Freq(3, 5000);
        Param_Image.set_HPF_Off(3, 0);
        QVERIFY(curves.current(3));
        QCOMPARE(curves.line(true), QLine(283, 50, 283, 238));
        QCOMPARE(curves.markerX(true), 278);
        QVERIFY(curves.hpf(3)[0] < -190.0); // -10 log10(1 + 250^8) = -191.84 dB
    }
};

QTEST_MAIN(TestCurvesCurrent)
#include "test_curves_current.moc"
