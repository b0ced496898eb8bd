// Response graph figures: curve recomputation per edit, one band-marker drag step end to end
// (mouse move -> mirror, curve, command written, repaint requested), and the graph's paint time.
// Prints figures; never fails.
#include "app/form.h"
#include "app/tarn80x.h"
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "graph/response.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <cstdio>

using namespace tarn;

namespace {

double usPer(qint64 ns, int n) {
    return ns / 1000.0 / n;
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

void benchCurves() {
    Param_Init();
    Curve_Init();
    tuneChannel(0);
    const int n = 20000;
    volatile int sink = 0;
    for (int i = 0; i < 200; ++i)
        EQ_Curve_Calc(0); // warm-up
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        EQ_Curve_Calc(0);
        Curve_Points_Update(0);
        sink = sink + Curve_Points[0][64].y();
    }
    const qint64 eq = t.nsecsElapsed();
    t.restart();
    for (int i = 0; i < n; ++i) {
        HPF_Curve_Calc(0);
        LPF_Curve_Calc(0);
        Curve_Points_Update(0);
        sink = sink + Curve_Points[0][0].y();
    }
    const qint64 xo = t.nsecsElapsed();
    std::printf("EQ_Curve_Calc + Curve_Points_Update: %.2f us per call (%d calls, goal <= 50 us)\n",
                usPer(eq, n), n);
    std::printf("HPF_Curve_Calc + LPF_Curve_Calc + Curve_Points_Update: %.2f us per call\n",
                usPer(xo, n));
}

void benchWindow() {
    test::resetWorld();
    Tarn80X w;
    w.stopLinkTimer();
    w.show();
    QApplication::processEvents();
    for (int i = 0; i < 5000 && Link_Machine().phase() != LinkPhase::Idle; ++i)
        test::runTicks(1);
    const bool online = Link_Machine().phase() == LinkPhase::Idle;
    tuneChannel(Pc.Cur_CH);
    w.HPF_Curve_Calc(Pc.Cur_CH);
    w.LPF_Curve_Calc(Pc.Cur_CH);
    EQ_Curve_Calc(Pc.Cur_CH);
    Curve_Points_Update(Pc.Cur_CH);
    sim::unit().clearFrames();

    // Drag band 18 up and down; every move event is one step of the drag.
    const int b = 17;
    w.Place_Band_Marker(b);
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchCurves();
    benchWindow();
    return 0;
}
