// Automatic equalisation on given curves: which bands come out of a known fault, what is left
// alone (narrow dips, what lies beyond the crossovers), the limits that always hold, and the
// targets.
#include "dsp/eq_fit.h"
#include "dsp/response.h"

#include <QtTest>
#include <cmath>

using namespace tarn;

namespace {

// A peaking fault of a speaker: gain dB at f0 Hz with quality Q.
struct Fault {
    double gain, f0, q;
};

// A measurement at 1/48 octave from 20 Hz to 20 kHz: 75 dB with the faults on it.
std::vector<MeasuredPoint> measured(const QList<Fault>& faults) {
    std::vector<MeasuredPoint> points;
    for (int i = 0; i <= 478; ++i) {
        const double f = 20.0 * std::pow(1000.0, i / 478.0);
        double level = 75.0;
        for (const Fault& x : faults)
            level += Peaking_Db(x.gain, x.f0, x.q, f);
        points.push_back({f, level});
    }
    return points;
}

FitBands defaultBands() {
    FitBands b;
    for (int k = 0; k < kBands; ++k)
        b[k] = FitBand{kDefaultBandFreq[k], 0, 30};
    return b;
}

// The combined level of the bands at f, each the standard peaking section.
double bandsDb(const FitBands& bands, double f) {
    double level = 0;
    for (const FitBand& b : bands)
        level += Peaking_Db(b.gain / 10.0, b.freq, b.q / 10.0, f);
    return level;
}

QList<FitBand> usedBands(const FitResult& r) {
    QList<FitBand> used;
    for (const FitBand& b : r.bands)
        if (b.gain != 0) used.append(b);
    return used;
}

FitRequest request(const QList<Fault>& faults, FitMode mode = FitMode::Peq) {
    FitRequest rq;
    rq.measurement = measured(faults);
    rq.bands = defaultBands();
    rq.mode = mode;
    return rq;
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestEqFit : public QObject {
    Q_OBJECT

  private slots:
    // A single fault the bands can undo comes out as one band of its opposite.
    void oneFaultOneBand_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("freqLo");
        QTest::addColumn<int>("freqHi");
        QTest::addColumn<int>("gainLo"); // tenths of a dB
        QTest::addColumn<int>("gainHi");
        QTest::addColumn<int>("qLo"); // Q x 10
        QTest::addColumn<int>("qHi");
        QTest::newRow("+6 dB bump at 100 Hz, Q 4")
            << Fault{6, 100, 4} << 96 << 104 << -62 << -58 << 36 << 44;
        QTest::newRow("+4 dB bump at 2 kHz, Q 1.5")
            << Fault{4, 2000, 1.5} << 1920 << 2080 << -42 << -38 << 13 << 17;
        QTest::newRow("-4 dB wide dip at 1 kHz, Q 1")
            << Fault{-4, 1000, 1} << 960 << 1040 << 38 << 42 << 8 << 12;
        QTest::newRow("+9 dB narrow peak at 5 kHz, Q 8")
            << Fault{9, 5000, 8} << 4900 << 5100 << -93 << -87 << 72 << 88;
    }
    void oneFaultOneBand() {
        QFETCH(Fault, fault);
        QFETCH(int, freqLo);
        QFETCH(int, freqHi);
        QFETCH(int, gainLo);
        QFETCH(int, gainHi);
        QFETCH(int, qLo);
        QFETCH(int, qHi);
        const FitResult r = Fit_Eq(request({fault}));
        QCOMPARE(r.error, FitResult::Error::None);
        const QList<FitBand> used = usedBands(r);
        QCOMPARE(used.size(), 1);
        const FitBand b = used[0];
        const QString got = QStringLiteral("%1 Hz %2 Q %3").arg(b.freq).arg(b.gain).arg(b.q);
        QVERIFY2(b.freq >= freqLo && b.freq <= freqHi, qPrintable(got));
        QVERIFY2(b.gain >= gainLo && b.gain <= gainHi, qPrintable(got));
        QVERIFY2(b.q >= qLo && b.q <= qHi, qPrintable(got));
        QVERIFY2(r.residualDb <= 0.3, qPrintable(QString::number(r.residualDb)));
        QCOMPARE(r.bandsUsed, 1);
    }

    // Nothing to correct, nothing changed: every band flat, in both modes, the frequencies and Q
    // as they were.
    void flatInFlatOut_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("PEQ") << int(FitMode::Peq);
        QTest::newRow("GEQ") << int(FitMode::Geq);
    }
    void flatInFlatOut() {
        QFETCH(int, mode);
        FitRequest rq = request({}, FitMode(mode));
        rq.bands[4] = FitBand{55, 30, 70}; // a boost set before: the fit replaces it
        const FitResult r = Fit_Eq(rq);
        QCOMPARE(r.error, FitResult::Error::None);
        FitBands expected = defaultBands();
        expected[4] = FitBand{55, 0, 70};
        QCOMPARE(r.bands, expected);
        QCOMPARE(r.bandsUsed, 0);
        QVERIFY(r.residualDb < 0.001);
        QVERIFY(r.flatResidualDb < 0.001);
        QCOMPARE(qRound(r.fromHz), 20);
        QCOMPARE(qRound(r.toHz), 20000);
    }

    // A dip narrower than a third of an octave is a cancellation: it is reported and no band
    // lifts anything there, while a wide dip of the same depth is filled up to the boost limit.
    void narrowDipLeftAlone_data() {
        QTest::addColumn<Fault>("dip");
        QTest::addColumn<bool>("narrow");
        QTest::newRow("-12 dB, Q 8 (1/6 octave)") << Fault{-12, 1000, 8} << true;
        QTest::newRow("-8 dB, Q 5 (1/4 octave)") << Fault{-8, 1000, 5} << true;
        QTest::newRow("-12 dB, Q 1 (1.4 octaves)") << Fault{-12, 1000, 1} << false;
    }
    void narrowDipLeftAlone() {
        QFETCH(Fault, dip);
        QFETCH(bool, narrow);
        for (FitMode mode : {FitMode::Peq, FitMode::Geq}) {
            const FitResult r = Fit_Eq(request({dip}, mode));
            const double atDip = bandsDb(r.bands, 1000.0);
            if (narrow) {
                QCOMPARE(r.narrowDips.size(), size_t(1));
                QVERIFY(qAbs(r.narrowDips[0] - 1000.0) < 30.0);
                for (const FitBand& b : r.bands)
                    QVERIFY2(b.gain <= 0 || qAbs(std::log2(b.freq / 1000.0)) > 1.0 / 3,
                             qPrintable(QString::number(b.freq)));
                QVERIFY(atDip <= 0.005);
            } else {
                QVERIFY(r.narrowDips.empty());
                QVERIFY2(atDip > 5.5 && atDip <= 6.005, qPrintable(QString::number(atDip)));
            }
        }
    }

    // The limits hold on the combined bands, whatever the fault asks for.
    void limits_data() {
        QTest::addColumn<QList<Fault>>("faults");
        QTest::addColumn<double>("maxBoost");
        QTest::addColumn<int>("hpf"); // corner in Hz, 0: off
        QTest::addColumn<int>("lpf");
        QTest::addColumn<double>("ceilingDb"); // the combined bands never above
        QTest::addColumn<double>("floorDb");   // nor below
        QTest::addColumn<int>("fromHz");       // the range corrected
        QTest::addColumn<int>("toHz");
        QTest::newRow("deep wide dip, boost limit 6 dB")
            << QList<Fault>{{-10, 1000, 1}} << 6.0 << 0 << 0 << 6.0 << -1.0 << 20 << 20000;
        QTest::newRow("deep wide dip, boost limit 3 dB")
            << QList<Fault>{{-10, 1000, 1}} << 3.0 << 0 << 0 << 3.0 << -1.0 << 20 << 20000;
        QTest::newRow("boost limit 0: cuts only") << QList<Fault>{{-6, 300, 1}, {6, 3000, 2}} << 0.0
                                                  << 0 << 0 << 0.0 << -6.5 << 20 << 20000;
        QTest::newRow("high peak: cut down to -12 dB")
            << QList<Fault>{{18, 500, 2}} << 6.0 << 0 << 0 << 6.0 << -12.0 << 20 << 20000;
        QTest::newRow("fault beyond the low-pass: untouched")
            << QList<Fault>{{6, 5000, 2}} << 6.0 << 0 << 2000 << 0.0 << -0.5 << 20 << 2000;
        QTest::newRow("fault below the high-pass: untouched")
            << QList<Fault>{{-6, 60, 2}, {6, 40, 2}} << 6.0 << 200 << 0 << 0.5 << -0.5 << 200
            << 20000;
    }
    void limits() {
        QFETCH(QList<Fault>, faults);
        QFETCH(double, maxBoost);
        QFETCH(int, hpf);
        QFETCH(int, lpf);
        QFETCH(double, ceilingDb);
        QFETCH(double, floorDb);
        QFETCH(int, fromHz);
        QFETCH(int, toHz);
        for (FitMode mode : {FitMode::Peq, FitMode::Geq}) {
            FitRequest rq = request(faults, mode);
            rq.maxBoostDb = maxBoost;
            rq.hpf = CrossoverSetting{hpf > 0, 1, 3, hpf > 0 ? hpf : 20};
            rq.lpf = CrossoverSetting{lpf > 0, 1, 3, lpf > 0 ? lpf : 20000};
            const FitResult r = Fit_Eq(rq);
            QCOMPARE(r.error, FitResult::Error::None);
            QVERIFY(qAbs(r.fromHz - fromHz) <= fromHz * 0.03);
            QVERIFY(qAbs(r.toHz - toHz) <= toHz * 0.03);
            double top = -100, bottom = 100;
            for (int i = 0; i <= 600; ++i) {
                const double f = 20.0 * std::pow(1000.0, i / 600.0);
                const double level = bandsDb(r.bands, f);
                // A boost at the corner may reach down a third of an octave, tapering.
                const double allowed = maxBoost * std::max(0.0, 1.0 - 3.0 * std::log2(hpf / f));
                if (hpf > 0 && f < hpf && level > allowed + 0.005)
                    QFAIL(qPrintable(QStringLiteral("boost %1 dB at %2 Hz below the high-pass")
                                         .arg(level)
                                         .arg(f)));
                top = std::max(top, level);
                bottom = std::min(bottom, level);
            }
            for (const FitBand& b : r.bands) {
                QVERIFY(b.freq >= 20 && b.freq <= 20000);
                QVERIFY(b.gain >= -120 && b.gain <= 120);
                QVERIFY(b.q >= 4 && b.q <= 100);
                if (hpf > 0 && b.gain > 0) QVERIFY(b.freq >= hpf);
                // Parametric bands are centred in the range corrected.
                if (mode == FitMode::Peq && b.gain != 0)
                    QVERIFY(b.freq >= r.fromHz - 1 && b.freq <= r.toHz + 1);
            }
            const QString got = QStringLiteral("%1..%2 dB").arg(bottom).arg(top);
            QVERIFY2(top <= ceilingDb + 0.005, qPrintable(got));
            QVERIFY2(bottom >= floorDb - 0.01, qPrintable(got));
            QVERIFY2(r.residualDb <= r.flatResidualDb, qPrintable(got));
        }
    }

    // A response like a car's: several broad and narrow faults. Where the limits allow, the fit
    // comes within 1 dB RMS of the target, and it is never worse than the bands left flat.
    void carLikeResponse_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("target"); // TargetCurve::Kind
        QTest::addColumn<double>("reachableMax");
        QTest::newRow("PEQ, flat") << int(FitMode::Peq) << int(TargetCurve::Kind::Flat) << 1.0;
        QTest::newRow("PEQ, house") << int(FitMode::Peq) << int(TargetCurve::Kind::House) << 1.0;
        QTest::newRow("GEQ, flat") << int(FitMode::Geq) << int(TargetCurve::Kind::Flat) << 1.5;
    }
    void carLikeResponse() {
        QFETCH(int, mode);
        QFETCH(int, target);
        QFETCH(double, reachableMax);
        FitRequest rq = request({{8, 60, 3},
                                 {-5, 180, 2},
                                 {4, 450, 1.2},
                                 {-15, 900, 9},
                                 {-4, 2500, 1.5},
                                 {6, 4200, 4},
                                 {-3, 9000, 0.8}},
                                FitMode(mode));
        rq.target = target == int(TargetCurve::Kind::House) ? House_Target() : Flat_Target();
        rq.hpf = CrossoverSetting{true, 1, 3, 40};
        const FitResult r = Fit_Eq(rq);
        QCOMPARE(r.error, FitResult::Error::None);
        const QString got = QStringLiteral("residual %1, reachable %2, flat %3, %4 bands, %5 ms")
                                .arg(r.residualDb)
                                .arg(r.reachableResidualDb)
                                .arg(r.flatResidualDb)
                                .arg(r.bandsUsed)
                                .arg(r.elapsedMs);
        QVERIFY2(r.reachableResidualDb <= reachableMax, qPrintable(got));
        QVERIFY2(r.residualDb < r.flatResidualDb, qPrintable(got));
        QCOMPARE(r.narrowDips.size(), size_t(1)); // the cancellation at 900 Hz
        QVERIFY(bandsDb(r.bands, 900.0) <= 0.005);
        // The predicted curve lies on the target across the range, but for the dip.
        int off = 0;
        for (int j = 0; j < kCurvePoints; ++j) {
            const double f = Grid_Freq(j);
            if (!r.covered[j] || f < 60 || (f > 700 && f < 1150)) continue;
            if (qAbs(r.predicted[j] - r.target[j]) > 2.0) ++off;
        }
        QVERIFY2(off <= (mode == int(FitMode::Geq) ? 12 : 3), qPrintable(QString::number(off)));
    }

    // In GEQ mode only the gains change.
    void geqKeepsFrequencies() {
        FitRequest rq = request({{6, 1000, 1.4}}, FitMode::Geq);
        rq.bands[17] = FitBand{1100, 0, 20};
        const FitResult r = Fit_Eq(rq);
        for (int k = 0; k < kBands; ++k) {
            QCOMPARE(r.bands[k].freq, rq.bands[k].freq);
            QCOMPARE(r.bands[k].q, rq.bands[k].q);
        }
        QVERIFY(r.bands[17].gain <= -30);
        QVERIFY2(r.residualDb <= 0.5, qPrintable(QString::number(r.residualDb)));
    }

    // The house curve and a target file, as levels at given frequencies.
    void targets_data() {
        QTest::addColumn<int>("which"); // 0 house default, 1 house adjusted, 2 file
        QTest::addColumn<double>("freq");
        QTest::addColumn<double>("level");
        QTest::newRow("house, 25 Hz") << 0 << 25.0 << 5.9766;
        QTest::newRow("house, 100 Hz: half the shelf") << 0 << 100.0 << 3.0;
        QTest::newRow("house, 400 Hz") << 0 << 400.0 << 0.0234;
        QTest::newRow("house, 1 kHz") << 0 << 1000.0 << 0.0006;
        QTest::newRow("house, 4 kHz: two octaves of tilt") << 0 << 4000.0 << -2.0;
        QTest::newRow("house +8 dB at 80 Hz, -0.5 dB/oct from 2 kHz, 80 Hz") << 1 << 80.0 << 4.0;
        QTest::newRow("house adjusted, 8 kHz") << 1 << 8000.0 << -1.0;
        QTest::newRow("file, below its first point") << 2 << 10.0 << 2.0;
        QTest::newRow("file, on a point") << 2 << 100.0 << 2.0;
        QTest::newRow("file, halfway in octaves") << 2 << 2000.0 << -1.5;
        QTest::newRow("file, past its end") << 2 << 20000.0 << -3.0;
    }
    void targets() {
        QFETCH(int, which);
        QFETCH(double, freq);
        QFETCH(double, level);
        TargetCurve t = House_Target();
        if (which == 1) t = House_Target(HouseCurve{8.0, 80.0, -0.5, 2000.0});
        MeasurementRead read;
        if (which == 2) {
            QByteArray text("* target\n");
            // Given out of order; a tab and a decimal comma as in some locales.
            text += "4000\t-3,0\n100\t2,0\n1000\t0,0\n";
            for (int f = 5000; f <= 14000; f += 1000)
                text += QByteArray::number(f) + "\t-3,0\n";
            t = File_Target(text, &read);
            QCOMPARE(read.error, MeasurementRead::Error::None);
        }
        const double got = t.levelAt(freq);
        QVERIFY2(qAbs(got - level) < 0.0005, qPrintable(QString::number(got, 'f', 5)));
    }

    void refusedTargetFile() {
        MeasurementRead read;
        const TargetCurve t = File_Target("100 2\n200\n", &read);
        QCOMPARE(read.error, MeasurementRead::Error::BadLine);
        QCOMPARE(read.badLine, 2);
        QVERIFY(t.points.empty());
    }

    // A flat measurement brought to the house curve: the bands draw the curve.
    void houseFromFlat() {
        FitRequest rq = request({});
        rq.target = House_Target();
        const FitResult r = Fit_Eq(rq);
        QVERIFY2(r.residualDb <= 1.0, qPrintable(QString::number(r.residualDb)));
        const double mid = bandsDb(r.bands, 700.0);
        QVERIFY(qAbs(bandsDb(r.bands, 30.0) - mid - 6.0) < 1.0);
        QVERIFY(qAbs(bandsDb(r.bands, 8000.0) - mid + 3.0) < 1.0);
    }

    // Nothing to correct between the corners, or a measurement that does not reach them.
    void noRange_data() {
        QTest::addColumn<int>("hpf");
        QTest::addColumn<int>("lpf");
        QTest::addColumn<double>("measuredFrom");
        QTest::addColumn<double>("measuredTo");
        QTest::newRow("high-pass above the low-pass") << 5000 << 1000 << 20.0 << 20000.0;
        QTest::newRow("corners a fifth of an octave apart") << 1000 << 1150 << 20.0 << 20000.0;
        QTest::newRow("measurement below the pass band") << 2000 << 0 << 20.0 << 1500.0;
    }
    void noRange() {
        QFETCH(int, hpf);
        QFETCH(int, lpf);
        QFETCH(double, measuredFrom);
        QFETCH(double, measuredTo);
        FitRequest rq = request({{6, 3000, 2}});
        std::vector<MeasuredPoint> kept;
        for (const MeasuredPoint& p : rq.measurement)
            if (p.freq >= measuredFrom && p.freq <= measuredTo) kept.push_back(p);
        rq.measurement = kept;
        rq.hpf = CrossoverSetting{hpf > 0, 0, 3, hpf > 0 ? hpf : 20};
        rq.lpf = CrossoverSetting{lpf > 0, 0, 3, lpf > 0 ? lpf : 20000};
        const FitResult r = Fit_Eq(rq);
        QCOMPARE(r.error, FitResult::Error::NoRange);
        QCOMPARE(r.bandsUsed, 0);
    }
};

QTEST_APPLESS_MAIN(TestEqFit)
#include "test_eq_fit.moc"
