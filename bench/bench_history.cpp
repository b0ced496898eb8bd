// The unit's history: what a snapshot costs the window's thread (and the write behind it), opening
// the History window on a full history of 1000 snapshots, and the diff of two snapshot images.
// Prints figures; never fails.
#include "model/param_image.h"
#include "session/history_recorder.h"
#include "session/tune_diff.h"
#include "session/unit_snapshot.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions.h"
#include "views/scene_actions_history.h"
#include "views/scene_actions_history_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tarn;

namespace {

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

SnapshotInput snapshotWith(int n) {
    SnapshotInput in = Unit_Snapshot_Now(SnapshotReason::Readback);
    ParamImage p;
    p.bytes() = in.image;
    p.set_Total_Vol(static_cast<uint16_t>(n % 600));
    p.set_EQ_Gain(n % 6, n % 31, static_cast<uint16_t>(n % 400 + 40));
    in.image = p.bytes();
    in.unit.name = QStringLiteral("TQ_AUD48");
    return in;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    History_Recorder().open(dir.filePath(QStringLiteral("history")));
    // The main window (never connected): its scene actions take the snapshots and own the History
    // window.
    test::WindowFixture fixture;
    SceneActions& view = fixture.window().sceneActions();

    // ---- a snapshot as the window takes it ----
    constexpr int kSnapshots = 200;
    std::vector<double> callerMs;
    QElapsedTimer all;
    all.start();
    for (int i = 0; i < kSnapshots; ++i) {
        Param_Image.set_Total_Vol(static_cast<uint16_t>(i)); // a new image each time
        QElapsedTimer t;
        t.start();
        view.history().takeSnapshot(SnapshotReason::Recall);
        callerMs.push_back(ms(t));
    }
    const double queuedMs = ms(all);
    History_Recorder().flush(600000);
    const double writtenMs = ms(all);
    std::printf("snapshot, window's thread: median %.3f ms, worst %.3f ms (target <= 5 ms)\n",
                median(callerMs), *std::max_element(callerMs.begin(), callerMs.end()));
    std::printf("snapshot, disk write on the history thread: %.2f ms each (%d written in %.0f ms;"
                " the window was free after %.1f ms)\n",
                writtenMs / kSnapshots, kSnapshots, writtenMs, queuedMs);

    // ---- a full history: 1000 snapshots ----
    HistoryStore& store = History_Recorder().store();
    QElapsedTimer fill;
    fill.start();
    for (int i = store.count(); i < HistoryStore::kDefaultMaxSnapshots; ++i)
        store.add(snapshotWith(i));
    std::printf("filling the history to %d snapshots: %.0f ms\n", store.count(), ms(fill));
    {
        QElapsedTimer t;
        t.start();
        HistoryStore again(store.root());
        again.open();
        std::printf("opening the index of %d snapshots: %.1f ms\n", again.count(), ms(t));
    }
    {
        QFile::remove(store.root() + QStringLiteral("/index.json"));
        QElapsedTimer t;
        t.start();
        HistoryStore again(store.root());
        again.open();
        std::printf("rebuilding a lost index from %d records: %.1f ms\n", again.count(), ms(t));
    }

    History_Recorder().open(store.root());
    std::vector<double> openMs;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        History_Recorder().open(History_Recorder().store().root()); // the index read afresh
        auto* w = new HistoryWindow(view);
        w->show();
        QCoreApplication::processEvents();
        openMs.push_back(ms(t));
        delete w;
    }
    std::printf("opening the History window on %d snapshots (index read, list filled, shown): "
                "median %.1f ms, worst %.1f ms (target <= 200 ms)\n",
                History_Recorder().store().count(), median(openMs),
                *std::max_element(openMs.begin(), openMs.end()));

    // ---- the diff of two snapshots ----
    const auto list = History_Recorder().store().snapshots();
    const auto a = History_Recorder().store().image(list[list.size() - 2].image);
    const auto b = History_Recorder().store().image(list.back().image);
    constexpr int kDiffs = 2000;
    int fields = 0;
    QElapsedTimer d;
    d.start();
    for (int i = 0; i < kDiffs; ++i)
        fields += Diff_Scenes(*a, *b).count();
    std::printf("diff of two snapshot images (%d fields apart): %.1f us (target <= 1 ms)\n",
                fields / kDiffs, d.nsecsElapsed() / 1e3 / kDiffs);
    QElapsedTimer r;
    r.start();
    for (int i = 0; i < kDiffs; ++i)
        fields += Diff_Scenes(*History_Recorder().store().image(list[list.size() - 2].image),
                              *History_Recorder().store().image(list.back().image))
                      .count();
    std::printf("the same with both images read from disk and checked: %.1f us\n",
                r.nsecsElapsed() / 1e3 / kDiffs);
    return 0;
}
