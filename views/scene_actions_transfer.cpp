#include "views/scene_actions_transfer.h"

#include "link/link_machine.h"
#include "session/diag.h"
#include "session/transfer_texts.h"
#include "views/scene_actions.h"
#include "widgets/notice.h"

#include <QPushButton>

namespace tarn {

namespace {

// The running transfer's hold on the view: the menus it disabled, and what runs at its end.
struct Session {
    SceneActions* view = nullptr;
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
    SceneActions& view = *session->view;
    emit view.transferHidden();
    view.sceneButton()->setEnabled(session->sceneMenuWasEnabled);
    view.optionButton()->setEnabled(session->optionMenuWasEnabled);
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

void Run_Transfer(SceneActions& view, std::unique_ptr<TransferJob> job, int firstProgress,
                  std::function<void(JobResult)> done) {
    LinkMachine& link = Link_Machine();
    auto session = std::make_unique<Session>();
    session->view = &view;
    session->sceneMenuWasEnabled = view.sceneButton()->isEnabled();
    session->optionMenuWasEnabled = view.optionButton()->isEnabled();
    session->done = std::move(done);
    const bool readOnly = job->readOnly();
    if (!link.startJob(std::move(job))) {
        TARN_DIAG(QStringList{QStringLiteral("the link runs a job already; transfer not started")});
        return;
    }
    view.sceneButton()->setEnabled(false);
    view.optionButton()->setEnabled(false);
    emit view.transferShown(firstProgress, readOnly);
    session->finished = QObject::connect(&link, &LinkMachine::jobFinished, endSession);
    g_session = std::move(session);
}

void Transfer_Abandon() {
    dropWaiting();
    if (!g_session) return;
    QObject::disconnect(g_session->finished);
    g_session.reset();
}

void Transfer_Stopped(SceneActions& view, JobResult result, const Bilingual& text,
                      bool unitChanged) {
    if (result == JobResult::WriteFailed || result == JobResult::Cancelled) return;
    if (unitChanged) {
        Link_Machine().goOffline();
        emit view.linkStatusChanged();
    }
    Show_Notice(text);
}

} // namespace tarn
