// The window's side of a transfer: whether one may start, the progress display while the link
// machine runs its job, the file dialogs, and reading and saving the files.
#pragma once

#include "link/transfer_job.h"
#include "session/text.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace tarn {

class Tarn80X;

// True from the start of a transfer's job until its result has been handled.
bool Transfer_Running();

// Whether a transfer may start now. One asked while another runs is ignored (and logged); while
// the scene names are still being read the action waits for them (retry runs once they are read,
// or is dropped with the connect notice when the link goes down meanwhile); when the link is not
// ready the user is told to connect first.
bool Transfer_May_Start(std::function<void()> retry);

// Runs the job on the link with the progress display: the scene and option menus disabled, the
// bar shown at firstProgress and following the job, and beside it a Cancel button for a job that
// only reads or a note that a writing job cannot be stopped. done gets the result once the display
// is taken down.
void Run_Transfer(Tarn80X& window, std::unique_ptr<TransferJob> job, int firstProgress,
                  std::function<void(JobResult)> done);

// The window is going away: a transfer's display and a waiting action are dropped (the link's job,
// if any, is stopped by the link's own reset or shutdown).
void Transfer_Abandon();

// The texts of the progress display in the current language (the language switch calls it).
void Transfer_Texts_Update(Tarn80X& window);

// A transfer that could not finish: a failed write has been reported already (and the link is
// offline); otherwise the user is told, and when the unit may hold part of the new data
// (unitChanged), the link starts afresh so that the image is read back from the unit. A cancelled
// job is not reported.
void Transfer_Stopped(Tarn80X& window, JobResult result, const Bilingual& text, bool unitChanged);

enum class FileDialogMode { Open, Save };

// The file dialog, with its title and filter in the current language, opened in the folder of
// the last file of its kind (see Settings_Last_Folder). A save dialog adds the suffix to a name
// typed without one. Empty when cancelled.
QString Ask_File_Name(FileDialogMode mode, const Bilingual& title, const Bilingual& filter,
                      const char* defaultSuffix = nullptr);

} // namespace tarn
