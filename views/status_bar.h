// The status bar of the top band: BT_CONNECT with the link's status and how the unit is reached,
// the note beside it (edits stay on the PC, or where the last file went), the progress bar of the
// read-back and of transfers with its stop button, and the notices the link raises.
#pragma once

#include "session/text.h"

#include <QMetaObject>
#include <QObject>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tarn {

class LinkMachine;

class StatusBar : public QObject {
    Q_OBJECT

  public:
    struct Widgets {
        QPushButton* BT_CONNECT = nullptr;
        // Where the progress bar goes: the note while there is no bar.
        QLabel* Label_Status = nullptr;
        QProgressBar* TickBar = nullptr;
        // Beside the bar during a transfer: stops a job that only reads, or says that it cannot.
        QPushButton* BT_TRANSFER_STOP = nullptr;
    };

    // Follows the link from here on; the widgets stay the window's children.
    StatusBar(const Widgets& widgets, LinkMachine& link, QObject* parent);

    // BT_CONNECT's text from the link's status, its tooltip and the note.
    void showLinkStatus();
    // BT_CONNECT's tooltip from how the unit is reached, in the current language. Its text stays
    // the link status.
    void showAccessStatus();
    // The note beside BT_CONNECT: that edits stay on the PC while no unit is connected, else
    // where the last file was saved. Hidden while the progress bar takes its place.
    void showNote();
    void showSavedWhere(const QString& path);
    // A note on the last act that did not happen as typed (an entry's refused text and the range
    // it takes); shown in place of the others until the next edit or note replaces it. An empty
    // text takes it away.
    void showPassingNote(const BilingualText& text);
    // The next act replaced what the note said: a load, an import, an edit, a read-back.
    void clearSavedWhere();

    // A transfer's display: the bar from firstProgress following the job, and beside it a Cancel
    // button for a job that only reads or a note that a writing job cannot be stopped.
    void showTransfer(int firstProgress, bool readOnly);
    void hideTransfer();
    // The stop button's text in the current language.
    void showTransferTexts();

    // The window is going away: nothing from the link reaches the widgets any more.
    void detach();

  signals:
    // The read-back is in and the bar is down: every view shows the image.
    void readbackApplied();

  private:
    Widgets ui;
    LinkMachine& link;
    QString savedWhere[2]; // the note after a save, in Chinese and in English
    BilingualText passing;
    QMetaObject::Connection progress;
};

} // namespace tarn
