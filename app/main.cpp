#include "app/command_line.h"
#include "app/desktop.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"

#include <QApplication>
#include <cstdio>

#ifdef TARN_DEMO_BUILD
#include "sim/unit_sim.h"
constexpr bool kDemoBuild = true;
#else
constexpr bool kDemoBuild = false;
#endif

int main(int argc, char* argv[]) {
    tarn::App_Set_Scaling_Attributes();
    QStringList given;
    for (int i = 0; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    // Without a window system Qt's default platform aborts; the headless one still lets --help and
    // --version answer before the run ends for want of a display.
    const bool display = tarn::Display_Available(given);
    if (!display) qputenv("QT_QPA_PLATFORM", "minimal");

    // QApplication takes its own options (-platform, -style, -session, -reverse ...) first.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarn80x"));
    QApplication::setApplicationVersion(QStringLiteral(TARN_VERSION));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarn80X"));
    const tarn::CommandLine command =
        tarn::Parse_Command_Line(QCoreApplication::arguments(), kDemoBuild);
    switch (command.action) {
    case tarn::CommandLine::Action::Help:
    case tarn::CommandLine::Action::Version:
        std::fputs(command.output.toLocal8Bit().constData(), stdout);
        return 0;
    case tarn::CommandLine::Action::Error:
        std::fputs(command.output.toLocal8Bit().constData(), stderr);
        return 2;
    case tarn::CommandLine::Action::Run:
        break;
    }
    if (!display) {
        std::fputs(tarn::No_Display_Message().toLocal8Bit().constData(), stderr);
        return 1;
    }
#ifdef TARN_DEMO_BUILD
    if (!command.demoState.isEmpty() && !sim::unit().startAs(command.demoState.toStdString())) {
        std::fprintf(stderr, "tarn80x-demo: unknown --demo state: %s\n",
                     command.demoState.toLocal8Bit().constData());
        return 2;
    }
#endif

    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarn80x.tarn80x"));
    QApplication::setWindowIcon(tarn::App_Icon());
    // The window and the command line never hold the unit at the same time.
    tarn::Link_Machine().setExclusive(true);
    int exitCode = 0;
    {
        tarn::Tarn80X window;
        window.show();
        exitCode = app.exec();
    } // the window goes before the application object
    return exitCode;
}
