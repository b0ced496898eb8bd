// What the application remembers between runs, in the platform's usual place for user settings
// (~/.config/tarn80x/tarn80x.ini on Linux): the language, the window position, the delay unit,
// the last folder of each kind of file (widgets/file_dialog.*) and the speaker distances
// (tuning/distance_form.cpp). Nothing about the unit is stored: it is read afresh.
#pragma once

#include <QString>

namespace tarn {

class Tarn80X;

// The window as it was last left: language, position and delay unit.
void Settings_Restore(Tarn80X& window);
void Settings_Save(const Tarn80X& window);

} // namespace tarn
