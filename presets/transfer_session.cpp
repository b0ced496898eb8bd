#include "presets/transfer_session.h"

#include "app/form.h"
#include "app/settings.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "session/diag.h"
#include "session/transfer_texts.h"
#include "views/status_bar.h"
#include "widgets/notice.h"

#include <QDir>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>

namespace tarn {

namespace {

// The running transfer's hold on the window: the menus it disabled, and what runs at its end.
struct Session {
    Tarn80X* window = nullptr;
    bool sceneMenuWasEnabled = true;
    bool optionMenuWasEnabled = true;
    std::function<void(JobResult)> done;
    QMetaObject::Connection finished;
};
std::unique_ptr<Session> g_session;

// An action waiting for the scene names to be read.
std::function<void()> g_waiting;
QMetaObject::Connection g_waitIdle;
QMetaObject::Connection g_waitStatus;

void dropWaiting() {
    QObject::disconnect(g_waitIdle);
    QObject::disconnect(g_waitStatus);
    g_waiting = nullptr;
}

void endSession(JobResult result) {
    std::unique_ptr<Session> session = std::move(g_session);
    QObject::disconnect(session->finished);
    Form& ui = *session->window->form();
    session->window->statusBar().hideTransfer();
    ui.BT_SENCE->setEnabled(session->sceneMenuWasEnabled);
    ui.BT_OPTION->setEnabled(session->optionMenuWasEnabled);
    if (session->done) session->done(result);
}

} // namespace

bool Transfer_Running() {
    return g_session != nullptr;
}

bool Transfer_May_Start(std::function<void()> retry) {
    LinkMachine& link = Link_Machine();
    if (g_session || g_waiting) {
        TARN_DIAG(QStringList{QStringLiteral("a transfer is running; request ignored")});
        return false;
    }
    if (link.readingNames() && link.readyForCommands() && link.reconnectCount() == 0 && retry) {
        // Online already, only the scene names are still coming: a few ticks.
        g_waiting = std::move(retry);
        g_waitIdle = QObject::connect(&link, &LinkMachine::becameIdle, [] {
            std::function<void()> action = std::move(g_waiting);
            dropWaiting();
            if (action) action();
        });
        g_waitStatus = QObject::connect(&link, &LinkMachine::statusChanged, [] {
            if (Link_Machine().online()) return;
            dropWaiting();
            Show_Notice(transfer_text::NotConnected);
        });
        return false;
    }
    if (!link.readyForTransfer()) {
        Show_Notice(transfer_text::NotConnected);
        return false;
    }
    return true;
}

void Run_Transfer(Tarn80X& window, std::unique_ptr<TransferJob> job, int firstProgress,
                  std::function<void(JobResult)> done) {
    LinkMachine& link = Link_Machine();
    Form& ui = *window.form();
    auto session = std::make_unique<Session>();
    session->window = &window;
    session->sceneMenuWasEnabled = ui.BT_SENCE->isEnabled();
    session->optionMenuWasEnabled = ui.BT_OPTION->isEnabled();
    session->done = std::move(done);
    const bool readOnly = job->readOnly();
    if (!link.startJob(std::move(job))) {
        TARN_DIAG(QStringList{QStringLiteral("the link runs a job already; transfer not started")});
        return;
    }
    ui.BT_SENCE->setEnabled(false);
    ui.BT_OPTION->setEnabled(false);
    window.statusBar().showTransfer(firstProgress, readOnly);
    session->finished = QObject::connect(&link, &LinkMachine::jobFinished, endSession);
    g_session = std::move(session);
}

void Transfer_Abandon() {
    dropWaiting();
    if (!g_session) return;
    QObject::disconnect(g_session->finished);
    g_session.reset();
}

void Transfer_Texts_Update(Tarn80X& window) {
    window.statusBar().showTransferTexts();
}

void Transfer_Stopped(Tarn80X& window, JobResult result, const Bilingual& text, bool unitChanged) {
    if (result == JobResult::WriteFailed || result == JobResult::Cancelled) return;
    if (unitChanged) {
        Link_Machine().goOffline();
        window.statusBar().showLinkStatus();
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
