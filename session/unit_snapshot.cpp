#include "session/unit_snapshot.h"

#include "link/link_machine.h"
#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/scene_names.h"
#include "session/transfer_jobs.h"

#include <cstring>

namespace tarn {

SnapshotInput Unit_Snapshot_Now(SnapshotReason reason) {
    LinkMachine& link = Link_Machine();
    SnapshotInput in;
    in.reason = reason;
    in.time = QDateTime::currentDateTimeUtc();
    in.image = Scene_File_From_Mirror(Param_Image);
    for (size_t i = 0; i < in.sceneNames.size(); ++i)
        in.sceneNames[i] = Scene_Name_Text(link.scenes().Scene_Name[i]);
    in.unit.serial = QString::fromStdWString(link.serialNumber());
    in.unit.name = QString::fromLatin1(Expected_Name);
    in.unit.firmware = Param_Image.FW_Version();
    return in;
}

std::vector<StoredSceneImage> Stored_Scenes_Read(int first, int count) {
    LinkMachine& link = Link_Machine();
    const auto* job = dynamic_cast<const StoredScenesDownloadJob*>(link.lastJob());
    std::vector<StoredSceneImage> scenes;
    if (!job || job->first() != first ||
        job->scenes().size() != static_cast<size_t>(count) * kImageSize)
        return scenes;
    for (int i = 0; i < count; ++i) {
        if (!link.scenes().Scene_Valid[static_cast<size_t>(first + i - 1)]) continue;
        StoredSceneImage scene;
        scene.place = first + i;
        std::memcpy(scene.image.data(), job->scenes().data() + static_cast<size_t>(i) * kImageSize,
                    kImageSize);
        scenes.push_back(scene);
    }
    return scenes;
}

} // namespace tarn
