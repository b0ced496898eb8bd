// The scene actions' side of the unit's history: the snapshots taken by themselves before every act
// that replaces what the unit holds, after every read-back, and when the unit or the window goes;
// the notice when one could not be kept; the History window.
#pragma once

#include "session/history_recorder.h"

#include <functional>
#include <vector>

namespace tarn {

class SceneActions;

// Takes that snapshot; the disk write runs off the window's thread and never stops the act.
void Take_Snapshot(SnapshotReason reason, std::vector<StoredSceneImage> scenes = {});

// Connects the link and the recorder to the view: a snapshot after each read-back and when the
// unit goes while online; a notice when a snapshot could not be kept.
void History_Attach(SceneActions& view);
// The window closes (the view goes with it): the last state of the session is kept while online,
// and written before the window goes.
void History_Detach(SceneActions& view);

// Reads stored scenes first..first + count - 1 from the unit for a snapshot, with the progress
// display and a Skip button; then calls done with them, or with none when the reading was
// skipped or failed. done is not called when the link went down meanwhile (the user is told).
void Read_Stored_Scenes_Then(int first, int count,
                             std::function<void(std::vector<StoredSceneImage>)> done);

} // namespace tarn
