// The file dialogs of the views, opened where the last file of their kind was chosen, and the one
// settings store of the application (~/.config/tarn80x/tarn80x.ini on Linux) that remembers it.
#pragma once

#include "session/text.h"

#include <QSettings>
#include <QString>

namespace tarn {

// The application's settings; every part of it that remembers something uses this one file.
QSettings App_Settings();

// The folder a file dialog for this filter (its "*.EXT" pattern names the kind of file) opens in:
// the folder of the last file of that kind chosen, else the home folder.
QString Settings_Last_Folder(const QString& filter);
void Settings_Remember_File(const QString& filter, const QString& path);

enum class FileDialogMode { Open, Save };

// The file dialog, with its title and filter in the current language, opened in the folder of
// the last file of its kind (see Settings_Last_Folder). A save dialog adds to a name typed
// without a suffix that of the filter chosen in it ("*.json"), or defaultSuffix for a filter
// without one; none when defaultSuffix is null. Empty when cancelled.
QString Ask_File_Name(FileDialogMode mode, const Bilingual& title, const Bilingual& filter,
                      const char* defaultSuffix = nullptr);

} // namespace tarn
