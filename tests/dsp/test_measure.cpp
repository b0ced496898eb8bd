// The measurement maths on synthetic captures: the sweep, the arrival of a delayed copy against a
// loopback or an acoustic reference, the response of known filters, smoothing, the microphone's
// calibration file and the verdicts.
#include "dsp/measure_channel.h"
#include "dsp/mic_calibration.h"
#include "dsp/smoothing.h"
#include "dsp/sweep.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <random>

using namespace tarn;

namespace {

SweepSettings oneSecond() {
    SweepSettings s;
    s.seconds = 1.0;
    return s;
}

// A peaking filter, +6 dB at 1 kHz, Q 1, at 48 kHz.
std::vector<float> peaking(const std::vector<float>& x) {
    const double b0 = 1.043953086990335, b1 = -1.8953207239365961, b2 = 0.8677222847598566;
    const double a1 = -1.8953207239365961, a2 = 0.9116753717501915;
    std::vector<float> y(x.size());
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double v = b0 * x[i] + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x[i];
        y2 = y1;
        y1 = v;
        y[i] = static_cast<float>(v);
    }
    return y;
}

// The second harmonic product of the sweep as a driver makes it: the same sweep at twice the
// frequency (its phase doubled), as far as 10 kHz, fading out by 11 kHz.
std::vector<float> secondHarmonic(const SweepSettings& sweepSettings) {
    const double L = sweepSettings.seconds / std::log(sweepSettings.endHz / sweepSettings.startHz);
    const double pi = 3.14159265358979323846;
    std::vector<float> out(static_cast<size_t>(sweepSettings.seconds * sweepSettings.rate));
    const double amp = std::pow(10.0, sweepSettings.levelDbfs / 20.0);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / sweepSettings.rate;
        const double f = 2.0 * sweepSettings.startHz * std::exp(t / L);
        const double fade = f < 10000.0   ? 1.0
                            : f > 11000.0 ? 0.0
                                          : 0.5 + 0.5 * std::cos(pi * (f - 10000.0) / 1000.0);
        const double fadeIn = std::min(1.0, t / 0.1);
        out[i] = static_cast<float>(
            amp * fade * fadeIn *
            std::sin(2.0 * 2.0 * pi * sweepSettings.startHz * L * (std::exp(t / L) - 1.0)));
    }
    return out;
}

// Adds gain * signal starting at frame `at` of one channel of an interleaved capture.
void addAt(std::vector<float>& capture, int stride, int channel, const std::vector<float>& signal,
           int at, double gain = 1.0) {
    for (size_t i = 0; i < signal.size(); ++i) {
        const size_t frame = static_cast<size_t>(at) + i;
        if (frame * static_cast<size_t>(stride) >= capture.size()) break;
        capture[frame * static_cast<size_t>(stride) + static_cast<size_t>(channel)] +=
            static_cast<float>(gain * signal[i]);
    }
}

void addNoise(std::vector<float>& capture, double sigma) {
    std::mt19937 random(7);
    std::normal_distribution<double> normal(0.0, sigma);
    for (float& v : capture)
        v += static_cast<float>(normal(random));
}

// The level of the response point nearest freq.
double levelAt(const std::vector<MeasuredPoint>& response, double freq) {
    const auto nearest = std::min_element(
        response.begin(), response.end(), [freq](const MeasuredPoint& a, const MeasuredPoint& b) {
            return std::fabs(std::log(a.freq / freq)) < std::fabs(std::log(b.freq / freq));
        });
    return nearest == response.end() ? -999.0 : nearest->level;
}

// Ten points 20 Hz..20 kHz, +1 dB at 1 kHz, 0 dB elsewhere.
const char* kCalPoints = "20 0\n50 0\n100 0\n200 0\n500 0\n1000 1\n2000 0\n5000 0\n10000 0\n"
                         "20000 0\n";

} // namespace

class TestMeasure : public QObject {
    Q_OBJECT

  private slots:
    void sweepShape_data() {
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("level");
        QTest::addColumn<int>("frames");
        QTest::addColumn<double>("peak");
        QTest::newRow("default 3 s at 48 kHz") << 48000 << 3.0 << -20.0 << 144000 << 0.1;
        QTest::newRow("1 s at 44.1 kHz, -6 dBFS") << 44100 << 1.0 << -6.0 << 44100 << 0.501187;
        QTest::newRow("8 s at 96 kHz, 0 dBFS") << 96000 << 8.0 << 0.0 << 768000 << 1.0;
    }
    void sweepShape() {
        QFETCH(int, rate);
        QFETCH(double, seconds);
        QFETCH(double, level);
        QFETCH(int, frames);
        QFETCH(double, peak);
        SweepSettings s;
        s.rate = rate;
        s.seconds = seconds;
        s.levelDbfs = level;
        const std::vector<float> x = makeSweep(s);
        QCOMPARE(int(x.size()), frames);
        double top = 0;
        for (float v : x)
            top = std::max(top, double(std::fabs(v)));
        QVERIFY2(std::fabs(top - peak) < peak * 1e-3, qPrintable(QString::number(top)));
        // Faded ends: no click at either end.
        QVERIFY(std::fabs(x.front()) < 1e-6 * peak + 1e-9);
        QVERIFY(std::fabs(x.back()) < 1e-3 * peak);
    }

    void sweepSettings_data() {
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("endHz");
        QTest::addColumn<double>("level");
        QTest::addColumn<bool>("valid");
        QTest::newRow("default") << 48000 << 3.0 << 22000.0 << -20.0 << true;
        QTest::newRow("44.1 kHz to 22 kHz") << 44100 << 1.0 << 22000.0 << -20.0 << true;
        QTest::newRow("32 kHz") << 32000 << 3.0 << 15000.0 << -20.0 << false;
        QTest::newRow("too short") << 48000 << 0.5 << 22000.0 << -20.0 << false;
        QTest::newRow("too long") << 48000 << 8.5 << 22000.0 << -20.0 << false;
        QTest::newRow("beyond half the rate") << 44100 << 3.0 << 22050.0 << -20.0 << false;
        QTest::newRow("above full scale") << 48000 << 3.0 << 22000.0 << 1.0 << false;
    }
    void sweepSettings() {
        QFETCH(int, rate);
        QFETCH(double, seconds);
        QFETCH(double, endHz);
        QFETCH(double, level);
        QFETCH(bool, valid);
        SweepSettings s;
        s.rate = rate;
        s.seconds = seconds;
        s.endHz = endHz;
        s.levelDbfs = level;
        QCOMPARE(sweepSettingsValid(s), valid);
    }

    // The microphone in channel 0, the loopback in channel 1 of one capture.
    void loopbackArrival_data() {
        QTest::addColumn<int>("micDelay");
        QTest::addColumn<double>("micGain");
        QTest::addColumn<int>("reflectionDelay"); // 0: none
        QTest::addColumn<int>("loopDelay");
        QTest::addColumn<double>("arrivalMs");
        QTest::newRow("90 ms after the loopback") << 4800 << 0.3 << 0 << 480 << 90.00;
        QTest::newRow("before the loopback") << 1000 << 0.3 << 0 << 1480 << -10.00;
        QTest::newRow("one sample") << 2401 << 0.3 << 0 << 2400 << 0.02;
        QTest::newRow("a stronger reflection 2 ms later") << 2400 << 0.2 << 2496 << 0 << 50.00;
    }
    void loopbackArrival() {
        QFETCH(int, micDelay);
        QFETCH(double, micGain);
        QFETCH(int, reflectionDelay);
        QFETCH(int, loopDelay);
        QFETCH(double, arrivalMs);
        const SweepSettings sweepSettings = oneSecond();
        const int frames = 48000 + 24000;
        const Deconvolver d(sweepSettings, frames);
        std::vector<float> capture(static_cast<size_t>(2 * frames));
        const std::vector<float> filtered = peaking(d.sweep());
        addAt(capture, 2, 0, filtered, micDelay, micGain);
        if (reflectionDelay > 0) addAt(capture, 2, 0, filtered, reflectionDelay, 0.3);
        addAt(capture, 2, 1, d.sweep(), loopDelay);
        addNoise(capture, 1e-4);

        const TimingReference ref = loopbackReference(d, capture.data() + 1, frames, 2);
        QVERIFY(ref.found);
        const ChannelMeasurement m = measureChannel(d, capture.data(), frames, 2, ref, {});
        QCOMPARE(int(m.verdict), int(Verdict::Measured));
        QVERIFY(m.arrivalMs.has_value());
        QCOMPARE(*m.arrivalMs, arrivalMs);
    }

    // One microphone: a short high sweep on the reference channel, then the channel's sweep.
    void acousticArrival_data() {
        QTest::addColumn<int>("refDelay");
        QTest::addColumn<int>("channelDelay");
        QTest::addColumn<double>("startHz");
        QTest::addColumn<double>("channelGain");
        QTest::addColumn<double>("arrivalMs");
        QTest::newRow("2.56 ms after the reference") << 1000 << 1123 << 10.0 << 0.3 << 2.56;
        QTest::newRow("1 ms before the reference") << 5000 << 4952 << 10.0 << 0.3 << -1.00;
        // The loud reference's residue through the tweeter's inverse filter outgrows the
        // tweeter's own direct sound.
        QTest::newRow("quiet tweeter after a loud reference")
            << 1000 << 1029 << 3150.0 << 0.1 << 0.60;
    }
    void acousticArrival() {
        QFETCH(int, refDelay);
        QFETCH(int, channelDelay);
        QFETCH(double, startHz);
        QFETCH(double, channelGain);
        QFETCH(double, arrivalMs);
        SweepSettings refSpec;
        refSpec.seconds = 0.25;
        refSpec.startHz = 2000.0;
        refSpec.endHz = 20000.0;
        SweepSettings sweepSettings = oneSecond();
        sweepSettings.startHz = startHz;
        const int offset = 24000; // the channel's sweep half a second after the reference's
        const int frames = offset + 48000 + 24000;
        const Deconvolver refSweep(refSpec, frames);
        const Deconvolver d(sweepSettings, frames);
        std::vector<float> capture(static_cast<size_t>(frames));
        addAt(capture, 1, 0, refSweep.sweep(), refDelay, 0.5);
        addAt(capture, 1, 0, peaking(d.sweep()), offset + channelDelay, channelGain);
        addNoise(capture, 1e-4);

        const TimingReference ref =
            acousticReference(refSweep, d, capture.data(), frames, 1, offset);
        QVERIFY(ref.found);
        const ChannelMeasurement m = measureChannel(d, capture.data(), frames, 1, ref, {});
        QCOMPARE(int(m.verdict), int(Verdict::Measured));
        QCOMPARE(*m.arrivalMs, arrivalMs);
    }

    void response_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QList<double>>("freqs");
        QTest::addColumn<QList<double>>("levels");
        const QList<double> f{100, 300, 1000, 3000, 10000};
        QTest::newRow("straight through") << 0 << 1.0 << f << QList<double>{0, 0, 0, 0, 0};
        QTest::newRow("straight through, 3 s") << 0 << 3.0 << f << QList<double>{0, 0, 0, 0, 0};
        QTest::newRow("half the level")
            << 1 << 1.0 << f << QList<double>{-6.02, -6.02, -6.02, -6.02, -6.02};
        QTest::newRow("peaking filter")
            << 2 << 1.0 << f << QList<double>{0.07, 0.62, 6.0, 0.76, 0.05};
        // A second harmonic 20 dB down: it lies before the response and is cut away.
        QTest::newRow("distorting driver") << 3 << 1.0 << f << QList<double>{0, 0, 0, 0, 0};
        // The microphone reads 1 dB high at 1 kHz and 2 dB low everywhere (Sens Factor).
        QTest::newRow("calibrated") << 4 << 1.0 << f << QList<double>{2, 2, 1, 2, 2};
    }
    void response() {
        QFETCH(int, kind);
        QFETCH(double, seconds);
        QFETCH(QList<double>, freqs);
        QFETCH(QList<double>, levels);
        SweepSettings sweepSettings;
        sweepSettings.seconds = seconds;
        const int frames = static_cast<int>(seconds * 48000) + 24000;
        const Deconvolver d(sweepSettings, frames);
        std::vector<float> played = d.sweep();
        if (kind == 1)
            for (float& v : played)
                v *= 0.5f;
        if (kind == 2) played = peaking(played);
        if (kind == 3) addAt(played, 1, 0, secondHarmonic(sweepSettings), 0, 0.1);
        std::vector<float> capture(static_cast<size_t>(frames));
        addAt(capture, 1, 0, played, 3000);
        addNoise(capture, 1e-5);

        const MicCalibration cal =
            readMicCalibration(QByteArray("\"Sens Factor =-2dB, SERNO: 1\n") + kCalPoints);
        QVERIFY(cal.valid());
        MeasureSettings settings;
        if (kind == 4) settings.calibration = &cal;
        const ChannelMeasurement m =
            measureChannel(d, capture.data(), frames, 1, {true, 0, 0, 0}, settings);
        QCOMPARE(int(m.verdict), int(Verdict::Measured));
        QCOMPARE(*m.arrivalMs, 62.50);
        for (int i = 0; i < freqs.size(); ++i) {
            const double level = levelAt(m.response, freqs[i]);
            QVERIFY2(std::fabs(level - levels[i]) <= 0.5,
                     qPrintable(QStringLiteral("%1 Hz: %2 dB").arg(freqs[i]).arg(level)));
        }
        if (kind == 0 || kind == 3) { // flat from 100 Hz to 10 kHz
            for (const MeasuredPoint& p : m.response)
                if (p.freq >= 100.0 && p.freq <= 10000.0)
                    QVERIFY2(std::fabs(p.level) <= 0.5,
                             qPrintable(QStringLiteral("%1 Hz: %2 dB").arg(p.freq).arg(p.level)));
        }
    }

    // A reflection at half the level 5 ms after the direct sound: a comb (+3.5 dB every 200 Hz,
    // -6 dB between) in the whole response; a 3 ms gate leaves only the direct sound.
    void gate_data() {
        QTest::addColumn<double>("gateMs");
        QTest::addColumn<QList<double>>("freqs");
        QTest::addColumn<QList<double>>("levels");
        QTest::newRow("no gate") << 0.0 << QList<double>{300, 400, 1000, 1100}
                                 << QList<double>{-6.02, 3.52, 3.52, -6.02};
        QTest::newRow("3 ms gate")
            << 3.0 << QList<double>{2000, 2100, 5000, 5100, 10000} << QList<double>{0, 0, 0, 0, 0};
    }
    void gate() {
        QFETCH(double, gateMs);
        QFETCH(QList<double>, freqs);
        QFETCH(QList<double>, levels);
        const SweepSettings sweepSettings = oneSecond();
        const int frames = 48000 + 24000;
        const Deconvolver d(sweepSettings, frames);
        std::vector<float> capture(static_cast<size_t>(frames));
        addAt(capture, 1, 0, d.sweep(), 1000);
        addAt(capture, 1, 0, d.sweep(), 1240, 0.5);
        addNoise(capture, 1e-5);
        MeasureSettings settings;
        settings.gateMs = gateMs;
        settings.smoothing = 48;
        const ChannelMeasurement m =
            measureChannel(d, capture.data(), frames, 1, {true, 0, 0, 0}, settings);
        QCOMPARE(int(m.verdict), int(Verdict::Measured));
        QCOMPARE(*m.arrivalMs, 20.83);
        for (int i = 0; i < freqs.size(); ++i) {
            // The nearest response point is up to 1/96 octave away: exact at the comb's dips and
            // peaks only to within that.
            const double level = levelAt(m.response, freqs[i]);
            QVERIFY2(std::fabs(level - levels[i]) <= (gateMs > 0 ? 0.5 : 1.0),
                     qPrintable(QStringLiteral("%1 Hz: %2 dB").arg(freqs[i]).arg(level)));
        }
    }

    // A step from 0 dB to -20 dB between 999 and 1000 Hz, smoothed.
    void smoothing_data() {
        QTest::addColumn<int>("fraction");
        QTest::addColumn<double>("freq");
        QTest::addColumn<double>("level");
        QTest::newRow("1/3 octave at the step") << 3 << 1000.0 << -3.24;
        QTest::newRow("1/3 octave above it") << 3 << 1250.0 << -20.0;
        QTest::newRow("1/3 octave below it") << 3 << 800.0 << 0.0;
        QTest::newRow("1/6 octave at the step") << 6 << 1000.0 << -3.13;
        QTest::newRow("1/48 octave at the step") << 48 << 1000.0 << -3.29;
        QTest::newRow("1/48 octave just above") << 48 << 1020.0 << -20.0;
        QTest::newRow("1/96 is held to 1/48") << 96 << 1000.0 << -3.29;
        QTest::newRow("narrower than a bin") << 48 << 10.5 << 0.0;
    }
    void smoothing() {
        QFETCH(int, fraction);
        QFETCH(double, freq);
        QFETCH(double, level);
        std::vector<double> power(24001, 0.01);
        std::fill(power.begin(), power.begin() + 1000, 1.0);
        const std::vector<MeasuredPoint> out = smoothedLevels(power, 1.0, freq, freq, fraction);
        QCOMPARE(int(out.size()), 1);
        QVERIFY2(std::fabs(out[0].level - level) < 0.01, qPrintable(QString::number(out[0].level)));
    }

    void smoothingGrid() {
        const std::vector<MeasuredPoint> out =
            smoothedLevels(std::vector<double>(24001, 1.0), 1.0, 20.0, 20000.0, 6);
        QCOMPARE(int(out.size()), 479); // 48 per octave
        QCOMPARE(out.front().freq, 20.0);
        QVERIFY(std::fabs(out[48].freq - 40.0) < 1e-9);
        QVERIFY(std::fabs(out.back().level) < 1e-9);
    }

    void calibrationFile_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("badLine");
        QTest::addColumn<double>("sens");
        QTest::addColumn<double>("at1k"); // offset at 1 kHz
        QTest::addColumn<double>("at700");
        using E = MicCalibration::Error;
        QTest::newRow("quoted header with Sens Factor")
            << (QByteArray("\"Sens Factor =-.7dB, SERNO: 7001234\"\n") + kCalPoints) << int(E::None)
            << 0 << -0.7 << 0.3 << -0.214;
        QTest::newRow("star comments, no factor")
            << (QByteArray("* Mic 12\n* Freq dB\n") + kCalPoints + "* end\n") << int(E::None) << 0
            << 0.0 << 1.0 << 0.486;
        QTest::newRow("hash comments, tabs and decimal commas, factor with comma")
            << QByteArray("# Sens Factor = 1,5 dB\n20\t0,0\n50\t0,0\n100\t0,0\n200\t0,0\n500\t0,0\n"
                          "1000\t1,0\n2000\t0,0\n5000\t0,0\n10000\t0,0\n20000\t0,0\n")
            << int(E::None) << 0 << 1.5 << 2.5 << 1.986;
        QTest::newRow("factor without a number")
            << (QByteArray("\"Sens Factor = dB\n") + kCalPoints) << int(E::BadSensFactor) << 1
            << 0.0 << 0.0 << 0.0;
        QTest::newRow("a bad point line") << (QByteArray("* head\n") + kCalPoints + "30000 x\n")
                                          << int(E::BadLine) << 12 << 0.0 << 0.0 << 0.0;
        QTest::newRow("three points") << QByteArray("100 0\n1000 1\n10000 0\n")
                                      << int(E::TooFewPoints) << 0 << 0.0 << 0.0 << 0.0;
    }
    void calibrationFile() {
        QFETCH(QByteArray, text);
        QFETCH(int, error);
        QFETCH(int, badLine);
        QFETCH(double, sens);
        QFETCH(double, at1k);
        QFETCH(double, at700);
        const MicCalibration cal = readMicCalibration(text);
        QCOMPARE(int(cal.error), error);
        QCOMPARE(cal.badLine, badLine);
        if (!cal.valid()) {
            QVERIFY(cal.points.empty());
            return;
        }
        QCOMPARE(cal.sensFactorDb, sens);
        QVERIFY(std::fabs(cal.offsetDb(1000.0) - at1k) < 1e-9);
        QVERIFY2(std::fabs(cal.offsetDb(700.0) - at700) < 1e-3,
                 qPrintable(QString::number(cal.offsetDb(700.0))));
        QVERIFY(std::fabs(cal.offsetDb(5.0) - sens) < 1e-9); // the end value beyond the end
    }

    void verdicts_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("verdict");
        QTest::newRow("silence") << 0 << int(Verdict::NoSignal);
        QTest::newRow("noise only (wrong microphone)") << 1 << int(Verdict::NoSignal);
        QTest::newRow("about 8 dB above the noise") << 2 << int(Verdict::TooNoisy);
        QTest::newRow("about 28 dB above the noise") << 3 << int(Verdict::Measured);
        QTest::newRow("clipped") << 4 << int(Verdict::Clipped);
        QTest::newRow("a gap of zeros") << 5 << int(Verdict::Dropouts);
        QTest::newRow("capture ends before the sweep") << 6 << int(Verdict::Dropouts);
        QTest::newRow("no loopback signal") << 7 << int(Verdict::ReferenceNotFound);
        QTest::newRow("no reference sweep") << 8 << int(Verdict::ReferenceNotFound);
    }
    void verdicts() {
        QFETCH(int, kind);
        QFETCH(int, verdict);
        const SweepSettings sweepSettings = oneSecond(); // -20 dBFS
        const int frames = 48000 + 24000;
        const Deconvolver d(sweepSettings, frames);
        std::vector<float> capture(static_cast<size_t>(2 * frames)); // microphone, loopback
        if (kind != 7) addAt(capture, 2, 1, d.sweep(), 200);
        const int delay = kind == 6 ? 30000 : 1000;
        if (kind >= 2) addAt(capture, 2, 0, d.sweep(), delay, kind == 4 ? 15.0 : 1.0);
        if (kind == 1) addNoise(capture, 0.05);
        if (kind == 2) addNoise(capture, 0.03);
        if (kind == 3) addNoise(capture, 0.003);
        if (kind >= 4) addNoise(capture, 1e-4);
        for (float& v : capture)
            v = std::clamp(v, -1.0f, 1.0f);
        if (kind == 5)
            for (int i = 20000; i < 20240; ++i)
                capture[static_cast<size_t>(2 * i)] = 0.0f;

        TimingReference ref = loopbackReference(d, capture.data() + 1, frames, 2);
        if (kind == 8) { // a microphone capture without the short reference sweep
            SweepSettings refSpec;
            refSpec.seconds = 0.1;
            refSpec.startHz = 2000.0;
            refSpec.endHz = 20000.0;
            const Deconvolver refSweep(refSpec, frames);
            ref = acousticReference(refSweep, d, capture.data(), frames, 2, 24000);
        }
        const ChannelMeasurement m = measureChannel(d, capture.data(), frames, 2, ref, {});
        QVERIFY2(
            int(m.verdict) == verdict,
            qPrintable(
                QStringLiteral("%1, SNR %2 dB").arg(verdictText(m.verdict, true)).arg(m.snrDb)));
        QCOMPARE(m.arrivalMs.has_value(), verdict == int(Verdict::Measured));
        if (kind == 3) QCOMPARE(*m.arrivalMs, 16.67);
    }

    void verdictTexts_data() {
        QTest::addColumn<int>("verdict");
        QTest::addColumn<QString>("zh");
        QTest::addColumn<QString>("en");
        QTest::newRow("measured") << int(Verdict::Measured) << "已测量"
                                  << "Measured";
        QTest::newRow("no signal") << int(Verdict::NoSignal) << "无信号"
                                   << "No signal";
        QTest::newRow("clipped") << int(Verdict::Clipped) << "削波"
                                 << "Clipped";
        QTest::newRow("dropouts") << int(Verdict::Dropouts) << "采样丢失"
                                  << "Dropouts";
        QTest::newRow("too noisy") << int(Verdict::TooNoisy) << "噪声过大"
                                   << "Too noisy";
        QTest::newRow("reference") << int(Verdict::ReferenceNotFound) << "未找到时间参考"
                                   << "Reference not found";
    }
    void verdictTexts() {
        QFETCH(int, verdict);
        QFETCH(QString, zh);
        QFETCH(QString, en);
        QCOMPARE(QString::fromUtf8(verdictText(Verdict(verdict), false)), zh);
        QCOMPARE(QString::fromUtf8(verdictText(Verdict(verdict), true)), en);
    }
};

QTEST_GUILESS_MAIN(TestMeasure)
#include "test_measure.moc"
