#include "app/command_line.h"

#include <QCommandLineParser>
#include <QGuiApplication>

namespace tarn {

namespace {

// Options the X11 platform takes for itself. On Wayland or offscreen QApplication leaves them in,
// yet a launcher or an X11 session manager may still pass them: they are dropped, not refused.
QStringList withoutX11Options(const QStringList& args) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) return args;
    static const QStringList kWithValue{QStringLiteral("-display"), QStringLiteral("-name"),
                                        QStringLiteral("-visual"),  QStringLiteral("-geometry"),
                                        QStringLiteral("-title"),   QStringLiteral("-icon")};
    static const QStringList kFlags{QStringLiteral("-nograb"), QStringLiteral("-dograb")};
    QStringList out;
    for (int i = 0; i < args.size(); ++i) {
        const QString name = args[i].startsWith(QLatin1String("--")) ? args[i].mid(1) : args[i];
        if (i > 0 && kWithValue.contains(name) && i + 1 < args.size()) {
            ++i;
            continue;
        }
        if (i > 0 && kFlags.contains(name)) continue;
        out << args[i];
    }
    return out;
}

} // namespace

CommandLine Parse_Command_Line(const QStringList& args, bool withDemo) {
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
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);

    CommandLine out;
    if (!parser.parse(withoutX11Options(args))) {
        out.action = CommandLine::Action::Error;
        out.output = parser.errorText() + QStringLiteral("\n") + parser.helpText();
        return out;
    }
    if (parser.optionNames().contains(QStringLiteral("help-all"))) {
        // Qt's own options are listed only by the parser's own handling, which then ends the run.
        parser.process(withoutX11Options(args));
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
    if (args.contains(QStringLiteral("-platform")) || args.contains(QStringLiteral("--platform")))
        return true;
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
