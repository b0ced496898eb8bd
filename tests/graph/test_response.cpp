// The response computation against the mirror: grid, band and crossover shapes, polyline and the
// marker <-> frequency conversions. Expected levels are literals worked out in python3 from the
// textbook formulas (cookbook peaking biquad at 48 kHz, Butterworth |H|^2 = 1/(1 + r^2n),
// Linkwitz-Riley = Butterworth of half the order squared, Bessel from its polynomial scaled to
// -3.01 dB at the corner); pixels from x = 36.5 + 1059 * log10(f / 20) / 3 and
// y = 144.5 - 4.7 * dB, each rounded down.
#include "dsp/response.h"
#include "dsp/response_curves.h"
#include "model/param_image.h"

#include <QtTest>
#include <cmath>

using namespace tarn;

namespace {

// Index of the largest (or smallest) value of a row.
int extremum(const ResponseCurves::Row& row, bool highest) {
    int best = 0;
    for (int i = 1; i < kCurvePoints; ++i)
        if (highest ? row[i] > row[best] : row[i] < row[best]) best = i;
    return best;
}

} // namespace

class TestResponse : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        Param_Init();
        curves.init();
    }

    void startupIsFlatLine();
    void flatEqIsExactlyZero();
    void singleBandPeak_data();
    void singleBandPeak();
    void bandSectionGainAtItsFrequency_data();
    void bandSectionGainAtItsFrequency();
    void bandIsTheStandardPeaking();
    void cutMirrorsBoost_data();
    void cutMirrorsBoost();
    void eqTouchesOnlyItsChannel();
    void crossoverShapes_data();
    void crossoverShapes();
    void butterworth24AtTwentyHertz();
    void offFilterIsExactlyFlat_data();
    void offFilterIsExactlyFlat();
    void unknownFamilyLeavesCurve();
    void channelIsTheSumInDb();
    void pointsOnTheScale();
    void freqToPos_data();
    void freqToPos();
    void posToFreq_data();
    void posToFreq();
    void posToFreqIsMonotoneAndInRange();
    void standardPeaking_data();
    void standardPeaking();
    void narrowBandDrawnInFull_data();
    void narrowBandDrawnInFull();

  private:
    ResponseCurves curves;
};

void TestResponse::startupIsFlatLine() {
    QCOMPARE(curves.points(0)[0], QPoint(36, 144)); // 20 Hz on the plot's first column
    QCOMPARE(curves.points(0)[1].x(), 44);
    QCOMPARE(curves.points(0)[64].x(), 570);
    QCOMPARE(curves.points(0)[126].x(), 1087);
    QCOMPARE(curves.points(0)[127], QPoint(1095, 144)); // 20 kHz on its last column
    for (uint8_t ch = 0; ch < kCurveChannels; ++ch) {
        for (int i = 0; i < kCurvePoints; ++i) {
            QCOMPARE(curves.points(ch)[i].y(), 144);
            QCOMPARE(curves.points(ch)[i].x(), curves.points(0)[i].x());
            QCOMPARE(curves.eq(ch)[i], 0.0);
            QCOMPARE(curves.hpf(ch)[i], 0.0);
            QCOMPARE(curves.lpf(ch)[i], 0.0);
        }
    }
    QVERIFY(qAbs(curves.freq(0) - 20.0) < 1e-9);
    QVERIFY(qAbs(curves.freq(1) - 21.118) < 1e-3);
    QVERIFY(qAbs(curves.freq(64) - 649.892) < 1e-3);
    QVERIFY(qAbs(curves.freq(126) - 18941.22) < 1e-2);
    QVERIFY(qAbs(curves.freq(127) - 20000.0) < 1e-6);
    QCOMPARE(curves.line(true), QLine(66, 50, 66, 238));
    QCOMPARE(curves.line(false), QLine(666, 50, 666, 238));
}

// Bands at 0 dB add nothing: the flat curve is exactly 0 dB and lies on the 0 dB row.
void TestResponse::flatEqIsExactlyZero() {
    curves.eqCalc(2);
    curves.pointsUpdate(2);
    for (int i = 0; i < kCurvePoints; ++i) {
        QCOMPARE(curves.eq(2)[i], 0.0);
        QCOMPARE(curves.points(2)[i].y(), 144);
    }
    QCOMPARE(Channel_Level_Db(2, 20.0), 0.0);
    QCOMPARE(Channel_Level_Db(2, 20000.0), 0.0);
}

void TestResponse::singleBandPeak_data() {
    QTest::addColumn<int>("gain");
    QTest::addColumn<double>("db");
    QTest::addColumn<int>("y");
    // Peaking +-12 dB, Q 3, 1 kHz, at grid point 72 (1004.19 Hz): +-11.9897 dB;
    // y = floor(144.5 -+ 4.7 * 11.9897) = 88 / 200.
    QTest::newRow("+12.0 dB") << 240 << 11.9897 << 88;
    QTest::newRow("-12.0 dB") << 0 << -11.9897 << 200;
}

void TestResponse::singleBandPeak() {
    QFETCH(int, gain);
    QFETCH(double, db);
    QFETCH(int, y);
    Param_Image.set_EQ_Gain(0, 17, static_cast<uint16_t>(gain)); // band 18, 1000 Hz, Q 3.0
    curves.eqCalc(0);
    curves.pointsUpdate(0);
    const int i = extremum(curves.eq(0), gain > 120);
    QCOMPARE(i, 72);
    QVERIFY2(qAbs(curves.eq(0)[i] - db) < 0.0001,
             qPrintable(QString::number(curves.eq(0)[i], 'f', 4)));
    QCOMPARE(curves.points(0)[i], QPoint(636, y));
}

void TestResponse::bandSectionGainAtItsFrequency_data() {
    QTest::addColumn<int>("gain");
    QTest::addColumn<double>("f0");
    QTest::addColumn<int>("q");
    QTest::newRow("+12 dB 1 kHz Q3") << 240 << 1000.0 << 30;
    QTest::newRow("-12 dB 1 kHz Q3") << 0 << 1000.0 << 30;
    QTest::newRow("+6 dB 100 Hz Q0.4") << 180 << 100.0 << 4;
    QTest::newRow("-3.5 dB 8 kHz Q10") << 85 << 8000.0 << 100;
    QTest::newRow("0 dB 250 Hz") << 120 << 250.0 << 30;
    QTest::newRow("+20 dB typed") << 320 << 2000.0 << 15;
}

// A peaking band has exactly its gain at its own frequency and is flat far from it.
void TestResponse::bandSectionGainAtItsFrequency() {
    QFETCH(int, gain);
    QFETCH(double, f0);
    QFETCH(int, q);
    const Biquad s = EQ_Band_Section(gain, f0, q);
    const double db = 10.0 * std::log10(Section_Power(s, f0));
    QVERIFY2(qAbs(db - (gain - 120) / 10.0) < 0.001, qPrintable(QString::number(db)));
    QCOMPARE(s.a1, s.b1);
    QVERIFY(qAbs(Section_Power(s, 0.0) - 1.0) < 1e-6); // DC
}

// A band on the curve is the standard peaking filter: +6 dB, Q 3 at 1 kHz reads +6.00 dB at
// 1 kHz; -6 dB, Q 2 at 1 kHz is half its gain (-3.00 dB) at 781.2117 Hz (the band edge of the
// cookbook's Q) and -1.4819 dB at grid point 64 (649.892 Hz).
void TestResponse::bandIsTheStandardPeaking() {
    Param_Image.set_EQ_Gain(1, 17, 180);
    QVERIFY(qAbs(Channel_Level_Db(1, 1000.0) - 6.00) < 0.005);
    Param_Image.set_EQ_Gain(1, 17, 60);
    Param_Image.set_EQ_Q(1, 17, 20);
    QVERIFY(qAbs(Channel_Level_Db(1, 781.2117) - (-3.00)) < 0.0005);
    curves.eqCalc(1);
    QVERIFY2(qAbs(curves.eq(1)[64] - (-1.4819)) < 0.0001,
             qPrintable(QString::number(curves.eq(1)[64], 'f', 5)));
}

void TestResponse::cutMirrorsBoost_data() {
    QTest::addColumn<int>("band");
    QTest::addColumn<int>("freq");
    QTest::addColumn<int>("q");
    QTest::addColumn<int>("tenthsDb");
    QTest::newRow("6.3 dB 315 Hz Q3") << 12 << 315 << 30 << 63;
    QTest::newRow("12 dB 5 kHz Q0.4") << 24 << 5000 << 4 << 120;
    QTest::newRow("2.5 dB 12.5 kHz Q1") << 28 << 12500 << 10 << 25;
}

// A cut of -G dB is the mirror image of a boost of +G dB at every grid point (the cookbook's cut
// is the inverse of its boost), and no grid point exceeds the band's gain.
void TestResponse::cutMirrorsBoost() {
    QFETCH(int, band);
    QFETCH(int, freq);
    QFETCH(int, q);
    QFETCH(int, tenthsDb);
    Param_Image.set_EQ_Freq(0, band, static_cast<uint16_t>(freq));
    Param_Image.set_EQ_Q(0, band, static_cast<uint8_t>(q));
    Param_Image.set_EQ_Gain(0, band, static_cast<uint16_t>(120 + tenthsDb));
    curves.eqCalc(0);
    double boost[kCurvePoints];
    std::copy(curves.eq(0).begin(), curves.eq(0).end(), boost);
    Param_Image.set_EQ_Gain(0, band, static_cast<uint16_t>(120 - tenthsDb));
    curves.eqCalc(0);
    double peak = 0.0;
    for (int i = 0; i < kCurvePoints; ++i) {
        QVERIFY2(qAbs(boost[i] + curves.eq(0)[i]) < 1e-7, qPrintable(QString::number(i)));
        peak = qMax(peak, boost[i]);
    }
    QVERIFY(peak <= tenthsDb / 10.0 + 1e-9 && peak > tenthsDb / 10.0 * 0.9);
}

void TestResponse::eqTouchesOnlyItsChannel() {
    // A typed -20.0 dB is stored as 16-bit two's complement (-80) and must draw a cut:
    // -19.9728 dB at grid point 72 (peaking, Q 3, 1 kHz).
    Param_Image.set_EQ_Gain(3, 17, static_cast<uint16_t>(-80));
    curves.eqCalc(3);
    curves.pointsUpdate(3);
    QVERIFY(qAbs(curves.eq(3)[72] - (-19.9728)) < 0.0001);
    for (int i = 0; i < kCurvePoints; ++i) {
        QCOMPARE(curves.eq(0)[i], 0.0);
        QCOMPARE(curves.points(0)[i].y(), 144);
    }
    // The band sections are those of the channel computed: the next channel starts afresh.
    curves.eqCalc(4);
    for (int i = 0; i < kCurvePoints; ++i)
        QCOMPARE(curves.eq(4)[i], 0.0);
}

void TestResponse::crossoverShapes_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("slope");
    QTest::addColumn<double>("cornerDb");
    QTest::addColumn<double>("octaveDb");   // one octave into the stop band (ratio 2)
    QTest::addColumn<double>("decades3Db"); // three decades into it (ratio 1000)
    // Butterworth: -10 log10(1 + r^2n). Linkwitz-Riley, even n: -20 log10(1 + r^n); odd n (6, 18,
    // 30, 42 dB/oct have no squared Butterworth): drawn as Butterworth of order n. Bessel:
    // 20 log10(|a0 / theta_n(j w_n r)|) with w_n the polynomial's own -3.01 dB frequency.
    QTest::newRow("Butterworth 6 dB/oct") << 0 << 0 << -3.0103 << -6.9897 << -60.0000;
    QTest::newRow("Butterworth 12 dB/oct") << 0 << 1 << -3.0103 << -12.3045 << -120.0000;
    QTest::newRow("Butterworth 18 dB/oct") << 0 << 2 << -3.0103 << -18.1291 << -180.0000;
    QTest::newRow("Butterworth 24 dB/oct") << 0 << 3 << -3.0103 << -24.0993 << -240.0000;
    QTest::newRow("Butterworth 30 dB/oct") << 0 << 4 << -3.0103 << -30.1072 << -300.0000;
    QTest::newRow("Butterworth 36 dB/oct") << 0 << 5 << -3.0103 << -36.1247 << -360.0000;
    QTest::newRow("Butterworth 42 dB/oct") << 0 << 6 << -3.0103 << -42.1445 << -420.0000;
    QTest::newRow("Butterworth 48 dB/oct") << 0 << 7 << -3.0103 << -48.1649 << -480.0000;
    QTest::newRow("Linkwitz-Riley 6 dB/oct") << 1 << 0 << -3.0103 << -6.9897 << -60.0000;
    QTest::newRow("Linkwitz-Riley 12 dB/oct") << 1 << 1 << -6.0206 << -13.9794 << -120.0000;
    QTest::newRow("Linkwitz-Riley 18 dB/oct") << 1 << 2 << -3.0103 << -18.1291 << -180.0000;
    QTest::newRow("Linkwitz-Riley 24 dB/oct") << 1 << 3 << -6.0206 << -24.6090 << -240.0000;
    QTest::newRow("Linkwitz-Riley 30 dB/oct") << 1 << 4 << -3.0103 << -30.1072 << -300.0000;
    QTest::newRow("Linkwitz-Riley 36 dB/oct") << 1 << 5 << -6.0206 << -36.2583 << -360.0000;
    QTest::newRow("Linkwitz-Riley 42 dB/oct") << 1 << 6 << -3.0103 << -42.1445 << -420.0000;
    QTest::newRow("Linkwitz-Riley 48 dB/oct") << 1 << 7 << -6.0206 << -48.1987 << -480.0000;
    QTest::newRow("Bessel 6 dB/oct") << 2 << 0 << -3.0103 << -6.9897 << -60.0000;
    QTest::newRow("Bessel 12 dB/oct") << 2 << 1 << -3.0103 << -9.8153 << -115.8203;
    QTest::newRow("Bessel 18 dB/oct") << 2 << 2 << -3.0103 << -12.0003 << -171.1448;
    QTest::newRow("Bessel 24 dB/oct") << 2 << 3 << -3.0103 << -13.4054 << -225.5833;
    QTest::newRow("Bessel 30 dB/oct") << 2 << 4 << -3.0103 << -14.0627 << -279.0057;
    QTest::newRow("Bessel 36 dB/oct") << 2 << 5 << -3.0103 << -14.1721 << -331.4927;
    QTest::newRow("Bessel 42 dB/oct") << 2 << 6 << -3.0103 << -13.9782 << -383.1952;
    QTest::newRow("Bessel 48 dB/oct") << 2 << 7 << -3.0103 << -13.6757 << -434.2428;
}

// The grid spans exactly three decades, so a high-pass at 20 kHz and a low-pass at 20 Hz have
// their corner at one end of the grid and a ratio of 1000 at the other. The level at one octave
// is read at the frequency itself: a high-pass at 2 kHz at 1 kHz, a low-pass at 200 Hz at 400 Hz.
void TestResponse::crossoverShapes() {
    QFETCH(int, type);
    QFETCH(int, slope);
    QFETCH(double, cornerDb);
    QFETCH(double, octaveDb);
    QFETCH(double, decades3Db);
    const int ch = 5;
    const auto set = [&](const FilterFields& f, int freq, bool on) {
        Param_Image.setFilterOff(f, ch, on ? 0 : 1);
        Param_Image.setFilterFreq(f, ch, static_cast<uint16_t>(freq));
        Param_Image.setFilterType(f, ch, static_cast<uint8_t>(type));
        Param_Image.setFilterSlope(f, ch, static_cast<uint8_t>(slope));
    };
    set(kHpfFields, 20000, true);
    set(kLpfFields, 20, true);
    curves.crossoverCalc(ch, true);
    curves.crossoverCalc(ch, false);
    const double tol = 0.0001;
    QVERIFY2(qAbs(curves.hpf(ch)[127] - cornerDb) < tol,
             qPrintable(QString::number(curves.hpf(ch)[127])));
    QVERIFY2(qAbs(curves.hpf(ch)[0] - decades3Db) < tol,
             qPrintable(QString::number(curves.hpf(ch)[0])));
    QVERIFY2(qAbs(curves.lpf(ch)[0] - cornerDb) < tol,
             qPrintable(QString::number(curves.lpf(ch)[0])));
    QVERIFY2(qAbs(curves.lpf(ch)[127] - decades3Db) < tol,
             qPrintable(QString::number(curves.lpf(ch)[127])));
    // Each filter only falls away from its corner.
    for (int i = 1; i < kCurvePoints; ++i) {
        QVERIFY(curves.hpf(ch)[i] > curves.hpf(ch)[i - 1]);
        QVERIFY(curves.lpf(ch)[i] < curves.lpf(ch)[i - 1]);
    }

    set(kHpfFields, 2000, true);
    set(kLpfFields, 20, false);
    QVERIFY(qAbs(Channel_Level_Db(ch, 2000.0) - cornerDb) < tol);
    QVERIFY2(qAbs(Channel_Level_Db(ch, 1000.0) - octaveDb) < tol,
             qPrintable(QString::number(Channel_Level_Db(ch, 1000.0), 'f', 5)));
    set(kHpfFields, 20, false);
    set(kLpfFields, 200, true);
    QVERIFY(qAbs(Channel_Level_Db(ch, 200.0) - cornerDb) < tol);
    QVERIFY(qAbs(Channel_Level_Db(ch, 400.0) - octaveDb) < tol);
}

void TestResponse::butterworth24AtTwentyHertz() {
    Param_Image.set_HPF_Off(0, 0);
    Param_Image.set_HPF_Freq(0, 100);
    Param_Image.set_HPF_Slope(0, 3);
    Param_Image.set_HPF_Type(0, 0);
    curves.crossoverCalc(0, true);
    curves.pointsUpdate(0);
    // -10 log10(1 + 5^8) = -55.9176 dB, y = floor(144.5 + 4.7 * 55.9176) = 407.
    QVERIFY(qAbs(curves.hpf(0)[0] - (-55.9176)) < 0.0001);
    QCOMPARE(curves.points(0)[0].y(), 407); // left for the clip to cut
    // 100 Hz lies on column floor(36.5 + 353 * log10(5)) = 283; the marker's left edge 5 left.
    QCOMPARE(curves.markerX(true), 278);
    QCOMPARE(curves.line(true), QLine(283, 50, 283, 238));
}

void TestResponse::offFilterIsExactlyFlat_data() {
    QTest::addColumn<bool>("high");
    QTest::addColumn<int>("freq");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("slope");
    QTest::addColumn<int>("column"); // floor(36.5 + 353 * log10(freq / 20))
    QTest::newRow("HPF 100 Hz Butterworth -24") << true << 100 << 0 << 3 << 283;
    QTest::newRow("HPF 20 kHz Bessel -48") << true << 20000 << 2 << 7 << 1095;
    QTest::newRow("LPF 1 kHz Link -12") << false << 1000 << 1 << 1 << 636;
    QTest::newRow("LPF 20 Hz Butterworth -6") << false << 20 << 0 << 0 << 36;
}

// An OFF filter is exactly 0 dB however it is set, also right after it was on; its marker and
// line are still placed.
void TestResponse::offFilterIsExactlyFlat() {
    QFETCH(bool, high);
    QFETCH(int, freq);
    QFETCH(int, type);
    QFETCH(int, slope);
    QFETCH(int, column);
    const FilterFields& f = high ? kHpfFields : kLpfFields;
    const int ch = 1;
    Param_Image.setFilterFreq(f, ch, static_cast<uint16_t>(freq));
    Param_Image.setFilterType(f, ch, static_cast<uint8_t>(type));
    Param_Image.setFilterSlope(f, ch, static_cast<uint8_t>(slope));
    Param_Image.setFilterOff(f, ch, 0);
    curves.crossoverCalc(ch, high);
    const ResponseCurves::Row& row = high ? curves.hpf(ch) : curves.lpf(ch);
    QVERIFY(row[high ? 0 : 127] < -1.0 || row[high ? 127 : 0] < -1.0);

    Param_Image.setFilterOff(f, ch, 1);
    curves.crossoverCalc(ch, high);
    for (int i = 0; i < kCurvePoints; ++i)
        QCOMPARE(row[i], 0.0);
    QCOMPARE(Channel_Level_Db(ch, freq), 0.0);
    QCOMPARE(curves.markerX(high), column - 5);
    QCOMPARE(curves.line(high), QLine(column, 50, column, 238));
}

void TestResponse::unknownFamilyLeavesCurve() {
    Param_Image.set_LPF_Off(0, 0);
    Param_Image.set_LPF_Freq(0, 1000);
    curves.crossoverCalc(0, false);
    const double before = curves.lpf(0)[100];
    QVERIFY(before < -10.0);
    Param_Image.set_LPF_Type(0, 3);
    Param_Image.set_LPF_Freq(0, 5000);
    curves.crossoverCalc(0, false);
    QCOMPARE(curves.lpf(0)[100], before);
    QCOMPARE(curves.markerX(false),
             877); // the marker still follows the frequency: 5 kHz on column 882
}

// Band, high-pass and low-pass add in dB. +6 dB Q 3 at 1 kHz, Butterworth 12 dB/oct high-pass at
// 100 Hz, Linkwitz-Riley 24 dB/oct low-pass at 3 kHz, summed from the three formulas:
// grid point 20 (59.357 Hz) -9.5668 dB, 72 (1004.19 Hz) +5.8871 dB, 100 (4605.05 Hz) -16.2927 dB.
void TestResponse::channelIsTheSumInDb() {
    const uint8_t ch = 3;
    Param_Image.set_EQ_Gain(ch, 17, 180);
    Param_Image.set_HPF_Off(ch, 0);
    Param_Image.set_HPF_Freq(ch, 100);
    Param_Image.set_HPF_Type(ch, 0);
    Param_Image.set_HPF_Slope(ch, 1);
    Param_Image.set_LPF_Off(ch, 0);
    Param_Image.set_LPF_Freq(ch, 3000);
    Param_Image.set_LPF_Type(ch, 1);
    Param_Image.set_LPF_Slope(ch, 3);
    curves.eqCalc(ch);
    curves.crossoverCalc(ch, true);
    curves.crossoverCalc(ch, false);
    curves.pointsUpdate(ch);
    const struct {
        int i;
        double db;
        int y;
    } points[] = {{20, -9.5668, 189}, {72, 5.8871, 116}, {100, -16.2927, 221}};
    for (const auto& p : points) {
        QVERIFY2(qAbs(curves.db(ch, p.i) - p.db) < 0.0001, qPrintable(QString::number(p.i)));
        QVERIFY(qAbs(Channel_Level_Db(ch, curves.freq(p.i)) - p.db) < 0.0001);
        QCOMPARE(curves.points(ch)[p.i].y(), p.y);
    }
}

// Rows hold dB; a point lies on the row that holds y = 144.5 - 4.7 * dB, rounded down.
void TestResponse::pointsOnTheScale() {
    curves.setLevels(4, 0, 20.0, 0.0, 0.0);    // 50.5 -> the plot's top row
    curves.setLevels(4, 1, 0.0, -0.1, 0.0);    // 144.97 -> 144
    curves.setLevels(4, 2, 0.0, 0.0, 0.1);     // 144.03 -> 144
    curves.setLevels(4, 4, 0.2, 0.0, 0.0);     // 143.56 -> 143
    curves.setLevels(4, 3, 10.25, -20.5, 3.0); // -7.25 dB: 178.575 -> 178
    curves.pointsUpdate(4);
    QCOMPARE(curves.points(4)[0], QPoint(36, 50));
    QCOMPARE(curves.points(4)[1].y(), 144);
    QCOMPARE(curves.points(4)[2].y(), 144);
    QCOMPARE(curves.points(4)[3].y(), 178);
    QCOMPARE(curves.points(4)[4].y(), 143);
    QCOMPARE(curves.points(4)[5].y(), 144);
    QCOMPARE(curves.points(3)[0].y(), 144);
}

// A band marker's left edge lies 5 left of the column of its frequency,
// floor(36.5 + 353 * log10(f / 20)).
void TestResponse::freqToPos_data() {
    QTest::addColumn<double>("f");
    QTest::addColumn<int>("x");
    QTest::newRow("20") << 20.0 << 31;
    QTest::newRow("100") << 100.0 << 278;
    QTest::newRow("1000") << 1000.0 << 631;
    QTest::newRow("10000") << 10000.0 << 984;
    QTest::newRow("19999") << 19999.0 << 1090;
    QTest::newRow("20000") << 20000.0 << 1090;
}

void TestResponse::freqToPos() {
    QFETCH(double, f);
    QFETCH(int, x);
    QCOMPARE(Freq_To_Pos(f), x);
}

// The frequency at the middle of the marker's column, 20 * 10^(3 * (x + 5 - 36) / 1059), to the
// nearest hertz and within 20..20000.
void TestResponse::posToFreq_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("f");
    QTest::newRow("left of the graph") << 0 << 20;
    QTest::newRow("30") << 30 << 20;
    QTest::newRow("31") << 31 << 20;
    QTest::newRow("631: 1001.72") << 631 << 1002;
    QTest::newRow("1085: 19357.7") << 1085 << 19358;
    QTest::newRow("1089: 19870.3") << 1089 << 19870;
    QTest::newRow("1090") << 1090 << 20000;
    QTest::newRow("1096") << 1096 << 20000;
}

void TestResponse::posToFreq() {
    QFETCH(int, x);
    QFETCH(int, f);
    QCOMPARE(Pos_To_Freq(x), f);
}

void TestResponse::posToFreqIsMonotoneAndInRange() {
    int last = 20;
    for (int x = 0; x <= 1200; ++x) {
        const int f = Pos_To_Freq(x);
        QVERIFY(f >= last && f <= 20000);
        // Where a pixel spans more than a hertz (above about 153 Hz), the frequency read back is
        // placed on the same pixel: placing is the exact inverse of reading.
        if (x >= 420 && x <= 1090) QCOMPARE(Freq_To_Pos(f), x);
        last = f;
    }
}

// The standard peaking filter at 48 kHz: its gain at f0, and the -3 dB points of a -6 dB, Q 2 band
// at 1 kHz 498 Hz apart (the curve's own band section puts them 352 Hz apart).
void TestResponse::standardPeaking_data() {
    QTest::addColumn<double>("gain");
    QTest::addColumn<double>("f0");
    QTest::addColumn<double>("q");
    QTest::addColumn<double>("f");
    QTest::addColumn<double>("db");
    QTest::newRow("-6 dB Q 2 at 1 kHz, centre") << -6.0 << 1000.0 << 2.0 << 1000.0 << -6.0;
    QTest::newRow("-6 dB Q 2 at 1 kHz, lower half gain")
        << -6.0 << 1000.0 << 2.0 << 781.2117 << -3.0;
    QTest::newRow("-6 dB Q 2 at 1 kHz, upper half gain")
        << -6.0 << 1000.0 << 2.0 << 1279.6082 << -3.0;
    QTest::newRow("-6 dB Q 2 at 1 kHz, one octave down")
        << -6.0 << 1000.0 << 2.0 << 500.0 << -0.6323;
    QTest::newRow("+12 dB Q 0.7 at 100 Hz, at 20 Hz") << 12.0 << 100.0 << 0.7 << 20.0 << 1.2162;
    QTest::newRow("-6 dB Q 4 at 10 kHz, centre") << -6.0 << 10000.0 << 4.0 << 10000.0 << -6.0;
    QTest::newRow("-6 dB Q 4 at 10 kHz, at 2 kHz") << -6.0 << 10000.0 << 4.0 << 2000.0 << -0.0126;
    QTest::newRow("flat") << 0.0 << 1000.0 << 2.0 << 900.0 << 0.0;
}

void TestResponse::standardPeaking() {
    QFETCH(double, gain);
    QFETCH(double, f0);
    QFETCH(double, q);
    QFETCH(double, f);
    QFETCH(double, db);
    const double got = Peaking_Db(gain, f0, q, f);
    QVERIFY2(std::fabs(got - db) < 0.0001, qPrintable(QString::number(got, 'f', 6)));
}

// Q 10, the narrowest band: the grid alone (points 1.6 % apart) shaves the peak to +11.6 dB. The
// curve as drawn, straight between its points in log frequency, is within 0.1 dB of the exact
// level, and the level computed at a frequency is the exact one. Literals from the cookbook
// peaking biquad at 48 kHz (python3: 20 log10 |H(e^-jw)| with w = 2 pi f / 48000).
void TestResponse::narrowBandDrawnInFull_data() {
    QTest::addColumn<int>("gain"); // PC encoding
    QTest::addColumn<int>("f0");
    QTest::addColumn<double>("f");
    QTest::addColumn<double>("db");
    const struct {
        double f, db;
    } boost[] = {{940, 4.8861},   {970, 8.4341},   {985, 10.7451},  {992, 11.6012},
                 {997, 11.9416},  {1000, 12.0000}, {1003, 11.9420}, {1008, 11.6072},
                 {1015, 10.7766}, {1030, 8.5656},  {1060, 5.1900}},
      cut[] = {{4800, -6.6886},  {4900, -9.7722}, {4960, -11.5456},
               {4990, -11.9701}, {5000, -12.0},   {5010, -11.9702},
               {5040, -11.5514}, {5100, -9.8285}, {5200, -6.8635}};
    for (const auto& p : boost)
        QTest::addRow("+12 dB Q 10 at 1 kHz, %g Hz", p.f) << 240 << 1000 << p.f << p.db;
    for (const auto& p : cut)
        QTest::addRow("-12 dB Q 10 at 5 kHz, %g Hz", p.f) << 0 << 5000 << p.f << p.db;
}

void TestResponse::narrowBandDrawnInFull() {
    QFETCH(int, gain);
    QFETCH(int, f0);
    QFETCH(double, f);
    QFETCH(double, db);
    Param_Image.set_EQ_Gain(1, 17, static_cast<uint16_t>(gain));
    Param_Image.set_EQ_Freq(1, 17, static_cast<uint16_t>(f0));
    Param_Image.set_EQ_Q(1, 17, 100);
    QVERIFY(curves.current(1));
    QVERIFY2(qAbs(curves.levelAt(1, f) - db) < 0.0005,
             qPrintable(QString::number(curves.levelAt(1, f), 'f', 4)));
    const double drawn = curves.dbAtX(kBaseScale, 1, kBaseScale.freqToX(f));
    QVERIFY2(qAbs(drawn - db) <= 0.1, qPrintable(QString::number(drawn, 'f', 4)));
    // The centre is one of the drawn points.
    bool centre = false;
    for (const ResponseCurves::CurvePoint& p : curves.drawn(1))
        centre = centre || (p.freq == f0 && qAbs(p.db - (gain - 120) / 10.0) < 0.0005);
    QVERIFY(centre);
}

QTEST_APPLESS_MAIN(TestResponse)
#include "test_response.moc"
