// Scene files: the mirror saved as one "*.SCE" scene, a "*.SCE" scene loaded into the unit, and
// the unit's nine stored scenes moved to and from an "*.ALL" file.
#include "views/scene_actions.h"

#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"
#include "session/edit_session.h"
#include "session/scene_file_format.h"
#include "session/transfer_jobs.h"
#include "session/transfer_texts.h"
#include "session/tune_text.h"
#include "session/unit_files.h"
#include "views/scene_actions_history.h"
#include "views/scene_actions_transfer.h"
#include "widgets/file_dialog.h"
#include "widgets/file_notices.h"
#include "widgets/notice.h"

#include <algorithm>
#include <cstring>

namespace tarn {

namespace {

constexpr Bilingual kSaveSingleTitle{"保存单个场景文件", "Save single scene file"};
constexpr Bilingual kLoadSingleTitle{"加载单个场景文件", "Load single scene file"};
constexpr Bilingual kSaveAllTitle{"保存全部场景文件", "Save all scenes file"};
constexpr Bilingual kLoadAllTitle{"加载全部场景文件", "Load all scenes file"};
// One scene as the unit's bytes, or as the tune's text form: saved as the kind chosen, loaded
// as the kind the content shows, both kinds listed at first.
constexpr Bilingual kSingleFilter{"场景文件(*.SCE);;调音文本(*.json)",
                                  "Scene file (*.SCE);;Tune text (*.json)"};
constexpr Bilingual kSingleLoadFilter{
    "场景文件或调音文本(*.SCE *.json);;场景文件(*.SCE);;调音文本(*.json)",
    "Scene file or tune text (*.SCE *.json);;Scene file (*.SCE);;Tune text (*.json)"};
constexpr Bilingual kAllFilter{"场景文件(*.ALL)", "All scenes file (*.ALL)"};

const uint8_t* bytesOf(const QByteArray& data) {
    return reinterpret_cast<const uint8_t*>(data.constData());
}

// A file chosen for a load, read and checked; false (the user told) when it is refused.
bool readCheckedSceneFile(const Bilingual& title, const Bilingual& filter, bool allScenes,
                          QByteArray& out) {
    const QString path = Ask_File_Name(FileDialogMode::Open, title, filter);
    if (path.isEmpty()) return false;
    const FileLoad file = allScenes ? Load_Scene_File(path, true) : Load_Tune_File(path);
    if (!file.ok()) {
        Show_Warning(file.refusal);
        return false;
    }
    if (!file.notice.isEmpty()) Show_Notice(file.notice);
    out = file.data;
    return true;
}

// The link may have changed while a dialog was open.
bool stillReady() {
    if (Link_Machine().readyForTransfer()) return true;
    Show_Warning(transfer_text::NotConnected);
    return false;
}

} // namespace

// ---- one scene ----

void SceneActions::saveScene() {
    if (!transfer_->mayStart([this] { saveScene(); })) return;
    SingleFileSave();
}

void SceneActions::SingleFileSave() {
    const QString path =
        Ask_File_Name(FileDialogMode::Save, kSaveSingleTitle, kSingleFilter, "SCE");
    if (path.isEmpty()) return;
    // Only a mirror read back completely holds every gain in the PC encoding.
    if (!stillReady()) return;
    QByteArray bytes = Scene_Bytes(Scene_File_From_Mirror(Param_Image));
    if (Is_Tune_Text_Name(path)) {
        const TuneTextResult text = Tune_Text_From_Scene(Scene_File_From_Mirror(Param_Image));
        if (text.text.isEmpty()) {
            Show_Warning(BilingualText{text.error.zh, text.error.en});
            return;
        }
        bytes = text.text;
    }
    if (Save_File_Or_Tell(path, bytes)) emit savedTo(path);
}

bool SceneActions::SingleFileOpen(QByteArray& file) {
    return readCheckedSceneFile(kLoadSingleTitle, kSingleLoadFilter, false, file);
}

void SceneActions::loadScene() {
    if (!transfer_->mayStart([this] { loadScene(); })) return;
    QByteArray file;
    if (!SingleFileOpen(file) || !stillReady()) return;
    sceneImageLoad(file, SnapshotReason::SceneLoad);
}

void SceneActions::sceneImageLoad(const QByteArray& file, SnapshotReason reason) {
    // The unit gets the file's bytes as they are; the mirror takes them with the gains back in
    // the PC encoding, so that it never holds two encodings at once. The read-back after the load
    // replaces bytes 0..1099 with what the unit then holds.
    ParamImage::Bytes fileImage{};
    std::memcpy(fileImage.data(), file.constData(), fileImage.size());
    history_->takeSnapshot(reason);
    Param_Image.bytes() = Mirror_From_Scene_File(fileImage);
    session.imageReplaced();

    transfer_->run(
        std::make_unique<SceneImageLoadJob>(fileImage.data()), 7, [this, reason](JobResult result) {
            if (result != JobResult::Done) {
                transfer_->stopped(result, transfer_text::LoadStopped, true);
                return;
            }
            // The unit's time to take the scene in runs on the link, not on the notice.
            Link_Machine().setReconnectCount(kSingleLoadReconnectTicks);
            Show_Notice(reason == SnapshotReason::Restore ? transfer_text::RestoreDone
                                                          : transfer_text::SingleLoadDone);
        });
}

// ---- all nine stored scenes ----

void SceneActions::saveAllScenes() {
    if (!transfer_->mayStart([this] { saveAllScenes(); })) return;
    transfer_->run(std::make_unique<StoredScenesDownloadJob>(), 0, [this](JobResult result) {
        if (result != JobResult::Done) {
            transfer_->stopped(result, transfer_text::DownloadStopped, false);
            return;
        }
        const auto* job = static_cast<StoredScenesDownloadJob*>(Link_Machine().lastJob());
        All_Scene_Image = QByteArray(reinterpret_cast<const char*>(job->scenes().data()),
                                     static_cast<int>(job->scenes().size()));
        // A stored scene may hold values the load would refuse to send; the file gets what a
        // read-back of that scene shows, so that it can be loaded again.
        Limit_Stored_Scenes(reinterpret_cast<uint8_t*>(All_Scene_Image.data()));
        AllFileSave();
    });
}

void SceneActions::AllFileSave() {
    const QString path = Ask_File_Name(FileDialogMode::Save, kSaveAllTitle, kAllFilter, "ALL");
    if (path.isEmpty()) return;
    if (Save_File_Or_Tell(path, All_Scene_Image)) emit savedTo(path);
}

bool SceneActions::AllFileOpen() {
    QByteArray file;
    if (!readCheckedSceneFile(kLoadAllTitle, kAllFilter, true, file)) return false;
    All_Scene_Image = file;
    return true;
}

void SceneActions::loadAllScenes() {
    if (!transfer_->mayStart([this] { loadAllScenes(); })) return;
    if (!AllFileOpen() || !stillReady()) return;
    // The nine stored scenes are read for the history first; the user may skip that.
    history_->readStoredScenesThen(1, kStoredScenes, [this](std::vector<StoredSceneImage> scenes) {
        history_->takeSnapshot(SnapshotReason::AllScenesLoad, std::move(scenes));
        AllScenesUpload();
    });
}

void SceneActions::AllScenesUpload() {
    transfer_->run(std::make_unique<StoredScenesUploadJob>(bytesOf(All_Scene_Image)), 0,
                   [this](JobResult result) {
                       if (result != JobResult::Done) {
                           transfer_->stopped(result, transfer_text::LoadStopped, true);
                           return;
                       }
                       Show_Notice(transfer_text::AllLoadDone);
                       Link_Machine().Connect_Unit();
                   });
}

} // namespace tarn
