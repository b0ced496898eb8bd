// The measuring run against the simulated unit and the simulated car, through a private sound
// server: the arrivals and responses it reports, the driver protection, and the unit left as it
// was found.
#include "cli/unit_run.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/edit_session.h"
#include "session/measure_run.h"
#include "sim/car/car.h"
#include "sim/unit_sim.h"
#include "tests/support/private_pulse.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace tarn;
using tarn::test::PrivatePulse;

namespace {

// Wide-band speakers, so that the direct sound's peak lies where the distance puts it.
constexpr sim::CarSpeakers kTestCar{{{2.00, 0.0, 20.0, 0.0},
                                     {2.35, -2.0, 20.0, 0.0},
                                     {3.10, -1.0, 20.0, 0.0},
                                     {2.60, -3.0, 1200.0, 0.0},
                                     {4.00, 0.0, 20.0, 0.0},
                                     {4.20, 0.0, 20.0, 0.0}}};

} // namespace

class MeasureRunTest : public QObject {
    Q_OBJECT

  private:
    PrivatePulse pulse_;
    std::unique_ptr<sim::Car> car_;
    std::unique_ptr<sim::CarStream> carStream_;
    std::unique_ptr<UnitRun> unit_;
    std::unique_ptr<EditSession> session_;
    std::unique_ptr<AudioRunner> audio_;

    MeasureRunSettings settings(std::vector<int> channels) const {
        MeasureRunSettings s;
        s.channels = std::move(channels);
        s.output = QLatin1String(PrivatePulse::kSink);
        s.input = QLatin1String(PrivatePulse::kMicrophone);
        s.sweep.seconds = 1.0;
        s.referenceChannel = 0;
        return s;
    }

    bool run(MeasureRun& run, const MeasureRunSettings& s) {
        QSignalSpy done(&run, &MeasureRun::finished);
        if (!run.start(s, {}, [] { return Link_Machine().online(); })) return false;
        return done.wait(60000);
    }

    // The program's commands reach the simulated unit through the link: wait for them.
    static bool unitHolds(const sim::Memory& expected) {
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()) {
            if (sim::unit().memory() == expected) return true;
            QTest::qWait(20);
        }
        return sim::unit().memory() == expected;
    }

  private slots:
    void initTestCase() {
        if (!PrivatePulse::available()) QSKIP("no pulseaudio here");
        QString error;
        QVERIFY2(pulse_.start(error, true), qPrintable(error));
        Param_Init();
        sim::Unit& unit = sim::unit();
        unit.reset();
        unit.setU16(sim::off::ChDelay + 2 * 1, 50); // CH2 0.50 ms
        // CH4 a tweeter with its high-pass at 3150 Hz.
        unit.memory()[sim::off::ChName + 3] = 0;
        unit.setU16(sim::off::HpfFreq + 2 * 3, 3150);
        unit.memory()[sim::off::HpfOff + 3] = 0;
        car_ = std::make_unique<sim::Car>(kTestCar, -90.0);
        sim::attachCar(unit, *car_);
        carStream_ = std::make_unique<sim::CarStream>(*car_);
        std::string carError;
        QVERIFY2(carStream_->start(pulse_.server().toStdString(),
                                   PrivatePulse::outputMonitor().toStdString(),
                                   PrivatePulse::kCarSink, &carError),
                 carError.c_str());
        unit_ = std::make_unique<UnitRun>(true, false);
        QCOMPARE(unit_->connectUnit(), RunEnd::Done);
        session_ = std::make_unique<EditSession>(Param_Image, Pc, Chan);
        audio_ = std::make_unique<AudioRunner>(makePulseAudio(pulse_.server()));
    }

    void cleanupTestCase() {
        session_.reset();
        unit_.reset();
        if (carStream_) carStream_->stop();
        sim::unit().setWriteHook({});
    }

    void arrivalsLevelsAndUnitUnchanged() {
        const sim::Memory before = sim::unit().memory();
        MeasureRun measure(session_->core(), *audio_);
        // CH2 first: the first capture of a fresh sound server starts late, and the switch from
        // the reference to the channel must wait for the sound, not for the clock.
        QVERIFY(run(measure, settings({1, 2, 0})));
        QCOMPARE(measure.end(), MeasureEnd::Done);
        QCOMPARE(int(measure.results().size()), 3);
        // Distances 2.00, 2.35 + 0.50 (the unit's delay), 3.10 ms; levels 0, -2, -1 dB.
        const int channels[] = {1, 2, 0};
        const double arrivals[] = {0.85, 1.10, 0.00};
        const double levels[] = {-2.0, -1.0, 0.0};
        for (int i = 0; i < 3; ++i) {
            const ChannelResult& r = measure.results()[size_t(i)];
            QCOMPARE(r.channel, channels[i]);
            QCOMPARE(r.measurement.verdict, Verdict::Measured);
            QVERIFY(r.measurement.arrivalMs.has_value());
            QVERIFY2(std::fabs(*r.measurement.arrivalMs - arrivals[i]) <= 0.02,
                     qPrintable(QStringLiteral("CH%1 arrival %2")
                                    .arg(r.channel + 1)
                                    .arg(*r.measurement.arrivalMs)));
            for (const MeasuredPoint& p : r.measurement.response) {
                if (p.freq < 100.0 || p.freq > 10000.0) continue;
                QVERIFY2(std::fabs(p.level - levels[i]) <= 0.5,
                         qPrintable(QStringLiteral("CH%1 %2 Hz %3 dB")
                                        .arg(r.channel + 1)
                                        .arg(p.freq)
                                        .arg(p.level)));
            }
        }
        QCOMPARE(measure.results()[0].delayAtMeasure, uint16_t(50));
        QVERIFY(unitHolds(before));
    }

    void stopInTheMiddleLeavesTheUnitAsItWas() {
        // CH3 muted by the user: measured only because it is ticked, and muted again after.
        session_->core().CH_Mute_Toggle(2);
        QTRY_COMPARE(sim::unit().memory()[sim::off::ChMute + 2], uint8_t(1));
        const sim::Memory before = sim::unit().memory();
        MeasureRun measure(session_->core(), *audio_);
        QSignalSpy done(&measure, &MeasureRun::finished);
        // Well inside the second channel's capture: after the mutes switched to it.
        connect(&measure, &MeasureRun::progress, this, [&](int, int, int step, int) {
            if (step == 1) QTimer::singleShot(1200, &measure, [&] { measure.stop(); });
        });
        QVERIFY(measure.start(settings({1, 2, 4}), {}, [] { return Link_Machine().online(); }));
        QVERIFY(done.wait(60000));
        QCOMPARE(measure.end(), MeasureEnd::Stopped);
        QCOMPARE(int(measure.results().size()), 1);
        QVERIFY(unitHolds(before));
        // The stopped capture lets the sound server go within a chunk.
        QTRY_VERIFY_WITH_TIMEOUT(!audio_->busy(), 2000);
        session_->core().CH_Mute_Toggle(2);
        // What the stopped sweep left in the car's buffers dies away before the next run.
        QTest::qWait(1000);
    }

    void tweeterIsSweptFromItsCorner() {
        const sim::Memory before = sim::unit().memory();
        MeasureRun measure(session_->core(), *audio_);
        QVERIFY(run(measure, settings({3})));
        QCOMPARE(measure.end(), MeasureEnd::Done);
        const ChannelResult& r = measure.results().front();
        QCOMPARE(r.band.startHz, 3150.0);
        QVERIFY(r.band.raisedStart);
        QVERIFY2(r.measurement.verdict == Verdict::Measured,
                 qPrintable(QStringLiteral("%1, %2 dB signal-to-noise, peak %3 dBFS")
                                .arg(QLatin1String(verdictText(r.measurement.verdict, true)))
                                .arg(r.measurement.snrDb)
                                .arg(r.measurement.peakDbfs)));
        QVERIFY(r.measurement.response.front().freq >= 3150.0);
        QVERIFY(unitHolds(before));
    }

    void protectedBand_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("hpf"); // 0: off
        QTest::addColumn<int>("lpf"); // 0: off
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end");
        QTest::newRow("tweeter, high-pass off") << 0 << 0 << 0 << 1000.0 << 22000.0;
        QTest::newRow("tweeter at 3150 Hz") << 4 << 3150 << 0 << 3150.0 << 22000.0;
        QTest::newRow("tweeter at 500 Hz") << 8 << 500 << 0 << 500.0 << 22000.0;
        QTest::newRow("full range, high-pass 2 kHz") << 3 << 2000 << 0 << 2000.0 << 22000.0;
        QTest::newRow("full range, high-pass 80 Hz") << 3 << 80 << 0 << 10.0 << 22000.0;
        QTest::newRow("subwoofer at 80 Hz") << 19 << 25 << 80 << 10.0 << 160.0;
        QTest::newRow("subwoofer, low-pass off") << 17 << 0 << 0 << 10.0 << 22000.0;
        QTest::newRow("woofer at 80 Hz low-pass") << 2 << 0 << 80 << 10.0 << 22000.0;
    }

    void protectedBand() {
        QFETCH(int, role);
        QFETCH(int, hpf);
        QFETCH(int, lpf);
        QFETCH(double, start);
        QFETCH(double, end);
        ParamImage image;
        image.set_CH_Name(2, uint8_t(role));
        image.set_HPF_Off(2, hpf ? 0 : 1);
        image.set_HPF_Freq(2, uint16_t(hpf ? hpf : 20));
        image.set_LPF_Off(2, lpf ? 0 : 1);
        image.set_LPF_Freq(2, uint16_t(lpf ? lpf : 20000));
        const SweepBand b = Protected_Sweep_Band(image, 2, 10.0, 22000.0);
        QCOMPARE(b.startHz, start);
        QCOMPARE(b.endHz, end);
    }
};

QTEST_MAIN(MeasureRunTest)
#include "test_run.moc"
