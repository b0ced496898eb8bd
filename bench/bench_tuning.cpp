// Tuning workflow figures: the predicted curve (measurement + response) brought up to date after
// one band edit, and a 31-filter file imported end to end (read, parse, fit, 31 bands written to
// the unit, page shown). Prints figures; never fails.
#include "app/tarn80x.h"
#include "dsp/measurement.h"
#include "dsp/response_curves.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/file_io.h"
#include "session/filter_file.h"
#include "sim/unit_sim.h"
#include "tests/support/window_fixture.h"
#include "tuning/tuning_actions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

using namespace tarn;

namespace {

double usPer(qint64 ns, int n) {
    return ns / 1000.0 / n;
}

void benchPredicted() {
    Param_Init();
    ResponseCurves curves;
    std::vector<MeasuredPoint> points;
    for (int k = 0; k < 480; ++k) { // 1/48 octave, as measurement programs export
        const double f = 20.0 * std::pow(2.0, k / 48.0);
        points.push_back({f, 80.0 + 4.0 * std::sin(k / 9.0)});
    }
    const Measurement m = Measurement_On_Grid(points);
    Param_Image.set_HPF_Off(0, 0);
    Param_Image.set_HPF_Freq(0, 80);
    std::array<double, kCurvePoints> predicted{};
    volatile double sink = 0;
    const int n = 20000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        Param_Image.set_EQ_Gain(0, 17, static_cast<uint16_t>(60 + i % 121)); // one band edit
        curves.current(0);
        Predicted_Levels(curves, 0, m, predicted);
        sink = sink + predicted[64];
    }
    const qint64 edit = t.nsecsElapsed();
    t.restart();
    for (int i = 0; i < n; ++i) {
        Predicted_Levels(curves, 0, m, predicted);
        sink = sink + predicted[64];
    }
    const qint64 alone = t.nsecsElapsed();
    std::printf("predicted curve after one band edit (EQ row, polyline, measurement + response): "
                "%.2f us per edit (%d edits, goal <= 50 us)\n",
                usPer(edit, n), n);
    std::printf("  of which measurement + response alone: %.2f us\n", usPer(alone, n));
}

void benchImport() {
    QTemporaryDir dir;
    const QString path = dir.filePath("eq.txt");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("Preamp: -6.0 dB\n");
        for (int k = 0; k < 31; ++k)
            f.write(QString("Filter %1: ON PK Fc %2 Hz Gain %3 dB Q %4\n")
                        .arg(k + 1)
                        .arg(20.0 * std::pow(1000.0, k / 30.0), 0, 'f', 1)
                        .arg(-8.0 + (k % 9) * 1.5, 0, 'f', 1)
                        .arg(0.7 + (k % 5) * 0.9, 0, 'f', 2)
                        .toUtf8());
    }
    test::resetWorld();
    Tarn80X w;
    w.stopLinkTimer();
    for (int i = 0; i < 5000 && Link_Machine().phase() != LinkPhase::Idle; ++i)
        test::runTicks(1);
    const bool online = Link_Machine().phase() == LinkPhase::Idle;
    const int n = 200;
    size_t frames = 0;
    qint64 total = 0;
    for (int i = 0; i < n; ++i) {
        sim::unit().clearFrames();
        QElapsedTimer t;
        t.start();
        QByteArray bytes;
        Read_Regular_File(path, kFilterFileMaxBytes, bytes);
        const FilterFile file = Read_Filter_File(bytes);
        const FilterFit fit = Fit_Filters(file);
        w.tuningActions().applyEqBands(Pc.Cur_CH, fit.bands);
        total += t.nsecsElapsed();
        frames = sim::unit().frames().size();
    }
    std::printf("31-filter file imported end to end (read, parse, fit, bands sent, page shown): "
                "%.0f us per import (%d imports, %zu frames written each, %s, goal <= 10 ms)\n",
                usPer(total, n), n, frames, online ? "online" : "OFFLINE: nothing sent");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchPredicted();
    benchImport();
    return 0;
}
