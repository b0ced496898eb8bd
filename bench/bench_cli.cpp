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
#include <fcntl.h>
#include <unistd.h>
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

// Runs the command line in this process with standard output put aside; its time in ms.
double inProcessMs(const QStringList& args) {
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    QElapsedTimer clock;
    clock.start();
    tarn::Run_Command_Line(QStringList{QStringLiteral("tarn80x-cli")} + args, nullptr);
    const double ms = clock.nsecsElapsed() / 1e6;
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(null);
    close(saved);
    return ms;
}

double inProcessMedian(int runs, const QStringList& args) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.push_back(inProcessMs(args));
    return median(ms);
}

// In this process: from the command line's entry to its first frame written, seen by the
// simulated unit's clock, which it reads when it queues the answer to that frame.
double entryToFirstFrameMs() {
    QElapsedTimer clock;
    double first = -1;
    sim::unit().reset();
    sim::unit().setLatencyMs(1);
    sim::setClock([&clock, &first]() -> std::int64_t {
        if (first < 0 && !sim::unit().frames().empty()) first = clock.nsecsElapsed() / 1e6;
        return clock.elapsed();
    });
    clock.start();
    inProcessMs({QStringLiteral("scenes")});
    sim::setClock(nullptr);
    sim::unit().setLatencyMs(0);
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
    sim::unit().reset();
    const double dumpIn =
        inProcessMedian(runs, {QStringLiteral("dump"), QStringLiteral("-o"), sce});
    const double applyIn = inProcessMedian(runs, {QStringLiteral("apply"), sce});
    const double diffIn = inProcessMedian(runs, {QStringLiteral("diff"), sce, text});

    std::printf("median of %d runs, simulated unit without latency\n", runs);
    std::printf("process start to exit, --version: %.1f ms\n", version);
    std::printf("dump -o a.SCE: %.1f ms as a process; in process %.1f ms = %.3f x the 256 ms "
                "read-back floor\n",
                dump, dumpIn, dumpIn / 256.0);
    // The single-scene load's pacing: 55 blocks 5 ms apart, then the unit's 225 ms closing count.
    const double load = applyIn - 2 * dumpIn - 20.0;
    std::printf("apply a.SCE: %.1f ms as a process; in process %.1f ms, of which the load takes "
                "%.1f ms (less two dumps and the unit's 20 ms before its read-back) = %.3f x the "
                "500 ms pacing of the single-scene load\n",
                apply, applyIn, load, load / 500.0);
    std::printf("diff a.SCE b.json (two files, no unit): %.1f ms as a process, %.2f ms in "
                "process\n",
                diff, diffIn);
    std::printf("entry to the first frame on the bus: %.2f ms in process; %.1f ms with the "
                "process start-up (--version)\n",
                entry, entry + version);
    return 0;
}
