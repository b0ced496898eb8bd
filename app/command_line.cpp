#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <memory>

namespace tarn {

CommandLine Parse_Command_Line(const QStringList& args, bool withDemo) {
    // The parser's help text needs an application object; a core one needs no display.
    int argc = 1;
    char name[] = "tarn80x";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> temporary;
    if (!QCoreApplication::instance()) temporary = std::make_unique<QCoreApplication>(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tuning application for a six-channel car-audio DSP on the USB bus.\n"
                       "六通道车载音频 DSP 调音程序（USB）。"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("The simulated unit starts as <state>: tuned (default), factory, absent "
                       "or locked (on the bus, not openable).\n模拟设备的初始状态。"),
        QStringLiteral("state"), QStringLiteral("tuned"));
    if (withDemo) parser.addOption(demo);
    // Qt's own options (-platform, -style ...) are left to QApplication.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);

    CommandLine out;
    QStringList ours;
    for (int i = 0; i < args.size(); ++i) {
        static const QStringList kQtWithValue{
            "-platform",        "-style",        "-stylesheet",  "-display",
            "-qwindowgeometry", "-qwindowtitle", "-qwindowicon", "-platformpluginpath",
            "-platformtheme"};
        if (i > 0 && kQtWithValue.contains(args[i])) {
            ++i;
            continue;
        }
        ours << args[i];
    }
    if (!parser.parse(ours)) {
        out.action = CommandLine::Action::Error;
        out.output = parser.errorText() + QStringLiteral("\n") + parser.helpText();
        return out;
    }
    if (parser.isSet(help)) {
        out.action = CommandLine::Action::Help;
        out.output = parser.helpText();
    } else if (parser.isSet(version)) {
        out.action = CommandLine::Action::Version;
        out.output = QStringLiteral("tarn80x %1\n").arg(QStringLiteral(TARN_VERSION));
    } else if (!parser.positionalArguments().isEmpty()) {
        out.action = CommandLine::Action::Error;
        out.output = QStringLiteral("tarn80x: unexpected argument: %1\n")
                         .arg(parser.positionalArguments().first());
    } else if (withDemo && parser.isSet(demo)) {
        out.demoState = parser.value(demo);
    }
    return out;
}

bool Display_Available(const QStringList& args) {
    if (args.contains(QStringLiteral("-platform"))) return true;
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (!qEnvironmentVariableIsEmpty(name)) return true;
    return false;
}

QString No_Display_Message() {
    return QStringLiteral(
        "tarn80x: no display found: neither DISPLAY nor WAYLAND_DISPLAY is set. Start it from a "
        "desktop session (or set QT_QPA_PLATFORM).\n"
        "tarn80x：找不到显示器：DISPLAY 和 WAYLAND_DISPLAY 都没有设置。请在桌面会话中启动本程序"
        "（或设置 QT_QPA_PLATFORM）。\n");
}

} // namespace tarn
