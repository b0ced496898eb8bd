// The main window as a desktop application: its icon, the settings it was last left with, Qt's
// own texts in the chosen language, and what BT_CONNECT and the notices say about reaching the
// unit.
#pragma once

#include <QIcon>

namespace tarn {

class Tarn80X;

// Before the application object: the form is laid out in fixed pixels, so Qt scales it as a whole
// on high-DPI screens, by the desktop's own factor (not rounded), with images drawn for twice the
// size.
void App_Set_Scaling_Attributes();

// The application icon at every drawn size.
QIcon App_Icon();

// End of construction: icon, settings, Qt's translations, the unit-access reports.
void Desktop_Attach(Tarn80X& window);
// Start of destruction: the settings are written.
void Desktop_Detach(Tarn80X& window);

} // namespace tarn
