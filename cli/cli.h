// tarn80x-cli: the unit's transfers from a shell, on the link machine and the session library
// (no widgets, no display). Run_Command_Line reads the arguments, runs one subcommand and returns
// the exit status.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tarn {

// Exit statuses, as documented in --help and the README.
enum CliExit : int {
    kExitDone = 0,
    kExitDifferent = 1,    // diff: the two differ
    kExitUsage = 2,        // the command line is wrong
    kExitNoUnit = 3,       // no unit, no access, or another program holds it
    kExitTransfer = 4,     // a transfer stopped, or the unit does not hold what was sent
    kExitFile = 5,         // a file refused, or one that could not be written
    kExitUnconfirmed = 6,  // Ctrl+C after a write began: the unit changed, not confirmed
    kExitNoSound = 7,      // the sound server cannot be reached
    kExitInterrupted = 130 // Ctrl+C during a read: stopped, nothing written
};

// One run of the demo build: the command and the demo options given with it.
struct CliDemoRun {
    QString command;
    QString state;          // --demo: tuned, factory, absent, locked
    QString memoryFile;     // --demo-memory: the unit's memory and stored scenes, kept there
    int unplugAfter = 0;    // --demo-unplug-after: frames until the unit is pulled out (0: never)
    int interruptAfter = 0; // --demo-interrupt-after: frames until Ctrl+C comes (0: never)
    QString clock;          // --demo-clock: real, jump, or empty (as the command goes)
};

// The demo build's simulated unit, started once the command line is read.
struct CliDemo {
    // False, with the reason in error, refuses the run's demo options.
    std::function<bool(const CliDemoRun& run, QString* error)> start;
    // Before the program ends (the memory file is written).
    std::function<void()> finish;
};

// args: the whole command line, the program name first. demo: the demo build's hooks, or null.
int Run_Command_Line(const QStringList& args, const CliDemo* demo);

} // namespace tarn
