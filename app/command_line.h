// The command line, read once QApplication has taken its own options (-platform, -style, -session,
// -reverse ...) out of it, and the check that there is a display to show the window on.
#pragma once

#include <QString>
#include <QStringList>

namespace tarn {

struct CommandLine {
    enum class Action { Run, Help, Version, Error } action = Action::Run;
    QString output;    // what Help, Version and Error print
    QString demoState; // --demo's value (demo build only), empty when not given
};

// args: what the application object left of the command line, the program name first. withDemo:
// the demo build, which also takes --demo.
CommandLine Parse_Command_Line(const QStringList& args, bool withDemo);

// Whether Qt will find a window system: a platform chosen by QT_QPA_PLATFORM or -platform, or an
// X11 or Wayland display. Without one Qt would abort with a core dump.
bool Display_Available(const QStringList& args);

// The message for a missing display, in both languages (the language setting is not read yet).
QString No_Display_Message();

} // namespace tarn
