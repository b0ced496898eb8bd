// Idle cost of the main window against an empty window of the same size: wake-ups (voluntary
// context switches of the process) and CPU time per second, measured over N seconds after a
// second of settling. Linked twice: bench_idle against the simulated unit (the window goes online
// and idles), bench_idle_hidraw against the system's hidapi (no unit: the window stays offline).
//
//   bench_idle empty 20 ; bench_idle window 20 ; bench_idle_hidraw window 20
#include "app/tarn80x.h"
#include "link/link_machine.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {

struct Usage {
    long wakeups;
    double cpuMs;
};

Usage usage() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const double cpu = (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
                       (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
    return {u.ru_nvcsw, cpu};
}

void runFor(int ms) {
    QTimer::singleShot(ms, &QApplication::quit);
    QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("window");
    const int seconds = argc > 2 ? std::max(1, atoi(argv[2])) : 20;

    std::unique_ptr<QWidget> window;
    if (mode == QLatin1String("empty")) {
        window = std::make_unique<QWidget>();
        window->resize(1260, 686); // the main window's fixed size
    } else {
        window = std::make_unique<tarn::Tarn80X>();
    }
    window->show();
    runFor(1000); // settle: the read-back, when a unit is there

    const tarn::LinkMachine& link = tarn::Link_Machine();
    const long stepsBefore = link.steps();
    const Usage before = usage();
    runFor(seconds * 1000);
    const Usage after = usage();
    const double wakeups = double(after.wakeups - before.wakeups) / seconds;
    const double cpu = (after.cpuMs - before.cpuMs) / seconds;
    std::printf("%s (%s, %dx%d): %.2f wake-ups/s, %.3f ms CPU/s, %.2f link steps/s over %d s\n",
                qPrintable(mode),
                mode == QLatin1String("empty") ? "empty window"
                : link.online()                ? "online, idle"
                                               : "offline",
                window->width(), window->height(), wakeups, cpu,
                double(link.steps() - stepsBefore) / seconds, seconds);
    return 0;
}
