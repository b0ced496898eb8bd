// The window's side of the link: the status bar follows it, and what the read-back brought in
// reaches every control.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/edit_session.h"
#include "views/eq_page.h"
#include "views/outputs.h"
#include "views/scene_actions.h"
#include "views/scene_actions_transfer.h"
#include "views/status_bar.h"
#include "widgets/styles.h"

#include <QAction>
#include <QPushButton>
#include <QSlider>
#include <QUndoStack>

namespace tarn {

void Tarn80X::wireLink() {
    LinkMachine& link = Link_Machine();
    statusBar_ = new StatusBar(
        {ui->BT_CONNECT, ui->Label_Status, ui->TickBar, ui->BT_TRANSFER_STOP}, link, this);
    connect(statusBar_, &StatusBar::readbackApplied, this, [this] {
        showReadBack();
        session_->imageReplaced();
    });
    // A transfer's progress and its outcome show on the status bar.
    connect(sceneActions_, &SceneActions::transferShown, statusBar_, &StatusBar::showTransfer);
    connect(sceneActions_, &SceneActions::transferHidden, statusBar_, &StatusBar::hideTransfer);
    connect(sceneActions_, &SceneActions::savedTo, statusBar_, &StatusBar::showSavedWhere);
    // A refused entry is said beside the status button until the next edit.
    connect(eqPage_, &EqPage::entryRefused, statusBar_, &StatusBar::showPassingNote);
    connect(session_.get(), &EditSession::refreshNeeded, statusBar_,
            [this] { statusBar_->showPassingNote({}); });
    // An edit or an import changes what the window holds: the saved file no longer is it.
    connect(session_->undoStack(), &QUndoStack::indexChanged, statusBar_,
            &StatusBar::clearSavedWhere);
    connect(sceneActions_, &SceneActions::stopCaptionChanged, this,
            [this](const QString& text) { ui->BT_TRANSFER_STOP->setText(text); });
    connect(sceneActions_, &SceneActions::linkStatusChanged, statusBar_,
            &StatusBar::showLinkStatus);
    connect(&link, &LinkMachine::inputSourceReported, channelBar_, &ChannelBar::showInputButtons);
    // The unit's own knob moved: the master strip shows what the unit now holds.
    connect(&link, &LinkMachine::masterVolumeReported, this, [this] { outputs_->refresh(); });
    link.setAutoRun(true);
}

void Tarn80X::unwireLink() {
    LinkMachine& link = Link_Machine();
    link.setAutoRun(false);
    sceneActions_->transfer().abandon();
    link.abandonJob();
    statusBar_->detach();
    disconnect(&link, nullptr, this, nullptr);
    link.closeUnit();
}

void Tarn80X::showReadBack() {
    // Limits every field first; the master mute is judged on the mute bytes as received.
    Apply_Validity_Rules(Param_Image, Pc);
    channelBar_->showInputButtons();
    outputs_->showImage();
    channelBar_->refreshRoles();
    channelBar_->showNoiseGate();
    channelBar_->switchTo(0);
}

} // namespace tarn
