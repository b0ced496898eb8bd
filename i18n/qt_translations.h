// Qt's own texts (the buttons of message boxes, file dialogs) follow the chosen language: in
// Chinese the system's Qt translations are installed, in English they are removed.
#pragma once

namespace tarn {

// Returns whether Qt's Chinese texts are in place after the call (false in English, and when the
// translations are not installed on this system).
bool Qt_Translations_Apply(bool english);

} // namespace tarn
