// The firmware upgrade: a "*.bin" image checked and streamed to the unit in 16-byte chunks, each
// acknowledged, then the link dropped while the unit installs it.
#include "views/scene_actions.h"

#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/firmware_image.h"
#include "session/transfer_jobs.h"
#include "session/transfer_texts.h"
#include "session/unit_files.h"
#include "views/scene_actions_history.h"
#include "views/scene_actions_transfer.h"
#include "widgets/file_dialog.h"
#include "widgets/notice.h"

#include <QFileInfo>
#include <array>

namespace tarn {

namespace {

constexpr Bilingual kUpgradeTitle{"加载机器升级固件", "Load unit upgrade firmware"};
constexpr Bilingual kUpgradeFilter{"升级固件(*.bin)", "Upgrade firmware (*.bin)"};

} // namespace

bool SceneActions::UpgradeFileOpen() {
    FW_Image.clear();
    const QString path = Ask_File_Name(FileDialogMode::Open, kUpgradeTitle, kUpgradeFilter);
    if (path.isEmpty()) return false;

    const FileLoad file = Load_Firmware_File(path);
    if (!file.ok()) {
        Show_Warning(file.refusal);
        return false;
    }
    const qint64 size = file.size;
    // The upgrade cannot be taken back: the user sees what goes to which unit, and No is the
    // default.
    const QStringList facts{QFileInfo(path).fileName(), QString::number(size),
                            QString::number(Param_Image.FW_Version())};
    if (!Ask_Question_Default_No(Fill_Text(transfer_text::FirmwareConfirm, facts))) return false;
    FW_Image = file.data;
    return true;
}

void SceneActions::upgradeFirmware() {
    if (!transfer_->mayStart([this] { upgradeFirmware(); })) return;
    if (!UpgradeFileOpen()) return;
    if (!Link_Machine().readyForTransfer()) { // the link may have changed while the dialog was open
        Show_Warning(transfer_text::NotConnected);
        return;
    }
    history_->takeSnapshot(SnapshotReason::Firmware);
    const auto* image = reinterpret_cast<const uint8_t*>(FW_Image.constData());
    transfer_->run(std::make_unique<FirmwareJob>(image, static_cast<uint32_t>(FW_Image.size())), 3,
                   [this](JobResult result) {
                       if (result != JobResult::Done) {
                           transfer_->stopped(result, transfer_text::UpgradeStopped, true);
                           return;
                       }
                       // The unit now installs the image; afterwards the offline tick finds it
                       // again and reads everything back.
                       LinkMachine& link = Link_Machine();
                       link.reopenAfter(kInstallTicks);
                       link.ring().clear();
                       emit linkStatusChanged();
                       Show_Notice(transfer_text::UpgradeDone);
                   });
}

} // namespace tarn
