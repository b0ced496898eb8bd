// The window's side of a transfer: whether one may start, what the window shows while it runs,
// the file dialogs, and reading and saving the files.
#pragma once

#include "i18n/text.h"
#include "presets/unit_transfer.h"

#include <QByteArray>
#include <QString>

namespace tarn {

struct Form;
class Tarn80X;

// True while a transfer's slot runs, its dialogs and closing notice included.
bool Transfer_Running();

// Whether a transfer may start now. One asked while another runs is ignored (and logged); when the
// link is not ready the user is told to connect first.
bool Transfer_May_Start();

// One transfer's hold on the window, for the life of its slot: marks the transfer running and
// disables the scene and option menu buttons; on the way out, by any path, enables them again and
// hides the progress bar if the transfer left it shown.
class TransferSession {
  public:
    explicit TransferSession(Form& ui);
    ~TransferSession();
    TransferSession(const TransferSession&) = delete;
    TransferSession& operator=(const TransferSession&) = delete;

    void showProgress(int value); // sets the bar and shows it
    void setProgress(int value);
    void hideProgress();

  private:
    Form& ui_;
    bool sceneMenuWasEnabled_;
    bool optionMenuWasEnabled_;
    bool progressShown_ = false;
};

// A transfer that could not finish: hides the bar; a failed write has been reported already (and
// the link is offline); otherwise the user is told, and when the unit may hold part of the new data
// (unitChanged), the link starts afresh so that the mirror is read back from the unit.
void Transfer_Stopped(Tarn80X& window, TransferSession& session, Exchange result,
                      const Bilingual& text, bool unitChanged);

enum class FileDialogMode { Open, Save };

// The file dialog, with its title and filter in the current language, opened in the folder of
// the last file of its kind (see Settings_Last_Folder). A save dialog adds the suffix to a name
// typed without one. Empty when cancelled.
QString Ask_File_Name(FileDialogMode mode, const Bilingual& title, const Bilingual& filter,
                      const char* defaultSuffix = nullptr);

} // namespace tarn
