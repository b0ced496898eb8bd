// The sound server for real: a private PulseAudio daemon with a null sink and a virtual
// microphone recording it. The device list names both; a sweep played into the sink and captured
// from the microphone deconvolves into an impulse and a flat response; a stop ends a capture at
// once; a missing device is reported, not captured from.
#include "audio/audio_runner.h"
#include "dsp/measure_channel.h"
#include "tests/support/private_pulse.h"

#include <QElapsedTimer>
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
        SweepSpec spec; // 3 s, 10 Hz..22 kHz at 48 kHz, -20 dBFS
        PlayCapture job;
        job.output = QStringLiteral("tarn_test_out");
        job.input = QStringLiteral("tarn_test_mic");
        const Deconvolver d(spec, 4 * 48000);
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
