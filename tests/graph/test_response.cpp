// The response computation against the mirror: grid, EQ sections, crossover families, polyline
// and the marker <-> frequency conversions.
#include "graph/response.h"
#include "model/param_image.h"

#include <QtTest>
#include <cmath>

using namespace tarn;

namespace {

double dbToPx(double db) {
    return db * 4.0;
}

// Index of the largest (or smallest) value of a row.
int extremum(const double (&row)[kCurvePoints], bool highest) {
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
        Curve_Init();
    }

    void startupIsFlatLine();
    void flatEqSitsOnePixelHigh();
    void singleBandPeak_data();
    void singleBandPeak();
    void bandSectionGainAtItsFrequency_data();
    void bandSectionGainAtItsFrequency();
    void cutMirrorsBoost_data();
    void cutMirrorsBoost();
    void eqTouchesOnlyItsChannel();
    void crossoverCornerAndStopband_data();
    void crossoverCornerAndStopband();
    void butterworth24AtTwentyHertz();
    void offFilterIsExactlyFlat_data();
    void offFilterIsExactlyFlat();
    void unknownFamilyLeavesCurve();
    void pointsSumAndTruncateTowardZero();
    void freqToPos_data();
    void freqToPos();
    void posToFreq_data();
    void posToFreq();
    void posToFreqIsMonotoneAndInRange();
    void standardPeaking_data();
    void standardPeaking();
};

void TestResponse::startupIsFlatLine() {
    QCOMPARE(Curve_Points[0][0], QPoint(36, 144));
    QCOMPARE(Curve_Points[0][1].x(), 44);
    QCOMPARE(Curve_Points[0][64].x(), 570);
    QCOMPARE(Curve_Points[0][126].x(), 1087);
    QCOMPARE(Curve_Points[0][127], QPoint(1096, 144));
    for (int ch = 0; ch < kCurveChannels; ++ch) {
        for (int i = 0; i < kCurvePoints; ++i) {
            QCOMPARE(Curve_Points[ch][i].y(), 144);
            QCOMPARE(Curve_Points[ch][i].x(), Curve_Points[0][i].x());
            QCOMPARE(Curve_EQ[ch][i], 0.0);
            QCOMPARE(Curve_HPF[ch][i], 0.0);
            QCOMPARE(Curve_LPF[ch][i], 0.0);
        }
    }
    QVERIFY(qAbs(Curve_Freq[0] - 20.0) < 1e-9);
    QVERIFY(qAbs(Curve_Freq[1] - 21.118) < 1e-3);
    QVERIFY(qAbs(Curve_Freq[64] - 649.892) < 1e-3);
    QVERIFY(qAbs(Curve_Freq[126] - 18941.22) < 1e-2);
    QVERIFY(qAbs(Curve_Freq[127] - 20000.0) < 1e-6);
    QCOMPARE(HPF_Line, QLine(66, 50, 66, 238));
    QCOMPARE(LPF_Line, QLine(666, 50, 666, 238));
}

void TestResponse::flatEqSitsOnePixelHigh() {
    EQ_Curve_Calc(2);
    Curve_Points_Update(2);
    for (int i = 0; i < kCurvePoints; ++i) {
        QVERIFY2(Curve_EQ[2][i] > 0.00005 && Curve_EQ[2][i] < 0.49, qPrintable(QString::number(i)));
        QCOMPARE(Curve_Points[2][i].y(), 143);
    }
    // The two fixed sections lift each end of the grid by 0.1 dB.
    QVERIFY(qAbs(Curve_EQ[2][0] - 0.47) < 0.02);
    QVERIFY(qAbs(Curve_EQ[2][127] - 0.47) < 0.02);
}

void TestResponse::singleBandPeak_data() {
    QTest::addColumn<int>("gain");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("px");
    QTest::addColumn<int>("y");
    QTest::newRow("+12.0 dB") << 240 << 72 << 56.36 << 87;
    QTest::newRow("-12.0 dB") << 0 << 72 << -56.36 << 200;
}

void TestResponse::singleBandPeak() {
    QFETCH(int, gain);
    QFETCH(int, index);
    QFETCH(double, px);
    QFETCH(int, y);
    Param_Image.set_EQ_Gain(0, 17, static_cast<uint16_t>(gain)); // band 18, 1000 Hz, Q 3.0
    EQ_Curve_Calc(0);
    Curve_Points_Update(0);
    const int i = extremum(Curve_EQ[0], gain > 120);
    QCOMPARE(i, index);
    QVERIFY2(qAbs(Curve_EQ[0][i] - px) < 0.01, qPrintable(QString::number(Curve_EQ[0][i], 'f', 4)));
    QCOMPARE(Curve_Points[0][i], QPoint(636, y));
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

// The allpass-based section has gain exactly A at its own design frequency.
void TestResponse::bandSectionGainAtItsFrequency() {
    QFETCH(int, gain);
    QFETCH(double, f0);
    QFETCH(int, q);
    const Biquad s = EQ_Band_Section(gain, f0, q);
    const double w0 = f0 * 0.0001308997;
    const double db = 10.0 * std::log10(Section_Power(s, std::cos(w0), std::cos(2 * w0)));
    QVERIFY2(qAbs(db - (gain - 120) / 10.0) < 0.001, qPrintable(QString::number(db)));
    QCOMPARE(s.a1, s.b1);
    // Far from f0 the section is flat.
    QVERIFY(qAbs(Section_Power(s, 1.0, 1.0) - 1.0) < 0.05);
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

// A cut of -G dB is the mirror image of a boost of +G dB at every grid point.
void TestResponse::cutMirrorsBoost() {
    QFETCH(int, band);
    QFETCH(int, freq);
    QFETCH(int, q);
    QFETCH(int, tenthsDb);
    EQ_Curve_Calc(0);
    double flat[kCurvePoints];
    std::copy(std::begin(Curve_EQ[0]), std::end(Curve_EQ[0]), flat);
    Param_Image.set_EQ_Freq(0, band, static_cast<uint16_t>(freq));
    Param_Image.set_EQ_Q(0, band, static_cast<uint8_t>(q));
    Param_Image.set_EQ_Gain(0, band, static_cast<uint16_t>(120 + tenthsDb));
    EQ_Curve_Calc(0);
    double boost[kCurvePoints];
    std::copy(std::begin(Curve_EQ[0]), std::end(Curve_EQ[0]), boost);
    Param_Image.set_EQ_Gain(0, band, static_cast<uint16_t>(120 - tenthsDb));
    EQ_Curve_Calc(0);
    double peak = 0.0;
    for (int i = 0; i < kCurvePoints; ++i) {
        QVERIFY2(qAbs((boost[i] - flat[i]) + (Curve_EQ[0][i] - flat[i])) < 1e-6,
                 qPrintable(QString::number(i)));
        peak = qMax(peak, boost[i] - flat[i]);
    }
    // The drawn peak sits on or just beside a grid point, so it reaches nearly 4.7 px per dB.
    QVERIFY(peak <= tenthsDb * 0.47 + 1e-9 && peak > tenthsDb * 0.47 * 0.9);
}

void TestResponse::eqTouchesOnlyItsChannel() {
    // A typed -20.0 dB is stored as 16-bit two's complement (-80) and must draw a cut.
    Param_Image.set_EQ_Gain(3, 17, static_cast<uint16_t>(-80));
    EQ_Curve_Calc(3);
    Curve_Points_Update(3);
    QVERIFY(Curve_EQ[3][72] < -93.0 && Curve_EQ[3][72] > -95.0);
    for (int i = 0; i < kCurvePoints; ++i) {
        QCOMPARE(Curve_EQ[0][i], 0.0);
        QCOMPARE(Curve_Points[0][i].y(), 144);
    }
    // The scratch table holds the last channel computed; the next channel starts afresh.
    EQ_Curve_Calc(4);
    for (int i = 0; i < kCurvePoints; ++i)
        QVERIFY(Curve_EQ[4][i] > 0.0 && Curve_EQ[4][i] < 0.49);
}

void TestResponse::crossoverCornerAndStopband_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("slope");
    QTest::addColumn<double>("cornerDb");
    QTest::addColumn<double>("decades3Db"); // at a ratio of 1000 from the corner
    const char* names[] = {"Butterworth", "Link", "Bessel"};
    for (int type = 0; type < 3; ++type) {
        for (int slope = 0; slope < 8; ++slope) {
            const int n = slope + 1;
            const double r = 1000.0;
            double corner = -10.0 * std::log10(2.0);
            double stop = -10.0 * std::log10(1.0 + std::pow(r, 2 * n));
            if (n > 1 && type == 1) {
                corner = -20.0 * std::log10(2.0);
                stop = -20.0 * std::log10(1.0 + std::pow(r, n));
            } else if (n > 1 && type == 2) {
                corner = 20.0 * std::log10((2.0 * n - 1.0) / (2.0 * n));
                stop = 20.0 * std::log10((2.0 * n - 1.0) / (std::pow(r, n) + 2.0 * n - 1.0));
            }
            QTest::addRow("%s -%ddB/Oct", names[type], 6 * n) << type << slope << corner << stop;
        }
    }
}

// The grid spans exactly three decades, so a high-pass at 20 kHz and a low-pass at 20 Hz have
// their corner at one end of the grid and a ratio of 1000 at the other.
void TestResponse::crossoverCornerAndStopband() {
    QFETCH(int, type);
    QFETCH(int, slope);
    QFETCH(double, cornerDb);
    QFETCH(double, decades3Db);
    const int ch = 5;
    Param_Image.set_HPF_Off(ch, 0);
    Param_Image.set_HPF_Freq(ch, 20000);
    Param_Image.set_HPF_Type(ch, static_cast<uint8_t>(type));
    Param_Image.set_HPF_Slope(ch, static_cast<uint8_t>(slope));
    Param_Image.set_LPF_Off(ch, 0);
    Param_Image.set_LPF_Freq(ch, 20);
    Param_Image.set_LPF_Type(ch, static_cast<uint8_t>(type));
    Param_Image.set_LPF_Slope(ch, static_cast<uint8_t>(slope));
    HPF_Curve_Calc(ch);
    LPF_Curve_Calc(ch);
    const double tol = 1e-6;
    QVERIFY2(qAbs(Curve_HPF[ch][127] - dbToPx(cornerDb)) < tol,
             qPrintable(QString::number(Curve_HPF[ch][127])));
    QVERIFY2(qAbs(Curve_HPF[ch][0] - dbToPx(decades3Db)) < tol,
             qPrintable(QString::number(Curve_HPF[ch][0])));
    QVERIFY2(qAbs(Curve_LPF[ch][0] - dbToPx(cornerDb)) < tol,
             qPrintable(QString::number(Curve_LPF[ch][0])));
    QVERIFY2(qAbs(Curve_LPF[ch][127] - dbToPx(decades3Db)) < tol,
             qPrintable(QString::number(Curve_LPF[ch][127])));
    // Each filter only falls away from its corner.
    for (int i = 1; i < kCurvePoints; ++i) {
        QVERIFY(Curve_HPF[ch][i] > Curve_HPF[ch][i - 1]);
        QVERIFY(Curve_LPF[ch][i] < Curve_LPF[ch][i - 1]);
    }
}

void TestResponse::butterworth24AtTwentyHertz() {
    Param_Image.set_HPF_Off(0, 0);
    Param_Image.set_HPF_Freq(0, 100);
    Param_Image.set_HPF_Slope(0, 3);
    Param_Image.set_HPF_Type(0, 0);
    HPF_Curve_Calc(0);
    Curve_Points_Update(0);
    QVERIFY(qAbs(Curve_HPF[0][0] - (-223.67)) < 0.01);
    QCOMPARE(Curve_Points[0][0].y(), 367); // 144 + 223.67, left for the clip to cut
    QCOMPARE(HPF_Marker_X, 281);
    QCOMPARE(HPF_Line, QLine(285, 50, 285, 238));
}

void TestResponse::offFilterIsExactlyFlat_data() {
    QTest::addColumn<bool>("high");
    QTest::addColumn<int>("freq");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("slope");
    QTest::addColumn<int>("markerX");
    QTest::newRow("HPF 100 Hz Butterworth -24") << true << 100 << 0 << 3 << 281;
    QTest::newRow("HPF 20 kHz Bessel -48") << true << 20000 << 2 << 7 << 1086;
    QTest::newRow("LPF 1 kHz Link -12") << false << 1000 << 1 << 1 << 631;
    QTest::newRow("LPF 20 Hz Butterworth -6") << false << 20 << 0 << 0 << 36;
}

// An OFF filter is flat however it is set, also right after it was on; its marker and line
// are still placed.
void TestResponse::offFilterIsExactlyFlat() {
    QFETCH(bool, high);
    QFETCH(int, freq);
    QFETCH(int, type);
    QFETCH(int, slope);
    QFETCH(int, markerX);
    const FilterFields& f = high ? kHpfFields : kLpfFields;
    const int ch = 1;
    Param_Image.setFilterFreq(f, ch, static_cast<uint16_t>(freq));
    Param_Image.setFilterType(f, ch, static_cast<uint8_t>(type));
    Param_Image.setFilterSlope(f, ch, static_cast<uint8_t>(slope));
    Param_Image.setFilterOff(f, ch, 0);
    high ? HPF_Curve_Calc(ch) : LPF_Curve_Calc(ch);
    const double(&row)[kCurvePoints] = high ? Curve_HPF[ch] : Curve_LPF[ch];
    QVERIFY(row[high ? 0 : 127] < -1.0 || row[high ? 127 : 0] < -1.0);

    Param_Image.setFilterOff(f, ch, 1);
    high ? HPF_Curve_Calc(ch) : LPF_Curve_Calc(ch);
    for (int i = 0; i < kCurvePoints; ++i)
        QCOMPARE(row[i], 0.0);
    QCOMPARE(high ? HPF_Marker_X : LPF_Marker_X, markerX);
    QCOMPARE(high ? HPF_Line : LPF_Line, QLine(markerX + 4, 50, markerX + 4, 238));
}

void TestResponse::unknownFamilyLeavesCurve() {
    Param_Image.set_LPF_Off(0, 0);
    Param_Image.set_LPF_Freq(0, 1000);
    LPF_Curve_Calc(0);
    const double before = Curve_LPF[0][100];
    QVERIFY(before < -10.0);
    Param_Image.set_LPF_Type(0, 3);
    Param_Image.set_LPF_Freq(0, 5000);
    LPF_Curve_Calc(0);
    QCOMPARE(Curve_LPF[0][100], before);
    QCOMPARE(LPF_Marker_X, Freq_To_Pos(5000)); // the marker still follows the frequency
}

void TestResponse::pointsSumAndTruncateTowardZero() {
    Curve_EQ[4][0] = 144.5; // y = -0.5 -> 0, not -1
    Curve_HPF[4][1] = -0.5; // y = 144.5 -> 144
    Curve_LPF[4][2] = 0.5;  // y = 143.5 -> 143
    Curve_EQ[4][3] = 10.25;
    Curve_HPF[4][3] = -20.5;
    Curve_LPF[4][3] = 3.0; // y = 151.25 -> 151
    Curve_Points_Update(4);
    QCOMPARE(Curve_Points[4][0], QPoint(36, 0));
    QCOMPARE(Curve_Points[4][1].y(), 144);
    QCOMPARE(Curve_Points[4][2].y(), 143);
    QCOMPARE(Curve_Points[4][3].y(), 151);
    QCOMPARE(Curve_Points[4][4].y(), 144);
    QCOMPARE(Curve_Points[3][0].y(), 144);
}

void TestResponse::freqToPos_data() {
    QTest::addColumn<double>("f");
    QTest::addColumn<int>("x");
    QTest::newRow("20") << 20.0 << 36;
    QTest::newRow("100") << 100.0 << 281;
    QTest::newRow("1000") << 1000.0 << 631;
    QTest::newRow("10000") << 10000.0 << 982;
    QTest::newRow("19999") << 19999.0 << 1087;
    QTest::newRow("20000") << 20000.0 << 1086;
}

void TestResponse::freqToPos() {
    QFETCH(double, f);
    QFETCH(int, x);
    QCOMPARE(Freq_To_Pos(f), x);
}

void TestResponse::posToFreq_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("f");
    QTest::newRow("left of the graph") << 0 << 20;
    QTest::newRow("35") << 35 << 20;
    QTest::newRow("36") << 36 << 20;
    QTest::newRow("631") << 631 << 995;
    QTest::newRow("1087") << 1087 << 19905;
    QTest::newRow("1088") << 1088 << 20000;
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
        // Where a pixel is worth more than 1 Hz, reading a frequency back puts the marker on, or
        // one pixel left of, the same place.
        if (x >= 340 && x <= 1087) QVERIFY(Freq_To_Pos(f) == x || Freq_To_Pos(f) == x - 1);
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

QTEST_APPLESS_MAIN(TestResponse)
#include "test_response.moc"
