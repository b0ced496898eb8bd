// The sound server for real: a private PulseAudio daemon with a null sink and a virtual
// microphone recording it. The device list names both; a sweep played into the sink and captured
// from the microphone deconvolves into an impulse and a flat response; a stop ends a capture at
// once; a missing device is reported, not captured from; the command line lists the devices.
#include "audio/audio_runner.h"
#include "dsp/measure_channel.h"
#include "tests/support/private_pulse.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <cmath>

using namespace tarn;
using tarn::test::PrivatePulse;

Q_DECLARE_METATYPE(std::vector<tarn::AudioDevice>)
Q_DECLARE_METATYPE(tarn::CaptureResult)

class TestPulse : public QObject {
    Q_OBJECT

    PrivatePulse pulse_;

    // Runs one capture through the runner, the event loop turning meanwhile.
    CaptureResult capture(const PlayCapture& job, int stopAfterMs = -1) {
        AudioRunner runner(makePulseAudio());
        QSignalSpy done(&runner, &AudioRunner::finished);
        if (!runner.playAndCapture(job)) return {};
        if (stopAfterMs >= 0) QTimer::singleShot(stopAfterMs, &runner, &AudioRunner::stop);
        if (!done.wait(30000)) return {};
        return done.first().first().value<CaptureResult>();
    }

  private slots:
    void initTestCase() {
        qRegisterMetaType<std::vector<tarn::AudioDevice>>();
        qRegisterMetaType<tarn::CaptureResult>();
        if (!PrivatePulse::available()) QSKIP("pulseaudio is not installed");
        QString error;
        QVERIFY2(pulse_.start(error), qPrintable(error));
    }

    void devicesNamed() {
        AudioRunner runner(makePulseAudio());
        QSignalSpy listed(&runner, &AudioRunner::devicesListed);
        QVERIFY(runner.listDevices());
        QVERIFY(!runner.listDevices()); // one call at a time
        QVERIFY(listed.wait(10000));
        QVERIFY2(listed.first().at(0).toBool(), qPrintable(listed.first().at(2).toString()));
        const auto devices = listed.first().at(1).value<std::vector<AudioDevice>>();
        const auto find = [&](const char* name) {
            return std::find_if(devices.begin(), devices.end(), [name](const AudioDevice& d) {
                return d.name == QLatin1String(name);
            });
        };
        const auto sink = find("tarn_test_out");
        QVERIFY(sink != devices.end());
        QVERIFY(sink->output);
        QCOMPARE(sink->description, QStringLiteral("Tarn test output"));
        QCOMPARE(sink->rate, 48000);
        const auto monitor = find("tarn_test_out.monitor");
        QVERIFY(monitor != devices.end());
        QVERIFY(!monitor->output);
        QVERIFY(monitor->monitor);
        const auto mic = find("tarn_test_mic");
        QVERIFY(mic != devices.end());
        QVERIFY(!mic->output);
        QVERIFY(!mic->monitor);
        QCOMPARE(mic->description, QStringLiteral("Tarn test microphone"));
    }

    void sweepThroughNullSink() {
        SweepSettings sweepSettings; // 3 s, 10 Hz..22 kHz at 48 kHz, -20 dBFS
        PlayCapture job;
        job.output = QStringLiteral("tarn_test_out");
        job.input = QStringLiteral("tarn_test_mic");
        const Deconvolver d(sweepSettings, 4 * 48000);
        job.play = d.sweep();
        job.captureFrames = 4 * 48000;
        const CaptureResult r = capture(job);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.framesCaptured, 4 * 48000);
        QCOMPARE(r.framesPlayed, 3 * 48000);
        QVERIFY(r.playStartFrame >= 0);

        const ChannelMeasurement m =
            measureChannel(d, r.samples.data(), r.framesCaptured, 1, {true, 0.0, 0, 0}, {});
        QVERIFY2(m.verdict == Verdict::Measured, verdictText(m.verdict, true));
        QVERIFY(m.direct.found);
        // The sweep arrives after it was handed over, within the first second.
        QVERIFY2(m.direct.lag >= r.playStartFrame && m.direct.lag < 48000,
                 qPrintable(QString::number(m.direct.lag)));
        for (const MeasuredPoint& p : m.response)
            if (p.freq >= 100.0 && p.freq <= 10000.0)
                QVERIFY2(std::fabs(p.level) <= 0.5,
                         qPrintable(QStringLiteral("%1 Hz: %2 dB").arg(p.freq).arg(p.level)));
    }

    void stopEndsCaptureAtOnce() {
        PlayCapture job;
        job.output = QStringLiteral("tarn_test_out");
        job.input = QStringLiteral("tarn_test_mic");
        job.play = std::vector<float>(10 * 48000, 0.01f);
        job.captureFrames = 10 * 48000;
        QElapsedTimer clock;
        clock.start();
        const CaptureResult r = capture(job, 300);
        QVERIFY(r.stopped);
        QVERIFY(!r.ok);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(r.framesCaptured < 5 * 48000);
    }

    // The command line lists the same devices, or says the server cannot be reached.
    void commandLineDevices_data() {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("text");
        QTest::newRow("listed") << true << "en" << 0
                                << "Outputs:\n  Tarn test output\n      tarn_test_out\nInputs:\n";
        QTest::newRow("listed, Chinese") << true << "zh" << 0 << "输出：\n  Tarn test output\n";
        QTest::newRow("monitor marked") << true << "en" << 0
                                        << "  Monitor of Tarn test output (monitor of an output)\n"
                                           "      tarn_test_out.monitor\n";
        QTest::newRow("no server") << false << "en" << 7 << "Cannot reach the sound server: ";
        QTest::newRow("no server, Chinese") << false << "zh" << 7 << "无法连接声音服务器：";
    }
    void commandLineDevices() {
        QFETCH(bool, reachable);
        QFETCH(QString, lang);
        QFETCH(int, exit);
        QFETCH(QString, text);
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!reachable)
            env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/native"));
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(TARN_CLI_DEMO),
                  {QStringLiteral("devices"), QStringLiteral("--lang"), lang});
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.exitCode(), exit);
        const QString out =
            QString::fromUtf8(exit == 0 ? cli.readAllStandardOutput() : cli.readAllStandardError());
        QVERIFY2(out.contains(text), qPrintable(out));
    }

    void commandLineDevicesJson() {
        QProcess cli;
        cli.start(QStringLiteral(TARN_CLI_DEMO),
                  {QStringLiteral("devices"), QStringLiteral("--json")});
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.exitCode(), 0);
        const QJsonObject o = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
        QCOMPARE(o.value(QStringLiteral("exit")).toInt(), 0);
        const QJsonArray outputs = o.value(QStringLiteral("outputs")).toArray();
        QCOMPARE(outputs.size(), 1);
        QCOMPARE(outputs[0].toObject().value(QStringLiteral("name")).toString(),
                 QStringLiteral("tarn_test_out"));
        QCOMPARE(outputs[0].toObject().value(QStringLiteral("description")).toString(),
                 QStringLiteral("Tarn test output"));
        const QJsonArray inputs = o.value(QStringLiteral("inputs")).toArray();
        QCOMPARE(inputs.size(), 2);
        QCOMPARE(inputs[0].toObject().value(QStringLiteral("name")).toString(),
                 QStringLiteral("tarn_test_out.monitor"));
        QCOMPARE(inputs[0].toObject().value(QStringLiteral("monitor")).toBool(), true);
        QCOMPARE(inputs[1].toObject().value(QStringLiteral("name")).toString(),
                 QStringLiteral("tarn_test_mic"));
        QCOMPARE(inputs[1].toObject().value(QStringLiteral("monitor")).toBool(), false);
    }

    void missingDevice_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("input");
        QTest::newRow("no such input") << "tarn_test_out"
                                       << "no_such_source";
        QTest::newRow("no such output") << "no_such_sink"
                                        << "tarn_test_mic";
    }
    void missingDevice() {
        QFETCH(QString, output);
        QFETCH(QString, input);
        PlayCapture job;
        job.output = output;
        job.input = input;
        job.play = std::vector<float>(4800, 0.01f);
        job.captureFrames = 4800;
        const CaptureResult r = capture(job);
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(r.framesPlayed, 0);
    }
};

QTEST_GUILESS_MAIN(TestPulse)
#include "test_pulse.moc"
