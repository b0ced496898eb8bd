// Transfer figures against the simulated unit: the time one firmware chunk or one scene block
// takes, first as the bare exchange (frame out, answer read back), then through the menu entries
// with the unit's pauses (1 ms per chunk, 5 ms per image block, 1 ms per scene request, a second
// per stored scene written), which set the pace. Printed only; nothing here fails.
#include "app/tarn80x.h"
#include "link/link_state.h"
#include "model/commands.h"
#include "presets/unit_transfer.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace tarn;

namespace {

// The bare exchange: no pause before the first read, answers waited for as in a transfer.
void exchanges(int latencyMs) {
    test::WindowFixture f;
    if (!f.connect()) return;
    sim::unit().setLatencyMs(latencyMs);
    const uint8_t data[20] = {};
    const AnswerRule rule{500, 4, 0, 2000};

    const int chunks = 4000;
    const int writesBefore = sim::unit().counters().writes;
    QElapsedTimer clock;
    clock.start();
    int failed = 0;
    for (int n = 0; n < chunks; ++n) {
        failed += Exchange_Frame(Make_Upgrade_Frame(uint16_t(n), data), Expected{0xB0}, rule) !=
                  Exchange::Done;
        if (n % 1000 == 999) sim::unit().clearFrames();
    }
    const double chunkUs = clock.nsecsElapsed() / 1e3 / chunks;

    const int blocks = 9 * 55;
    clock.restart();
    AnswerCopy answer;
    for (int n = 0; n < blocks; ++n) {
        const int s = n / 55 + 1, k = n % 55;
        failed += Exchange_Frame(Make_Scene_Block_Request(s, k), Expected{0x15, 22, s, k}, rule,
                                 &answer) != Exchange::Done;
    }
    const double blockUs = clock.nsecsElapsed() / 1e3 / blocks;
    std::printf("bare exchange, answer latency %d ms: firmware chunk %.2f us, scene block request "
                "%.2f us (%d exchanges, %d writes, %d failed)\n",
                latencyMs, chunkUs, blockUs, chunks + blocks,
                sim::unit().counters().writes - writesBefore, failed);
    sim::unit().setLatencyMs(0);
}

struct Timed {
    double ms;
    int frames;
};

Timed viaMenu(QAction* action, const QString& file) {
    test::ModalAnswerer boxes(QMessageBox::Yes); // the upgrade's confirmation, then OK
    test::FileDialogAnswerer dialogs;
    dialogs.choose(file);
    sim::unit().clearFrames();
    QElapsedTimer clock;
    clock.start();
    action->trigger();
    return {clock.nsecsElapsed() / 1e6, static_cast<int>(sim::unit().frames().size())};
}

void throughMenus(bool withAllLoad) {
    QTemporaryDir dir;
    const QString fw = dir.filePath("fw.bin"), sce = dir.filePath("one.SCE"),
                  all = dir.filePath("all.ALL");
    {
        QFile f(fw);
        f.open(QIODevice::WriteOnly);
        f.write("MVO" + QByteArray(64 * 1024 - 3, char(0x5A)));
    }
    test::WindowFixture f;
    if (!f.connect()) return;
    auto& m = f.window().menus;

    const Timed upgrade = viaMenu(m.upgrade, fw);
    std::printf("firmware upgrade, 64 KiB: %.0f ms, %d chunks, %.3f ms per chunk\n", upgrade.ms,
                upgrade.frames, upgrade.ms / upgrade.frames);
    if (!f.connect()) return;

    viaMenu(m.sceneEntry[1], sce); // a file to load back
    const Timed single = viaMenu(m.sceneEntry[2], sce);
    std::printf("single-scene load: %.0f ms, %d blocks, %.3f ms per block (225 ms of it the "
                "unit's closing count)\n",
                single.ms, single.frames, single.ms / single.frames);
    f.ticks(10);
    if (!f.connect()) return;

    const Timed download = viaMenu(m.sceneEntry[3], all);
    std::printf("all-scenes save: %.0f ms, %d block requests, %.3f ms per block\n", download.ms,
                download.frames, download.ms / download.frames);
    if (!withAllLoad) return;
    const Timed load = viaMenu(m.sceneEntry[4], all);
    std::printf("all-scenes load: %.0f ms, %d frames, %.3f ms per block (%.3f ms without the ten "
                "1-second pauses)\n",
                load.ms, load.frames, load.ms / load.frames, (load.ms - 10000) / load.frames);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains("--quick"); // leaves out the 10 s all-scenes load
    exchanges(0);
    exchanges(1);
    throughMenus(!quick);
    return 0;
}
