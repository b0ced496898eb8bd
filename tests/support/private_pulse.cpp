#include "tests/support/private_pulse.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

namespace tarn::test {

bool PrivatePulse::available() {
    return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty();
}

PrivatePulse::~PrivatePulse() {
    stop();
}

QString PrivatePulse::server() const {
    return QStringLiteral("unix:") + dir_.filePath(QStringLiteral("native"));
}

bool PrivatePulse::start(QString& error, bool withCar) {
    if (!dir_.isValid()) {
        error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString path = dir_.path();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Its runtime, state and cookie files stay in the folder; as root it warns and runs.
    for (const char* name :
         {"XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH", "HOME", "XDG_CONFIG_HOME"})
        env.insert(QString::fromLatin1(name), path);
    env.remove(QStringLiteral("PULSE_SERVER"));
    daemon_.setProcessEnvironment(env);
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString sinkArgs =
        QStringLiteral("module-null-sink sink_name=%1 rate=48000 channels=1 channel_map=mono "
                       "sink_properties='device.description=\"%2\"'")
            .arg(QLatin1String(kSink), QLatin1String(kSinkDescription));
    const QString carArgs =
        QStringLiteral("module-null-sink sink_name=%1 rate=48000 channels=1 channel_map=mono")
            .arg(QLatin1String(kCarSink));
    const QString micArgs =
        QStringLiteral("module-remap-source master=%1.monitor source_name=%2 channels=1 "
                       "channel_map=mono master_channel_map=mono "
                       "source_properties='device.description=\"%3\"'")
            .arg(QLatin1String(withCar ? kCarSink : kSink), QLatin1String(kMicrophone),
                 QLatin1String(kMicrophoneDescription));
    // The socket last: once it is there, the devices are too.
    const QString socketArgs =
        QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=%1/native").arg(path);
    QStringList args{QStringLiteral("-n"),
                     QStringLiteral("--daemonize=no"),
                     QStringLiteral("--exit-idle-time=-1"),
                     QStringLiteral("--system=false"),
                     QStringLiteral("--use-pid-file=no"),
                     QStringLiteral("--log-target=stderr"),
                     QStringLiteral("--log-level=error"),
                     QStringLiteral("-L"),
                     sinkArgs};
    if (withCar) args << QStringLiteral("-L") << carArgs;
    args << QStringLiteral("-L") << micArgs << QStringLiteral("-L") << socketArgs;
    daemon_.start(QStringLiteral("pulseaudio"), args);
    if (!daemon_.waitForStarted(5000)) {
        error = daemon_.errorString();
        return false;
    }
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(path + QStringLiteral("/native"))) {
        if (daemon_.state() != QProcess::Running || deadline.hasExpired()) {
            error = QStringLiteral("the sound server did not start");
            stop();
            return false;
        }
        QThread::msleep(20);
    }
    qputenv("PULSE_SERVER", server().toUtf8());
    return true;
}

void PrivatePulse::stop() {
    if (daemon_.state() == QProcess::NotRunning) return;
    daemon_.terminate();
    if (!daemon_.waitForFinished(5000)) {
        daemon_.kill();
        daemon_.waitForFinished(2000);
    }
    qunsetenv("PULSE_SERVER");
}

} // namespace tarn::test
