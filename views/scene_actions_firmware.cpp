// The firmware upgrade: a "*.bin" image checked and streamed to the unit in 16-byte chunks, each
// acknowledged, then the link dropped while the unit installs it.
#include "views/scene_actions.h"

#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/firmware_image.h"
#include "session/transfer_jobs.h"
#include "session/transfer_texts.h"
#include "views/scene_actions_transfer.h"
#include "widgets/file_dialog.h"
#include "widgets/file_notices.h"
#include "widgets/notice.h"

#include <QFileInfo>
#include <array>

namespace tarn {

namespace {

constexpr Bilingual kUpgradeTitle{"加载机器升级固件", "Load unit upgrade firmware"};
constexpr Bilingual kUpgradeFilter{"升级固件(*.bin)", "Upgrade firmware (*.bin)"};

// The unit installs the image and is left alone meanwhile: the five seconds the notice tells the
// user of.
constexpr uint16_t kInstallTicks = 2500;

} // namespace

bool SceneActions::UpgradeFileOpen() {
    FW_Image.clear();
    const QString path = Ask_File_Name(FileDialogMode::Open, kUpgradeTitle, kUpgradeFilter);
    if (path.isEmpty()) return false;

    // One byte past the largest image is enough to see a file is too large.
    QByteArray file;
    qint64 size = 0;
    // A file that cannot be read cannot supply its signature either.
    if (!Read_Chosen_File(path, kFirmwareMaxSize + 1, file, transfer_text::FirmwareNotMatch, &size))
        return false;
    switch (Check_Firmware(reinterpret_cast<const uint8_t*>(file.constData()),
                           static_cast<uint32_t>(file.size()), static_cast<uint64_t>(size))) {
    case FirmwareCheck::NotMatch:
        Show_Notice(transfer_text::FirmwareNotMatch);
        return false;
    case FirmwareCheck::TooLarge:
        Show_Notice(transfer_text::FirmwareTooLarge);
        return false;
    case FirmwareCheck::Ok:
        break;
    }
    // The whole file, signature included, is the image.
    if (file.size() != size) {
        Show_Notice(transfer_text::FirmwareReadError);
        return false;
    }
    // The upgrade cannot be taken back: the user sees what goes to which unit, and No is the
    // default.
    const QStringList facts{QFileInfo(path).fileName(), QString::number(size),
                            QString::number(Param_Image.FW_Version())};
    if (!Ask_Question_Default_No(Fill_Text(transfer_text::FirmwareConfirm, facts))) return false;
    FW_Image = file;
    return true;
}

void SceneActions::upgradeFirmware() {
    if (!Transfer_May_Start([this] { upgradeFirmware(); })) return;
    if (!UpgradeFileOpen()) return;
    if (!Link_Machine().readyForTransfer()) { // the link may have changed while the dialog was open
        Show_Notice(transfer_text::NotConnected);
        return;
    }
    const auto* image = reinterpret_cast<const uint8_t*>(FW_Image.constData());
    Run_Transfer(*this,
                 std::make_unique<FirmwareJob>(image, static_cast<uint32_t>(FW_Image.size())), 3,
                 [this](JobResult result) {
                     if (result != JobResult::Done) {
                         Transfer_Stopped(*this, result, transfer_text::UpgradeStopped, true);
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
