// What the application remembers between runs, in the platform's usual place for user settings
// (~/.config/tarn80x/tarn80x.ini on Linux): the language, the window position, the delay unit,
// the last folder of each kind of file (widgets/file_dialog.*) and the speaker distances. Nothing
// about the unit is stored: it is read afresh.
#pragma once

#include <QString>
#include <array>

namespace tarn {

class Tarn80X;

// The window as it was last left: language, position and delay unit.
void Settings_Restore(Tarn80X& window);
void Settings_Save(const Tarn80X& window);

// The distances last typed into the distance dialog, CH1 first, as typed (empty: none).
std::array<QString, 6> Settings_Distances();
void Settings_Save_Distances(const std::array<QString, 6>& texts);

} // namespace tarn
