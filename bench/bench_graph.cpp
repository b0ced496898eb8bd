// Response graph figures: curve recomputation per edit, one band-marker drag step end to end
// (mouse move -> mirror, curve, command written, repaint requested; then with the repaint done),
// the graph's paint time, and a full repaint of the graph with six curves, a measurement and the
// predicted curve at the smallest window and at 2560 x 1440 (medians). Prints figures; never
// fails.
#include "app/form.h"
#include "app/tarn80x.h"
#include "dsp/measurement.h"
#include "dsp/response_curves.h"
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace tarn;

namespace {

double usPer(qint64 ns, int n) {
    return ns / 1000.0 / n;
}

double medianUs(std::vector<qint64> ns) {
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1000.0;
}

void tuneChannel(uint8_t ch) {
    for (int b = 0; b < kBands; ++b) {
        Param_Image.set_EQ_Gain(ch, b, static_cast<uint16_t>(60 + (b * 37) % 121));
        Param_Image.set_EQ_Q(ch, b, static_cast<uint8_t>(10 + (b * 13) % 80));
    }
    Param_Image.set_HPF_Off(ch, 0);
    Param_Image.set_HPF_Freq(ch, 80);
    Param_Image.set_LPF_Off(ch, 0);
    Param_Image.set_LPF_Freq(ch, 8000);
    Param_Image.set_LPF_Slope(ch, 7);
}

// Shows the window, connects it to the simulated unit if it can, and tunes the edited channel
// with its curves computed. True when the unit is online.
bool showTuned(Tarn80X& w) {
    w.stopLinkTimer();
    w.show();
    QApplication::processEvents();
    for (int i = 0; i < 5000 && Link_Machine().phase() != LinkPhase::Idle; ++i)
        test::runTicks(1);
    const bool online = Link_Machine().phase() == LinkPhase::Idle;
    tuneChannel(Pc.Cur_CH);
    w.graph().crossoverCurveCalc(Pc.Cur_CH, false);
    w.graph().crossoverCurveCalc(Pc.Cur_CH, true); // brings the whole channel up to date
    return online;
}

void benchCurves() {
    Param_Init();
    ResponseCurves curves;
    tuneChannel(0);
    const int n = 20000;
    volatile int sink = 0;
    for (int i = 0; i < 200; ++i)
        curves.eqCalc(0); // warm-up
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        curves.eqCalc(0);
        curves.pointsUpdate(0);
        sink = sink + curves.points(0)[64].y();
    }
    const qint64 eq = t.nsecsElapsed();
    t.restart();
    for (int i = 0; i < n; ++i) {
        curves.crossoverCalc(0, true);
        curves.crossoverCalc(0, false);
        curves.pointsUpdate(0);
        sink = sink + curves.points(0)[0].y();
    }
    const qint64 xo = t.nsecsElapsed();
    std::printf("EQ row + polyline (eqCalc, pointsUpdate): %.2f us per call (%d calls, goal <= 50 "
                "us)\n",
                usPer(eq, n), n);
    std::printf("crossover rows + polyline (crossoverCalc x2, pointsUpdate): %.2f us per call\n",
                usPer(xo, n));
}

void benchWindow() {
    test::resetWorld();
    Tarn80X w;
    const bool online = showTuned(w);
    sim::unit().clearFrames();

    // Drag band 18 up and down; every move event is one step of the drag.
    const int b = 17;
    w.graph().placeBandMarker(b);
    DragPushButton* m = w.form()->bandMarker[b];
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), m->mapToGlobal(QPoint(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m, &press);
    const int n = 2000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        const QPoint cursor(636 + (i % 7) - 3, 100 + (i % 40));
        const QPoint local = cursor - m->pos();
        QMouseEvent move(QEvent::MouseMove, local, m->mapToGlobal(local), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m, &move);
    }
    const qint64 drag = t.nsecsElapsed();
    const size_t frames = sim::unit().frames().size();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), m->mapToGlobal(QPoint(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m, &release);
    std::printf("band-marker drag step (move event -> mirror, curve, command, update): %.2f us "
                "per step (%d steps, %zu frames written, %s)\n",
                usPer(drag, n), n, frames, online ? "online" : "OFFLINE: nothing sent");

    // The window's own painting (background, curves, lines), then the whole window with markers.
    w.form()->curveCheck[1]->setChecked(true);
    QImage img(w.size(), QImage::Format_RGB32);
    const int np = 300;
    t.restart();
    for (int i = 0; i < np; ++i)
        w.form()->graph->render(&img, QPoint(), QRegion(), {});
    const qint64 paint = t.nsecsElapsed();
    const QRegion graph(QRect(kGraphLeft, kGraphTop, kGraphWidth, kGraphHeight));
    t.restart();
    for (int i = 0; i < np; ++i)
        w.render(&img, QPoint(), graph);
    const qint64 graphWithMarkers = t.nsecsElapsed();
    std::printf("graph paint (graph paintEvent: grid, 2 curves, 2 lines): %.1f us\n",
                usPer(paint, np));
    std::printf("graph area with its 33 markers and 31 labels: %.1f us\n",
                usPer(graphWithMarkers, np));
}

// The graph as it is drawn at its busiest: the edited channel tuned, the five others tuned and
// checked as overlays, and a measurement with its predicted curve; repainted whole (the graph's
// paintEvent and its markers, labels and boxes, into the window's backing store).
void benchFullRepaint() {
    test::resetWorld();
    Tarn80X w;
    w.stopLinkTimer();
    w.show();
    QApplication::processEvents();
    GraphView* graph = w.form()->graph;
    for (uint8_t ch = 0; ch < kChannels; ++ch) {
        tuneChannel(ch);
        Param_Image.set_EQ_Gain(ch, 5 + ch, static_cast<uint16_t>(180 - 10 * ch));
        w.graph().crossoverCurveCalc(ch, false);
        w.graph().crossoverCurveCalc(ch, true); // brings the whole channel up to date
        if (ch != Pc.Cur_CH) w.form()->curveCheck[ch]->setChecked(true);
    }
    Measurement m;
    m.present = true;
    m.covered.fill(true);
    for (int i = 0; i < kCurvePoints; ++i)
        m.level[static_cast<size_t>(i)] = 4.0 * std::sin(i * 0.21) - (i > 110 ? i - 110 : 0);
    graph->setMeasurement(Pc.Cur_CH, m);
    for (const QSize size : {QSize(1260, 686), QSize(2560, 1440)}) {
        w.resize(size);
        QApplication::processEvents();
        const int n = 200;
        std::vector<qint64> whole, own;
        QImage img(graph->size(), QImage::Format_RGB32);
        QElapsedTimer t;
        for (int i = 0; i < 20; ++i)
            graph->repaint(); // warm-up
        for (int i = 0; i < n; ++i) {
            t.start();
            graph->repaint();
            whole.push_back(t.nsecsElapsed());
        }
        for (int i = 0; i < n; ++i) {
            t.start();
            graph->render(&img, QPoint(), QRegion(), {}); // its paintEvent only
            own.push_back(t.nsecsElapsed());
        }
        std::printf("full repaint, window %dx%d, graph %dx%d, plot %dx%d, 6 curves + measurement + "
                    "predicted: median %.1f us (with markers and boxes), %.1f us (graph "
                    "paintEvent only) (goal <= %d us)\n",
                    size.width(), size.height(), graph->width(), graph->height(),
                    graph->scale().width, graph->scale().height, medianUs(whole), medianUs(own),
                    size.width() == 1260 ? 300 : 1000);
    }
}

// One step of a band-marker drag end to end: the move event, the value read, the mirror and the
// frame sent, the curves, and the repaint it asks for done (the posted update processed).
void benchDragStepRepainted() {
    test::resetWorld();
    Tarn80X w;
    const bool online = showTuned(w);
    for (const QSize size : {QSize(1260, 686), QSize(2560, 1440)}) {
        w.resize(size);
        QApplication::processEvents();
        sim::unit().clearFrames();
        const int b = 17;
        w.graph().placeBandMarker(b);
        DragPushButton* m = w.form()->bandMarker[b];
        const QPoint start = m->pos() + QPoint(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), m->mapToGlobal(QPoint(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m, &press);
        const int n = 500;
        std::vector<qint64> steps;
        QElapsedTimer t;
        for (int i = 0; i < n; ++i) {
            // Up and down the plot, a little sideways: every step changes the gain.
            const QPoint cursor = start + QPoint((i % 7) - 3, (i % 40) - 20);
            const QPoint local = cursor - m->pos();
            QMouseEvent move(QEvent::MouseMove, local, m->mapToGlobal(local), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            t.start();
            QApplication::sendEvent(m, &move);
            QApplication::processEvents();
            steps.push_back(t.nsecsElapsed());
        }
        const size_t frames = sim::unit().frames().size();
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), m->mapToGlobal(QPoint(5, 5)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m, &release);
        std::printf("band-marker drag step with the repaint done, window %dx%d: median %.1f us "
                    "(%d steps, %zu frames written, %s; goal <= 1000 us)\n",
                    size.width(), size.height(), medianUs(steps), n, frames,
                    online ? "online" : "OFFLINE: nothing sent");
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchCurves();
    benchWindow();
    benchFullRepaint();
    benchDragStepRepainted();
    return 0;
}
