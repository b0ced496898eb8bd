// The firmware upgrade: a "*.bin" image checked and streamed to the unit in 16-byte chunks, each
// acknowledged, then the link dropped while the unit installs it.
#include "app/form.h"
#include "app/notice.h"
#include "app/tarn80x.h"
#include "link/link_state.h"
#include "link/link_tick.h"
#include "model/commands.h"
#include "model/param_image.h"
#include "presets/file_io.h"
#include "presets/firmware_image.h"
#include "presets/transfer_session.h"
#include "presets/transfer_texts.h"
#include "presets/unit_transfer.h"

#include <QFileInfo>
#include <array>

namespace tarn {

namespace {

constexpr Bilingual kUpgradeTitle{"加载机器升级固件", "Load unit upgrade firmware"};
constexpr Bilingual kUpgradeFilter{"升级固件(*.bin)", "Upgrade firmware (*.bin)"};

constexpr uint8_t kChunkAck = 0xB0;
// Pacing: after every chunk, and a little more after every 256.
constexpr uint16_t kChunkPauseMs = 1;
constexpr uint16_t kEvery256PauseMs = 5;
// Keep-alive held off while the unit installs the image.
constexpr uint16_t kInstallIdleHold = 20000;

} // namespace

bool Tarn80X::UpgradeFileOpen() {
    FW_Image.clear();
    const QString path = Ask_File_Name(FileDialogMode::Open, kUpgradeTitle, kUpgradeFilter);
    if (path.isEmpty()) return false;

    // One byte past the largest image is enough to see a file is too large.
    QByteArray data;
    qint64 size = 0;
    // A file that cannot be read cannot supply its signature either.
    if (!Read_Chosen_File(path, kFirmwareMaxSize + 1, data, transfer_text::FirmwareNotMatch, &size))
        return false;
    switch (Check_Firmware(reinterpret_cast<const uint8_t*>(data.constData()),
                           static_cast<uint32_t>(data.size()), static_cast<uint64_t>(size))) {
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
    if (data.size() != size) {
        Show_Notice(transfer_text::FirmwareReadError);
        return false;
    }
    // The upgrade cannot be taken back: the user sees what goes to which unit, and No is the
    // default.
    const QStringList facts{QFileInfo(path).fileName(), QString::number(size),
                            QString::number(Param_Image.FW_Version())};
    if (!Ask_Question_Default_No(Fill_Text(transfer_text::FirmwareConfirm, facts))) return false;
    FW_Image = data;
    return true;
}

void Tarn80X::Option_Sub5_Fun() {
    if (!Transfer_May_Start()) return;
    TransferSession session(*ui);
    if (!UpgradeFileOpen()) return;
    if (!Link_Ready_For_Transfer()) { // the link may have changed while the dialog was open
        Show_Notice(transfer_text::NotConnected);
        return;
    }

    const auto* image = reinterpret_cast<const uint8_t*>(FW_Image.constData());
    const auto size = static_cast<uint32_t>(FW_Image.size());
    uint32_t pos = 0;
    uint32_t acknowledged = 0; // also the number of the next numbered chunk
    std::array<uint8_t, kChunkSize> chunk{};
    session.showProgress(3);
    for (;;) {
        if (Firmware_Chunk(image, size, pos, chunk)) {
            const Exchange result = Send_Unanswered(
                Make_Upgrade_Frame(kFinalChunkNumber, chunk.data()), kInstallIdleHold);
            if (result == Exchange::Done) break;
            Transfer_Stopped(*this, session, result, transfer_text::UpgradeStopped, true);
            return;
        }
        // A chunk without acknowledgement goes again, the same bytes under the same number.
        const Exchange result =
            Exchange_Frame(Make_Upgrade_Frame(static_cast<uint16_t>(acknowledged), chunk.data()),
                           Expected{kChunkAck}, kFirmwareChunkRule);
        if (result != Exchange::Done) {
            Transfer_Stopped(*this, session, result, transfer_text::UpgradeStopped, true);
            return;
        }
        pos += kChunkSize;
        ++acknowledged;
        Wait_Ms(kChunkPauseMs);
        session.setProgress(Firmware_Progress(acknowledged, size));
        if ((acknowledged & 0xFF) == 0) Wait_Ms(kEvery256PauseMs);
    }

    // The unit now installs the image and goes away for a while; the offline tick finds it again
    // and reads everything back.
    Link_Go_Offline();
    Link.Idle_Count = kInstallIdleHold;
    Link.Rx_Read = 0;
    Link.Rx_Write = 0;
    Show_Link_Status();
    session.hideProgress();
    Show_Notice(transfer_text::UpgradeDone);
}

} // namespace tarn
