// What a snapshot of the unit keeps, taken from the link machine and the mirror: the window and
// the command line hand it to the history. Kept apart from the recorder (a QObject) so that the
// command line links no more than it uses.
#pragma once

#include "session/history_store.h"

#include <vector>

namespace tarn {

// The unit as the link machine and the mirror hold it now ("*.SCE" encoding), its scene names
// and identity: what a snapshot of the unit keeps, in the window and on the command line.
SnapshotInput Unit_Snapshot_Now(SnapshotReason reason);
// The stored scenes the link's last job (a StoredScenesDownloadJob of first..first + count - 1,
// done) read, leaving out the empty places: they hold nothing worth keeping.
std::vector<StoredSceneImage> Stored_Scenes_Read(int first, int count);

} // namespace tarn
