// The scene actions' side of the unit's history: the snapshots taken by themselves before every act
// that replaces what the unit holds, after every read-back, and when the unit or the window goes;
// the notice when one could not be kept.
#pragma once

#include "session/history_recorder.h"

#include <QByteArray>
#include <QMetaObject>
#include <functional>
#include <vector>

namespace tarn {

class SceneActions;

class SceneHistory {
  public:
    explicit SceneHistory(SceneActions& view);
    SceneHistory(const SceneHistory&) = delete;
    SceneHistory& operator=(const SceneHistory&) = delete;

    // Takes that snapshot; the disk write runs off the window's thread and never stops the act.
    void takeSnapshot(SnapshotReason reason, std::vector<StoredSceneImage> scenes = {});

    // Connects the link and the recorder to the view: a snapshot after each read-back and when
    // the unit goes while online; a notice when a snapshot could not be kept.
    void attach();
    // The window closes (the view goes with it): the last state of the session is kept while
    // online, and written before the window goes.
    void detach();

    // Reads stored scenes first..first + count - 1 from the unit for a snapshot, with the progress
    // display and a Skip button; then calls done with them, or with none when the reading was
    // skipped or failed. done is not called when the link went down meanwhile (the user is told).
    void readStoredScenesThen(int first, int count,
                              std::function<void(std::vector<StoredSceneImage>)> done);

  private:
    // A snapshot of the state now, unless the last one holds it already.
    void takeLastState(SnapshotReason reason);

    SceneActions& view;
    bool attached = false;
    int lastLevel = 0;
    // The image and names of the last snapshot: a close or an unplug right after an act adds
    // nothing the history does not hold.
    QByteArray lastTaken;
    bool failureTold = false;
    std::vector<QMetaObject::Connection> connections;
};

} // namespace tarn
