// Transfer figures against the simulated unit, through the menu entries on the real clock, with the
// unit's pauses (1 ms per chunk, 5 ms per image block, 1 ms per scene request, a second per stored
// scene written), which set the pace: the time per chunk or block, and the longest event-loop stall
// while the job runs. Printed only; nothing here fails.
//
//   bench_transfers [--quick] [--stalls] [--latency MS]
//   --quick leaves out the 10 s all-scenes load; --stalls measures the longest event-loop stall
//   (its 1 ms timer slows the jobs a little, so the times per block come from a run without it).
#include "app/tarn80x.h"
#include "bench/event_loop.h"
#include "link/link_machine.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions.h"
#include "views/scene_actions_transfer.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <memory>

using namespace tarn;
using bench::runUntil;
using bench::StallMeter;

namespace {

bool idle() {
    return Link_Machine().phase() == LinkPhase::Idle && Link_Machine().reconnectCount() == 0;
}

struct Timed {
    double ms;
    int frames;
    double stallMs;
};

// The job's own time: from the menu entry until the transfer has ended (its dialogs answered by
// the test helpers, whose polling is not part of the job).
// With measureStalls, a 1 ms timer runs beside the job to find its longest stall (it costs the
// job some time of its own, so the time per block is taken in a run without it).
Timed viaMenu(const SceneTransfer& transfer, QAction* action, const QString& file,
              bool measureStalls) {
    test::ModalAnswerer boxes(QMessageBox::Yes); // the upgrade's confirmation, then OK
    test::FileDialogAnswerer dialogs;
    dialogs.choose(file);
    action->trigger();
    runUntil([&] { return transfer.running(); }, 2000); // past the file dialog
    sim::unit().clearFrames();
    std::unique_ptr<StallMeter> stalls;
    if (measureStalls) stalls = std::make_unique<StallMeter>();
    QElapsedTimer clock;
    clock.start();
    runUntil([] { return !Link_Machine().jobRunning(); }, 60000);
    const Timed timed{clock.nsecsElapsed() / 1e6, static_cast<int>(sim::unit().frames().size()),
                      stalls ? stalls->longestMs() : 0.0};
    stalls.reset();
    runUntil([&] { return !transfer.running(); }, 5000);
    return timed;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool quick = args.contains("--quick");
    const bool stalls = args.contains("--stalls");
    const int latency =
        args.contains("--latency") ? args.value(args.indexOf("--latency") + 1).toInt() : 0;

    QTemporaryDir dir;
    const QString fw = dir.filePath("fw.bin"), sce = dir.filePath("one.SCE"),
                  all = dir.filePath("all.ALL");
    {
        QFile f(fw);
        f.open(QIODevice::WriteOnly);
        f.write("MVO" + QByteArray(64 * 1024 - 3, char(0x5A)));
    }
    test::WindowFixture f;
    Link_Machine().setClock(nullptr); // the real clock, the machine waking itself
    sim::setClock(nullptr);
    Link_Machine().setAutoRun(true);
    if (!runUntil(idle, 5000)) return 1;
    sim::unit().setLatencyMs(latency);
    std::printf("answer latency %d ms\n", latency);
    auto& m = f.window().menus;
    const SceneTransfer& transfer = f.window().sceneActions().transfer();

    const Timed upgrade = viaMenu(transfer, m.upgrade, fw, stalls);
    std::printf("firmware upgrade, 64 KiB: %.0f ms, %d chunks, %.3f ms per chunk; longest stall "
                "%.2f ms\n",
                upgrade.ms, upgrade.frames, upgrade.ms / upgrade.frames, upgrade.stallMs);
    if (!runUntil(idle, 10000)) return 1;

    viaMenu(transfer, m.sceneEntry[1], sce, false); // a file to load back
    const Timed single = viaMenu(transfer, m.sceneEntry[2], sce, stalls);
    std::printf("single-scene load: %.0f ms, %d blocks, %.3f ms per block (225 ms of it the "
                "unit's closing count); longest stall %.2f ms\n",
                single.ms, single.frames, single.ms / single.frames, single.stallMs);
    if (!runUntil(idle, 10000)) return 1;

    const Timed download = viaMenu(transfer, m.sceneEntry[3], all, stalls);
    std::printf("all-scenes save: %.0f ms, %d block requests, %.3f ms per block; longest stall "
                "%.2f ms\n",
                download.ms, download.frames, download.ms / download.frames, download.stallMs);
    if (quick) return 0;
    const Timed load = viaMenu(transfer, m.sceneEntry[4], all, stalls);
    std::printf("all-scenes load: %.0f ms, %d frames, %.3f ms per block (%.3f ms without the ten "
                "1-second pauses); longest stall %.2f ms\n",
                load.ms, load.frames, load.ms / load.frames, (load.ms - 10000) / load.frames,
                load.stallMs);
    return 0;
}
