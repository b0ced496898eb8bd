// Scene files: the mirror saved as one "*.SCE" scene, a "*.SCE" scene loaded into the unit, and
// the unit's nine stored scenes moved to and from an "*.ALL" file.
#include "app/form.h"
#include "app/notice.h"
#include "app/tarn80x.h"
#include "link/link_state.h"
#include "link/link_tick.h"
#include "model/commands.h"
#include "model/param_image.h"
#include "presets/file_io.h"
#include "presets/scene_file_format.h"
#include "presets/transfer_session.h"
#include "presets/transfer_texts.h"
#include "presets/unit_transfer.h"

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

constexpr uint8_t kImageBlockAck = 0x41;
constexpr uint8_t kSceneBlockCode = 0x15; // both the 05 15 acknowledgement and the 06 15 answer

// Pacing the unit is given: after every image block, then per step of the bar's count from 56 to
// 100 while it takes the image in; after every stored scene written.
constexpr uint16_t kImageBlockPauseMs = 5;
constexpr uint16_t kImageSettleStepMs = 5;
constexpr uint16_t kImageSettleIdleHold = 1000;
constexpr uint16_t kStoredScenePauseMs = 1000;
constexpr uint16_t kStoredSceneIdleHold = 40000;
// Ticks after a single-scene load until the unit is opened again and read back.
constexpr uint16_t kSingleLoadReconnectTicks = 10;

QByteArray asBytes(const ParamImage::Bytes& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
}

const uint8_t* bytesOf(const QByteArray& data, int at) {
    return reinterpret_cast<const uint8_t*>(data.constData()) + at;
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
    if (Link_Ready_For_Transfer()) return true;
    Show_Notice(transfer_text::NotConnected);
    return false;
}

} // namespace

// ---- one scene ----

void Tarn80X::Sence_Sub2_Fun() {
    if (!Transfer_May_Start()) return;
    TransferSession session(*ui);
    SingleFileSave();
}

void Tarn80X::SingleFileSave() {
    const QString path =
        Ask_File_Name(FileDialogMode::Save, kSaveSingleTitle, kSingleFilter, "SCE");
    if (path.isEmpty()) return;
    // Only a mirror read back completely holds every gain in the PC encoding.
    if (!stillReady()) return;
    Save_File_Or_Tell(path, asBytes(Scene_File_From_Mirror(Param_Image)));
}

bool Tarn80X::SingleFileOpen(QByteArray& file) {
    return readCheckedSceneFile(kLoadSingleTitle, kSingleFilter, false, file);
}

void Tarn80X::Sence_Sub3_Fun() {
    if (!Transfer_May_Start()) return;
    TransferSession session(*ui);
    QByteArray file;
    if (!SingleFileOpen(file) || !stillReady()) return;

    // The unit gets the file's bytes as they are; the mirror takes them with the gains back in
    // the PC encoding, so that it never holds two encodings at once. The read-back after the load
    // replaces bytes 0..1099 with what the unit then holds.
    ParamImage::Bytes fileImage{};
    std::memcpy(fileImage.data(), file.constData(), fileImage.size());
    Param_Image.bytes() = Mirror_From_Scene_File(fileImage);
    Image_Replaced();

    session.showProgress(7);
    for (int k = 0; k < kSceneImageBlocks; ++k) {
        const Payload block = Make_Image_Block(k, fileImage.data() + k * kBlockSize);
        // The unit does not answer the last block: it closes the image.
        const Exchange result =
            k == kSceneImageBlocks - 1
                ? Send_Unanswered(block, kImageBlockRule.idleHold)
                : Exchange_Frame(block, Expected{kImageBlockAck}, kImageBlockRule);
        if (result != Exchange::Done) {
            Transfer_Stopped(*this, session, result, transfer_text::LoadStopped, true);
            return;
        }
        Wait_Ms(kImageBlockPauseMs);
        session.setProgress(k + 1);
    }
    for (int v = kSceneImageBlocks + 1; v <= 100; ++v) {
        Link.Idle_Count = kImageSettleIdleHold;
        Wait_Ms(kImageSettleStepMs);
        session.setProgress(v);
    }
    session.hideProgress();
    Show_Notice(transfer_text::SingleLoadDone);
    Link.Reconnect_Count = kSingleLoadReconnectTicks;
}

// ---- all nine stored scenes ----

void Tarn80X::Sence_Sub4_Fun() {
    if (!Transfer_May_Start()) return;
    TransferSession session(*ui);
    All_Scene_Image.fill('\0', kAllFileSize);
    session.showProgress(0);
    int requests = 0;
    AnswerCopy answer;
    for (int s = 1; s <= kStoredScenes; ++s) {
        for (int k = 0; k < kStoredSceneDownloadBlocks; ++k) {
            session.setProgress(Download_Progress(++requests));
            // Only the answer for this very block is taken: one for another block (a late or
            // repeated answer) would leave this block unread.
            const Expected wanted{kSceneBlockCode, 2 + kBlockSize, s, k};
            const Exchange result =
                Exchange_Frame(Make_Scene_Block_Request(s, k), wanted, kSceneRequestRule, &answer);
            if (result != Exchange::Done) {
                Transfer_Stopped(*this, session, result, transfer_text::DownloadStopped, false);
                return;
            }
            std::copy(answer.data.begin() + 2, answer.data.begin() + 2 + kBlockSize,
                      All_Scene_Image.begin() + (s - 1) * kImageSize + k * kBlockSize);
        }
    }
    Link.Idle_Count = kIdleTicksAfterSend;
    session.hideProgress();
    AllFileSave();
}

void Tarn80X::AllFileSave() {
    const QString path = Ask_File_Name(FileDialogMode::Save, kSaveAllTitle, kAllFilter, "ALL");
    if (path.isEmpty()) return;
    Save_File_Or_Tell(path, All_Scene_Image);
}

bool Tarn80X::AllFileOpen() {
    QByteArray file;
    if (!readCheckedSceneFile(kLoadAllTitle, kAllFilter, true, file)) return false;
    All_Scene_Image = file;
    return true;
}

void Tarn80X::Sence_Sub5_Fun() {
    if (!Transfer_May_Start()) return;
    TransferSession session(*ui);
    if (!AllFileOpen() || !stillReady()) return;

    session.showProgress(0);
    int sends = 0;
    for (int s = 1; s <= kStoredScenes; ++s) {
        const int scene = (s - 1) * kImageSize;
        // Blocks 0..55 of each scene, bytes 0..1119; the unit does not answer block 55, which
        // closes the scene.
        for (int k = 0; k < kStoredSceneUploadBlocks; ++k) {
            const Payload block =
                Make_Scene_Block(s, k, bytesOf(All_Scene_Image, scene + k * kBlockSize));
            const Exchange result =
                k == kStoredSceneUploadBlocks - 1
                    ? Send_Unanswered(block, kSceneBlockRule.idleHold)
                    : Exchange_Frame(block, Expected{kSceneBlockCode}, kSceneBlockRule);
            if (result != Exchange::Done) {
                Transfer_Stopped(*this, session, result, transfer_text::LoadStopped, true);
                return;
            }
            session.setProgress(Upload_All_Progress(++sends));
        }
        Link.Idle_Count = kStoredSceneIdleHold;
        Wait_Ms(kStoredScenePauseMs);
    }
    session.hideProgress();
    Link.Idle_Count = kStoredSceneIdleHold;
    Wait_Ms(kStoredScenePauseMs);
    Show_Notice(transfer_text::AllLoadDone);
    Connect_Unit();
}

} // namespace tarn
