// What the application remembers between runs, in the platform's usual place for user settings
// (~/.config/tarn80x/tarn80x.conf on Linux): the language, the window position, the delay unit and
// the last folder of each kind of file. Nothing about the unit is stored: it is read afresh.
#pragma once

#include <QString>

namespace tarn {

class Tarn80X;

// The window as it was last left: language, position and delay unit.
void Settings_Restore(Tarn80X& window);
void Settings_Save(const Tarn80X& window);

// The folder a file dialog for this filter (its "*.EXT" pattern names the kind of file) opens in:
// the folder of the last file of that kind chosen, else the home folder.
QString Settings_Last_Folder(const QString& filter);
void Settings_Remember_File(const QString& filter, const QString& path);

} // namespace tarn
