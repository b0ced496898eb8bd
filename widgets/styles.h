// The looks every view shares: the two-state button sheets (channel, link, phase, mute, Sync,
// input) and the interface font.
#pragma once

#include <QString>

class QFont;
class QMenu;
class QWidget;
class QPushButton;

namespace tarn {

// The common two-state look of push buttons.
inline constexpr char kStyleSelected[] =
    "background-color: rgb(204, 204, 204);color:black;border:1px groove gray;border-radius:6px;"
    "padding:1px 4px;border-style: outset;";
inline constexpr char kStyleUnselected[] =
    "background-color: rgb(72, 72, 73);color:white;border:1px groove gray;border-radius:6px;"
    "padding:1px 4px;border-style: outset;";

// Radio choices on a dark dialog: an empty ring, and a filled blue dot with bold text for the
// chosen one, so that the choice reads at a glance.
inline constexpr char kRadioChoiceSheet[] =
    "QRadioButton{color:white;}"
    "QRadioButton:checked{font-weight:bold;}"
    "QRadioButton::indicator{width:10px;height:10px;border-radius:7px;"
    "border:2px solid rgb(192, 192, 192);background-color:transparent;}"
    "QRadioButton::indicator:checked{border:2px solid white;"
    "background-color:rgb(65, 105, 225);}";

// The interface font at a size in pixels. Forms laid out in fixed pixels use it so that their text
// does not grow with the desktop's font DPI (Qt scales whole windows on high-DPI screens).
QFont Fixed_Font(int pixels);
constexpr int kFontPixels = 12;

// A drop-down menu in the window's dark look.
QMenu* darkMenu(QWidget* parent);

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
