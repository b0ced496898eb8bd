#include "views/scene_actions_transfer.h"

#include "link/link_machine.h"
#include "session/diag.h"
#include "session/transfer_texts.h"
#include "views/scene_actions.h"
#include "widgets/notice.h"

#include <QPushButton>

namespace tarn {

SceneTransfer::SceneTransfer(SceneActions& view_) : view(view_) {}

SceneTransfer::~SceneTransfer() {
    abandon();
}

void SceneTransfer::dropWaiting() {
    QObject::disconnect(waitIdle);
    QObject::disconnect(waitStatus);
    waiting = nullptr;
}

void SceneTransfer::end(JobResult result) {
    // done may start the next transfer: this one is over first.
    std::unique_ptr<Current> ended = std::move(current);
    QObject::disconnect(ended->finished);
    emit view.transferHidden();
    view.sceneButton()->setEnabled(ended->sceneMenuWasEnabled);
    view.optionButton()->setEnabled(ended->optionMenuWasEnabled);
    if (ended->done) ended->done(result);
}

bool SceneTransfer::mayStart(std::function<void()> retry) {
    LinkMachine& link = Link_Machine();
    if (current || waiting) {
        TARN_DIAG(QStringList{QStringLiteral("a transfer is running; request ignored")});
        return false;
    }
    if (link.readingNames() && link.readyForCommands() && link.reconnectCount() == 0 && retry) {
        // Online already, only the scene names are still coming: a few ticks.
        waiting = std::move(retry);
        waitIdle = QObject::connect(&link, &LinkMachine::becameIdle, &view, [this] {
            std::function<void()> action = std::move(waiting);
            dropWaiting();
            if (action) action();
        });
        waitStatus = QObject::connect(&link, &LinkMachine::statusChanged, &view, [this] {
            if (Link_Machine().online()) return;
            dropWaiting();
            Show_Warning(transfer_text::NotConnected);
        });
        return false;
    }
    if (!link.readyForTransfer()) {
        Show_Warning(transfer_text::NotConnected);
        return false;
    }
    return true;
}

void SceneTransfer::run(std::unique_ptr<TransferJob> job, int firstProgress,
                        std::function<void(JobResult)> done) {
    LinkMachine& link = Link_Machine();
    auto started = std::make_unique<Current>();
    started->sceneMenuWasEnabled = view.sceneButton()->isEnabled();
    started->optionMenuWasEnabled = view.optionButton()->isEnabled();
    started->done = std::move(done);
    const bool readOnly = job->readOnly();
    if (!link.startJob(std::move(job))) {
        TARN_DIAG(QStringList{QStringLiteral("the link runs a job already; transfer not started")});
        return;
    }
    view.sceneButton()->setEnabled(false);
    view.optionButton()->setEnabled(false);
    emit view.transferShown(firstProgress, readOnly);
    started->finished = QObject::connect(&link, &LinkMachine::jobFinished, &view,
                                         [this](JobResult result) { end(result); });
    current = std::move(started);
}

void SceneTransfer::abandon() {
    dropWaiting();
    if (!current) return;
    QObject::disconnect(current->finished);
    current.reset();
}

void SceneTransfer::stopped(JobResult result, const Bilingual& text, bool unitChanged) {
    if (result == JobResult::WriteFailed || result == JobResult::Cancelled) return;
    if (unitChanged) {
        Link_Machine().goOffline();
        emit view.linkStatusChanged();
    }
    Show_Error(text);
}

} // namespace tarn
