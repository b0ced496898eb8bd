// Style sheets of the two-state buttons (channel, link, phase, mute, Sync, input).
#pragma once

#include <QString>

class QPushButton;

namespace tarn {

// The two-state looks of the strip buttons, each sheet addressed to the button by object name.
enum class ButtonLook {
    Plain,    // rgb(72, 72, 73), white text
    Selected, // rgb(204, 204, 204), black text: channel, link, master mute and input buttons
    Lit,      // rgb(204, 204, 204), red text: engaged phase, mute and Sync buttons
};
QString Button_Sheet(const QString& objectName, ButtonLook look);
// Sets the sheet unless the button already has it (restyling is the costly part).
void Set_Look(QPushButton* button, ButtonLook look);

} // namespace tarn
