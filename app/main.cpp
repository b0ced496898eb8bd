#include "app/command_line.h"
#include "app/desktop.h"
#include "app/tarn80x.h"

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
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const tarn::CommandLine command = tarn::Parse_Command_Line(args, kDemoBuild);
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
    if (!tarn::Display_Available(args)) {
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

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarn80x"));
    QApplication::setApplicationVersion(QStringLiteral(TARN_VERSION));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarn80X"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarn80x.tarn80x"));
    QApplication::setWindowIcon(tarn::App_Icon());
    int exitCode = 0;
    {
        tarn::Tarn80X window;
        window.show();
        exitCode = app.exec();
    } // the window goes before the application object
    return exitCode;
}
