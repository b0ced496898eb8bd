#include "views/status_bar.h"

#include "link/device_access.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/access_texts.h"
#include "session/text.h"
#include "widgets/notice.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace tarn {

StatusBar::StatusBar(const Widgets& widgets, LinkMachine& link_, QObject* parent)
    : QObject(parent), ui(widgets), link(link_) {
    connect(&link, &LinkMachine::statusChanged, this, &StatusBar::showLinkStatus);
    connect(&link, &LinkMachine::readbackProgress, this, [this](int block) {
        ui.TickBar->setValue(block);
        ui.TickBar->show();
        showNote();
    });
    connect(&link, &LinkMachine::readbackEnded, this, [this] {
        ui.TickBar->hide();
        showNote();
    });
    connect(&link, &LinkMachine::readbackComplete, this, [this] {
        ui.TickBar->hide();
        clearSavedWhere(); // the window now shows what the unit holds, not what was saved
        showNote();
        emit readbackApplied();
    });
    connect(&link, &LinkMachine::writeFailed, this, [] { Show_Error(txt::CommError); });
    connect(&link, &LinkMachine::unitRefused, this, [] { Show_Error(txt::NameMismatch); });
    connect(&link, &LinkMachine::unitSilent, this, [] { Show_Error(txt::UnitSilent); });
    connect(&link, &LinkMachine::unitTrouble, this, [] { Show_Error(txt::UnitTrouble); });
    connect(&link, &LinkMachine::severalUnits, this, [] { Show_Warning(txt::SeveralUnits); });
    // Only shown (and so only enabled) while a job that only reads runs.
    connect(ui.BT_TRANSFER_STOP, &QPushButton::clicked, this, [this] { link.cancelJob(); });
    ui.TickBar->hide();
    ui.BT_CONNECT->setEnabled(false);
    // Notes carry typed text and file names: never read as markup.
    ui.Label_Status->setTextFormat(Qt::PlainText);
    showNote();
}

void StatusBar::detach() {
    disconnect(&link, nullptr, this, nullptr);
    disconnect(progress);
}

void StatusBar::showLinkStatus() {
    ui.BT_CONNECT->setText(tr2(link.statusLevel() == 2 ? txt::StatusOnline : txt::StatusOffline));
    showAccessStatus();
    showNote();
}

void StatusBar::showAccessStatus() {
    const DeviceAccess& access = Link_Machine().access();
    QString tip;
    switch (access.state()) {
    case UnitAccess::Unknown:
    case UnitAccess::Absent:
        tip = tr2(txt::AccessSearching);
        break;
    case UnitAccess::Locked:
        tip = tr2(txt::AccessLockedTip).arg(access.detail());
        break;
    case UnitAccess::InUse:
        tip = tr2(txt::AccessInUseTip).arg(access.detail());
        break;
    case UnitAccess::Opened:
        // Opened, but failing every handshake: that is what the user needs to know.
        tip = tr2(link.inTrouble() ? txt::StatusTrouble : txt::AccessOpened);
        break;
    }
    ui.BT_CONNECT->setToolTip(tip);
}

void StatusBar::showNote() {
    const bool english = Pc.Lang_EN != 0;
    QString note;
    if (!passing.isEmpty()) {
        note = passing.in(english);
    } else if (link.statusLevel() == 0) {
        note = tr2(txt::StatusOfflineNote, english);
        savedWhere[0].clear(); // that file came from a unit no longer here
        savedWhere[1].clear();
    } else {
        note = savedWhere[english ? 1 : 0];
    }
    QLabel* label = ui.Label_Status;
    // A long path loses its middle, not the file name; the tooltip keeps it whole.
    label->setText(
        label->fontMetrics().elidedText(note, Qt::ElideMiddle, label->contentsRect().width()));
    label->setToolTip(note);
    label->setVisible(!note.isEmpty() && ui.TickBar->isHidden());
}

void StatusBar::showSavedWhere(const QString& path) {
    const BilingualText text = Fill_Text(txt::StatusSavedTo, {QDir::toNativeSeparators(path)});
    savedWhere[0] = text.zh;
    savedWhere[1] = text.en;
    passing = {};
    showNote();
}

void StatusBar::showPassingNote(const BilingualText& text) {
    if (text.isEmpty() && passing.isEmpty()) return; // every edit clears it: keep that cheap
    passing = text;
    showNote();
}

void StatusBar::clearSavedWhere() {
    if (savedWhere[0].isEmpty() && savedWhere[1].isEmpty()) return;
    savedWhere[0].clear();
    savedWhere[1].clear();
    showNote();
}

void StatusBar::showTransfer(int firstProgress, bool readOnly) {
    // A new transfer is the next act: a save says where its file went when it ends.
    savedWhere[0].clear();
    savedWhere[1].clear();
    ui.TickBar->setValue(firstProgress);
    ui.TickBar->show();
    ui.BT_TRANSFER_STOP->setEnabled(readOnly);
    ui.BT_TRANSFER_STOP->show();
    showNote();
    progress = connect(&link, &LinkMachine::jobProgress, ui.TickBar, &QProgressBar::setValue);
    showTransferTexts();
}

void StatusBar::hideTransfer() {
    disconnect(progress);
    ui.TickBar->hide();
    ui.BT_TRANSFER_STOP->hide();
    showNote();
}

void StatusBar::showTransferTexts() {
    QPushButton* stop = ui.BT_TRANSFER_STOP;
    stop->setText(tr2(stop->isEnabled() ? txt::TransferCancel : txt::TransferCannotStop));
}

} // namespace tarn
