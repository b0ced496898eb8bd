#include "presets/transfer_session.h"

#include "app/diag.h"
#include "app/form.h"
#include "app/notice.h"
#include "app/settings.h"
#include "app/tarn80x.h"
#include "link/link_tick.h"
#include "presets/transfer_texts.h"
#include "presets/unit_transfer.h"

#include <QDir>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>

namespace tarn {

namespace {
bool g_transferRunning = false;
} // namespace

bool Transfer_Running() {
    return g_transferRunning;
}

bool Transfer_May_Start() {
    if (g_transferRunning) {
        TARN_DIAG(QStringList{QStringLiteral("a transfer is running; request ignored")});
        return false;
    }
    if (!Link_Ready_For_Transfer()) {
        Show_Notice(transfer_text::NotConnected);
        return false;
    }
    return true;
}

TransferSession::TransferSession(Form& ui)
    : ui_(ui), sceneMenuWasEnabled_(ui.BT_SENCE->isEnabled()),
      optionMenuWasEnabled_(ui.BT_OPTION->isEnabled()) {
    g_transferRunning = true;
    ui_.BT_SENCE->setEnabled(false);
    ui_.BT_OPTION->setEnabled(false);
}

TransferSession::~TransferSession() {
    hideProgress();
    ui_.BT_SENCE->setEnabled(sceneMenuWasEnabled_);
    ui_.BT_OPTION->setEnabled(optionMenuWasEnabled_);
    g_transferRunning = false;
}

void TransferSession::showProgress(int value) {
    ui_.TickBar->setValue(value);
    ui_.TickBar->show();
    progressShown_ = true;
}

void TransferSession::setProgress(int value) {
    ui_.TickBar->setValue(value);
}

void TransferSession::hideProgress() {
    if (!progressShown_) return;
    ui_.TickBar->hide();
    progressShown_ = false;
}

void Transfer_Stopped(Tarn80X& window, TransferSession& session, Exchange result,
                      const Bilingual& text, bool unitChanged) {
    session.hideProgress();
    if (result == Exchange::WriteFailed) return;
    if (unitChanged) {
        Link_Go_Offline();
        window.Show_Link_Status();
    }
    Show_Notice(text);
}

QString Ask_File_Name(FileDialogMode mode, const Bilingual& title, const Bilingual& filter,
                      const char* defaultSuffix) {
    const QString pattern = tr2(filter);
    // No parent: the dialog would take on the main window's dark style sheet.
    QFileDialog dialog(nullptr, tr2(title), Settings_Last_Folder(pattern), pattern);
    dialog.setObjectName(QStringLiteral("TransferFileDialog"));
    if (mode == FileDialogMode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (defaultSuffix) dialog.setDefaultSuffix(QString::fromUtf8(defaultSuffix));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QString path = dialog.selectedFiles().value(0);
    Settings_Remember_File(pattern, path);
    return path;
}

} // namespace tarn
