// Snapshots taken by themselves: what the window hands the recorder, and when.
#include "views/scene_actions_history.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/history_recorder.h"
#include "session/history_texts.h"
#include "session/transfer_jobs.h"
#include "session/transfer_texts.h"
#include "session/unit_snapshot.h"
#include "views/scene_actions.h"
#include "views/scene_actions_transfer.h"
#include "widgets/notice.h"

#include <QPushButton>
#include <cstring>

namespace tarn {

namespace {

constexpr Bilingual kSkipReading{"跳过读取", "Skip reading"};

QByteArray stateKey(const SnapshotInput& in) {
    QByteArray key(reinterpret_cast<const char*>(in.image.data()), kImageSize);
    for (const QString& name : in.sceneNames)
        key += name.toUtf8() + '\0';
    return key;
}

} // namespace

SceneHistory::SceneHistory(SceneActions& view_) : view(view_) {}

void SceneHistory::takeLastState(SnapshotReason reason) {
    const SnapshotInput in = Unit_Snapshot_Now(reason);
    if (stateKey(in) == lastTaken) return;
    takeSnapshot(reason);
}

void SceneHistory::takeSnapshot(SnapshotReason reason, std::vector<StoredSceneImage> scenes) {
    SnapshotInput in = Unit_Snapshot_Now(reason);
    in.scenes = std::move(scenes);
    lastTaken = stateKey(in);
    History_Recorder().record(std::move(in));
}

void SceneHistory::attach() {
    attached = true;
    lastLevel = Link_Machine().statusLevel();
    LinkMachine& link = Link_Machine();
    HistoryRecorder& recorder = History_Recorder();
    auto& c = connections;
    // The scene names are part of the snapshot: it is taken once they are read too.
    c.push_back(QObject::connect(&link, &LinkMachine::becameIdle, &view,
                                 [this] { takeSnapshot(SnapshotReason::Readback); }));
    c.push_back(QObject::connect(&link, &LinkMachine::statusChanged, &view, [this] {
        const int level = Link_Machine().statusLevel();
        if (lastLevel == 2 && level == 0) takeLastState(SnapshotReason::Unplug);
        lastLevel = level;
    }));
    c.push_back(QObject::connect(&recorder, &HistoryRecorder::recorded, &view,
                                 [this](int) { failureTold = false; }));
    // Told once while the writes keep failing, not once per snapshot.
    c.push_back(QObject::connect(
        &recorder, &HistoryRecorder::failed, &view, [this](const BilingualText& why) {
            if (failureTold) return;
            failureTold = true;
            const BilingualText text{Fill_Text(history_text::SnapshotNotKept, {why.zh}).zh,
                                     Fill_Text(history_text::SnapshotNotKept, {why.en}).en};
            Show_Notice(text);
        }));
}

void SceneHistory::detach() {
    if (!attached) return;
    for (const QMetaObject::Connection& c : connections)
        QObject::disconnect(c);
    connections.clear();
    if (Link_Machine().statusLevel() == 2) takeLastState(SnapshotReason::Close);
    History_Recorder().flush();
    attached = false;
    lastLevel = 0;
    lastTaken.clear();
    failureTold = false;
}

void SceneHistory::readStoredScenesThen(int first, int count,
                                        std::function<void(std::vector<StoredSceneImage>)> done) {
    if (!attached) {
        done({});
        return;
    }
    view.transfer().run(std::make_unique<StoredScenesDownloadJob>(first, count), 0,
                        [first, count, done = std::move(done)](JobResult result) {
                            std::vector<StoredSceneImage> scenes;
                            if (result == JobResult::Done)
                                scenes = Stored_Scenes_Read(first, count);
                            if (!Link_Machine().readyForTransfer()) {
                                // A failed write has been told already.
                                if (result != JobResult::WriteFailed)
                                    Show_Notice(transfer_text::NotConnected);
                                return;
                            }
                            done(std::move(scenes));
                        });
    // Cancelling here skips the reading, not the act that follows it.
    emit view.stopCaptionChanged(tr2(kSkipReading));
}

} // namespace tarn
