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
constexpr Bilingual kSingleFilter{"场景文件(*.SCE)", "Scene file (*.SCE)"};
constexpr Bilingual kAllFilter{"场景文件(*.ALL)", "All scenes file (*.ALL)"};

// Ticks after a single-scene load until the unit is opened again and read back.
constexpr uint16_t kSingleLoadReconnectTicks = 10;

QByteArray asBytes(const ParamImage::Bytes& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
}

const uint8_t* bytesOf(const QByteArray& data) {
    return reinterpret_cast<const uint8_t*>(data.constData());
}

// A file chosen for a load, read and checked; false (the user told) when it is refused.
bool readCheckedSceneFile(const Bilingual& title, const Bilingual& filter, bool allScenes,
                          QByteArray& out) {
    const QString path = Ask_File_Name(FileDialogMode::Open, title, filter);
    if (path.isEmpty()) return false;
    // One byte more than the larger kind is enough to tell every size apart.
    if (!Read_Chosen_File(path, kAllFileSize + 1, out, transfer_text::FileUnreadable)) return false;
    const SceneFileVerdict verdict = allScenes ? Check_All_File(out) : Check_Scene_File(out);
    if (verdict.check != SceneFileCheck::Ok) {
        Show_Notice(Scene_File_Check_Text(verdict, allScenes));
        return false;
    }
    return true;
}

// The link may have changed while a dialog was open.
bool stillReady() {
    if (Link_Machine().readyForTransfer()) return true;
    Show_Notice(transfer_text::NotConnected);
    return false;
}

} // namespace

// ---- one scene ----

void SceneActions::saveScene() {
    if (!Transfer_May_Start([this] { saveScene(); })) return;
    SingleFileSave();
}

void SceneActions::SingleFileSave() {
    const QString path =
        Ask_File_Name(FileDialogMode::Save, kSaveSingleTitle, kSingleFilter, "SCE");
    if (path.isEmpty()) return;
    // Only a mirror read back completely holds every gain in the PC encoding.
    if (!stillReady()) return;
    if (Save_File_Or_Tell(path, asBytes(Scene_File_From_Mirror(Param_Image)))) emit savedTo(path);
}

bool SceneActions::SingleFileOpen(QByteArray& file) {
    return readCheckedSceneFile(kLoadSingleTitle, kSingleFilter, false, file);
}

void SceneActions::loadScene() {
    if (!Transfer_May_Start([this] { loadScene(); })) return;
    QByteArray file;
    if (!SingleFileOpen(file) || !stillReady()) return;

    // The unit gets the file's bytes as they are; the mirror takes them with the gains back in
    // the PC encoding, so that it never holds two encodings at once. The read-back after the load
    // replaces bytes 0..1099 with what the unit then holds.
    ParamImage::Bytes fileImage{};
    std::memcpy(fileImage.data(), file.constData(), fileImage.size());
    Param_Image.bytes() = Mirror_From_Scene_File(fileImage);
    session.imageReplaced();

    Run_Transfer(*this, std::make_unique<SceneImageLoadJob>(fileImage.data()), 7,
                 [this](JobResult result) {
                     if (result != JobResult::Done) {
                         Transfer_Stopped(*this, result, transfer_text::LoadStopped, true);
                         return;
                     }
                     // The unit's time to take the scene in runs on the link, not on the notice.
                     Link_Machine().setReconnectCount(kSingleLoadReconnectTicks);
                     Show_Notice(transfer_text::SingleLoadDone);
                 });
}

// ---- all nine stored scenes ----

void SceneActions::saveAllScenes() {
    if (!Transfer_May_Start([this] { saveAllScenes(); })) return;
    Run_Transfer(*this, std::make_unique<StoredScenesDownloadJob>(), 0, [this](JobResult result) {
        if (result != JobResult::Done) {
            Transfer_Stopped(*this, result, transfer_text::DownloadStopped, false);
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
    if (!Transfer_May_Start([this] { loadAllScenes(); })) return;
    if (!AllFileOpen() || !stillReady()) return;
    Run_Transfer(*this, std::make_unique<StoredScenesUploadJob>(bytesOf(All_Scene_Image)), 0,
                 [this](JobResult result) {
                     if (result != JobResult::Done) {
                         Transfer_Stopped(*this, result, transfer_text::LoadStopped, true);
                         return;
                     }
                     Show_Notice(transfer_text::AllLoadDone);
                     Link_Machine().Connect_Unit();
                 });
}

} // namespace tarn
