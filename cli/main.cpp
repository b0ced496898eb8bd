#include "cli/cli.h"

#include <QCoreApplication>

#ifdef TARN_DEMO_BUILD
#include "session/file_io.h"
#include "sim/unit_sim.h"

#include <algorithm>

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

bool startDemo(const QString& state, const QString& memoryFile, int unplugAfter, QString* error) {
    if (!sim::unit().startAs(state.toStdString())) {
        *error = QStringLiteral("unknown --demo state: %1").arg(state);
        return false;
    }
    if (!memoryFile.isEmpty() && !loadMemory(memoryFile, error)) return false;
    g_memoryFile = memoryFile;
    sim::unit().unplugAfterWrites(unplugAfter);
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
    return tarn::Run_Command_Line(QCoreApplication::arguments(), &demo);
#else
    return tarn::Run_Command_Line(QCoreApplication::arguments(), nullptr);
#endif
}
