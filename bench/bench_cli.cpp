// tarn80x-cli's figures against the simulated unit with no answer latency (--demo factory), each
// the median of several runs of the real process: dump against the read-back's protocol floor
// (128 ticks, 256 ms), apply against the single-scene load's pacing, a diff of two files, and the
// start-up to the first frame on the bus. Printed only; nothing here fails.
//
//   bench_cli [RUNS]
#include "cli/cli.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString g_dir;

double runMs(const QStringList& args, int* exit = nullptr) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), g_dir);
    process.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(TARN_CLI_DEMO), args);
    process.waitForFinished(60000);
    const double ms = clock.nsecsElapsed() / 1e6;
    if (exit) *exit = process.exitCode();
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double medianOf(int runs, const QStringList& args) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.push_back(runMs(args));
    return median(ms);
}

// In this process: from the command line's entry to its first frame written, seen by the
// simulated unit's clock, which the link reads right after sending the name request.
double entryToFirstFrameMs() {
    QElapsedTimer clock;
    double first = -1;
    clock.start();
    sim::setClock([&clock, &first]() -> std::int64_t {
        if (first < 0 && !sim::unit().frames().empty()) first = clock.nsecsElapsed() / 1e6;
        return clock.elapsed();
    });
    sim::unit().reset();
    sim::unit().clearFrames();
    clock.restart();
    tarn::Run_Command_Line({QStringLiteral("tarn80x-cli"), QStringLiteral("--lang"),
                            QStringLiteral("en"), QStringLiteral("scenes")},
                           nullptr);
    sim::setClock(nullptr);
    return first;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir dir;
    g_dir = dir.path();
    const QString sce = dir.filePath("a.SCE"), text = dir.filePath("b.json");
    const QStringList demo{QStringLiteral("--demo"), QStringLiteral("factory")};

    runMs(demo + QStringList{QStringLiteral("dump"), QStringLiteral("-o"), sce});
    runMs(demo + QStringList{QStringLiteral("dump"), QStringLiteral("-o"), text});

    const double version = medianOf(runs, {QStringLiteral("--version")});
    const double dump =
        medianOf(runs, demo + QStringList{QStringLiteral("dump"), QStringLiteral("-o"), sce});
    const double apply = medianOf(runs, demo + QStringList{QStringLiteral("apply"), sce});
    const double diff = medianOf(runs, {QStringLiteral("--demo"), QStringLiteral("absent"),
                                        QStringLiteral("diff"), sce, text});
    std::vector<double> first;
    for (int i = 0; i < runs; ++i)
        first.push_back(entryToFirstFrameMs());
    const double entry = median(first);

    std::printf("median of %d runs of the process, simulated unit without latency\n", runs);
    std::printf("process start to exit, --version: %.1f ms\n", version);
    std::printf("dump -o a.SCE: %.1f ms (%.3f x the 256 ms read-back floor; %.3f x without the "
                "--version start-up)\n",
                dump, dump / 256.0, (dump - version) / 256.0);
    std::printf("apply a.SCE: %.1f ms; less two read-backs at their floor: %.1f ms for the load "
                "and the unit's 20 ms before the read-back\n",
                apply, apply - 512.0);
    std::printf("diff a.SCE b.json (two files, no unit): %.1f ms for the whole process (%.1f ms "
                "beyond --version)\n",
                diff, diff - version);
    std::printf("command line entry to its first frame on the bus: %.2f ms (in process); with the "
                "--version start-up: %.1f ms\n",
                entry, entry + version);
    return 0;
}
