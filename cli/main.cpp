#include "cli/cli.h"

#include <QCoreApplication>

#ifdef TARN_DEMO_BUILD
#include "cli/demo_clock.h"
#include "session/file_io.h"
#include "sim/unit_sim.h"

#include <algorithm>
#include <csignal>
#include <memory>

namespace {

// The simulated unit lives in this process; --demo-memory keeps its memory and stored scenes in a
// file between runs, so that what one run writes the next one reads: the memory, then per scene
// its image, its name and whether it is used.
constexpr qsizetype kSceneRecord = qsizetype(sim::kMemorySize + sim::kNameSize + 1);
constexpr qsizetype kMemoryFileSize = qsizetype(sim::kMemorySize) + sim::kScenes * kSceneRecord;

QString g_memoryFile;

bool loadMemory(const QString& path, QString* error) {
    QByteArray bytes;
    qint64 size = 0;
    if (tarn::Read_Regular_File(path, kMemoryFileSize + 1, bytes, &size) != tarn::ReadProblem::None)
        return true; // not there yet: the state chosen by --demo, written at the end
    if (bytes.size() != kMemoryFileSize) {
        *error = QStringLiteral("--demo-memory: %1 is not a demo memory file").arg(path);
        return false;
    }
    sim::Unit& unit = sim::unit();
    const char* at = bytes.constData();
    std::copy_n(at, sim::kMemorySize, reinterpret_cast<char*>(unit.memory().data()));
    at += sim::kMemorySize;
    for (int k = 1; k <= sim::kScenes; ++k) {
        sim::Scene& scene = unit.scene(k);
        std::copy_n(at, sim::kMemorySize, reinterpret_cast<char*>(scene.image.data()));
        std::copy_n(at + sim::kMemorySize, sim::kNameSize,
                    reinterpret_cast<char*>(scene.name.data()));
        scene.used = at[sim::kMemorySize + sim::kNameSize] != 0;
        at += kSceneRecord;
    }
    return true;
}

void saveMemory() {
    if (g_memoryFile.isEmpty()) return;
    const sim::Unit& unit = sim::unit();
    QByteArray bytes(reinterpret_cast<const char*>(unit.memory().data()), sim::kMemorySize);
    for (int k = 1; k <= sim::kScenes; ++k) {
        const sim::Scene& scene = unit.scene(k);
        bytes.append(reinterpret_cast<const char*>(scene.image.data()), sim::kMemorySize);
        bytes.append(reinterpret_cast<const char*>(scene.name.data()), sim::kNameSize);
        bytes.append(scene.used ? '\1' : '\0');
    }
    tarn::Save_File_Atomically(g_memoryFile, bytes);
}

std::unique_ptr<tarn::DemoClock> g_clock;

bool startDemo(const tarn::CliDemoRun& run, QString* error) {
    if (!sim::unit().startAs(run.state.toStdString())) {
        *error = QStringLiteral("unknown --demo state: %1").arg(run.state);
        return false;
    }
    if (!run.memoryFile.isEmpty() && !loadMemory(run.memoryFile, error)) return false;
    g_memoryFile = run.memoryFile;
    sim::unit().unplugAfterWrites(run.unplugAfter);
    // As the handler does for a key press: the run sees it at its next turn of the event loop.
    sim::unit().afterWrites(run.interruptAfter, [] { std::raise(SIGINT); });
    // info and apply keep the unit's real pace unless told; the others would wait seconds for it.
    bool jump = run.command != QLatin1String("info") && run.command != QLatin1String("apply");
    if (run.clock == QLatin1String("jump") || run.clock == QLatin1String("real"))
        jump = run.clock == QLatin1String("jump");
    else if (!run.clock.isEmpty()) {
        *error = QStringLiteral("--demo-clock takes real or jump: %1").arg(run.clock);
        return false;
    }
    if (jump) g_clock = std::make_unique<tarn::DemoClock>();
    return true;
}

} // namespace
#endif

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarn80x-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARN_VERSION));
#ifdef TARN_DEMO_BUILD
    const tarn::CliDemo demo{startDemo, saveMemory};
    const int status = tarn::Run_Command_Line(QCoreApplication::arguments(), &demo);
    g_clock.reset();
    return status;
#else
    return tarn::Run_Command_Line(QCoreApplication::arguments(), nullptr);
#endif
}
