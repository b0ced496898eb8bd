// Measurement files into the overlay: what is read or refused, the curve on the grid levelled at
// 200 Hz..2 kHz, and the predicted result of the channel's present settings.
#include "dsp/measurement.h"
#include "dsp/response_curves.h"
#include "graph/overlay.h"
#include "model/param_image.h"

#include <QtTest>
#include <cmath>

using namespace tarn;

namespace {

// Level rising 10 dB per decade, 80 dB at 1 kHz, at the 31 default band frequencies.
QByteArray sloped(const char* header, const char* separator, const char* lineEnd) {
    QByteArray text(header);
    for (uint16_t f : kDefaultBandFreq) {
        const double level = 80.0 + 10.0 * std::log10(f / 1000.0);
        text += QByteArray::number(f) + separator + QByteArray::number(level, 'f', 6) + separator +
                "-12.5" + lineEnd;
    }
    return text;
}

// The text as a Windows program writes it in UTF-16, with its byte-order mark.
QByteArray utf16(const QString& text, bool bigEndian) {
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    return out;
}

// Ten more points in range, so that a file whose first lines are under test is long enough.
const char kTenPoints[] = "200 80\n300 80\n400 80\n500 80\n600 80\n700 80\n800 80\n900 80\n"
                          "1000 80\n1100 80\n";

// A tweeter (88 dB from 2 to 16 kHz, 18 dB/oct below, 30 dB floor) and a subwoofer (96 dB from
// 25 to 80 Hz, 24 dB/oct above, 45 dB floor) as a room-measurement program exports them. Levelled
// at 200 Hz..2 kHz, the tweeter's pass band lies about +30 dB and the subwoofer's about +50 dB:
// above the plot.
const char kTweeter[] =
    "# RTA export, 1/3 octave, moving microphone\n"
    "# Freq(Hz)\tSPL(dB)\n"
    "20\t30\n25\t30\n31.5\t30\n40\t30\n50\t30\n63\t30\n80\t30\n100\t30\n125\t30\n"
    "160\t30\n200\t30\n250\t34\n315\t40\n400\t46.2\n500\t52\n630\t58\n800\t64.2\n"
    "1000\t70\n1250\t75.8\n1600\t82.2\n2000\t88\n2500\t88\n3150\t88\n4000\t88\n"
    "5000\t88\n6300\t88\n8000\t88\n10000\t88\n12500\t88\n16000\t88\n20000\t84.1\n";
const char kSubwoofer[] =
    "# RTA export, 1/3 octave, moving microphone\n"
    "# Freq(Hz)\tSPL(dB)\n"
    "20\t92.1\n25\t96\n31.5\t96\n40\t96\n50\t96\n63\t96\n80\t96\n100\t88.3\n"
    "125\t80.5\n160\t72\n200\t64.3\n250\t56.5\n315\t48.5\n400\t45\n500\t45\n630\t45\n"
    "800\t45\n1000\t45\n1250\t45\n1600\t45\n2000\t45\n2500\t45\n3150\t45\n4000\t45\n"
    "5000\t45\n6300\t45\n8000\t45\n10000\t45\n12500\t45\n16000\t45\n20000\t45\n";

} // namespace

class TestMeasurement : public QObject {
    Q_OBJECT

  private slots:
    void init() { Param_Init(); }

    // Placed by where it plays: the loudest octave on 0 dB, so that the pass band is on the plot
    // (+-20 dB) and its level relative to it is kept. Between the fixture's equal points the grid
    // levels are exactly theirs; the grid's end points are samples of the file.
    void placedByWhereItPlays_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("passLow"); // Hz
        QTest::addColumn<double>("passHigh");
        QTest::addColumn<double>("at20Hz"); // dB, placed
        QTest::addColumn<double>("at20kHz");
        QTest::newRow("tweeter") << QByteArray(kTweeter) << 2000.0 << 16000.0 << -58.0 << -3.9;
        QTest::newRow("subwoofer") << QByteArray(kSubwoofer) << 25.0 << 80.0 << -3.9 << -51.0;
    }
    void placedByWhereItPlays() {
        QFETCH(QByteArray, text);
        QFETCH(double, passLow);
        QFETCH(double, passHigh);
        QFETCH(double, at20Hz);
        QFETCH(double, at20kHz);
        const MeasurementRead read = Read_Measurement(text);
        QCOMPARE(int(read.error), int(MeasurementRead::Error::None));
        const Measurement m = Place_Measurement(Measurement_On_Grid(read.points));
        QVERIFY(m.present);
        int inPass = 0;
        for (int i = 0; i < kCurvePoints; ++i) {
            QVERIFY(m.covered[i]);
            if (Grid_Freq(i) < passLow || Grid_Freq(i) > passHigh) continue;
            QVERIFY2(qAbs(m.level[i]) < 1e-9, qPrintable(QString::number(i)));
            ++inPass;
        }
        QVERIFY(inPass >= 20);
        QVERIFY(qAbs(m.level[0] - at20Hz) < 1e-9);
        QVERIFY(qAbs(m.level[kCurvePoints - 1] - at20kHz) < 1e-9);
    }

    void readOrRefuse_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("error"); // MeasurementRead::Error
        QTest::addColumn<int>("badLine");
        QTest::addColumn<int>("inRange");
        using E = MeasurementRead::Error;
        QTest::newRow("measurement program export, header lines")
            << sloped("* Measurement data exported\n* Source: mic 1\n"
                      "* Freq(Hz) SPL(dB) Phase(degrees)\n\n",
                      " ", "\n")
            << int(E::None) << 0 << 31;
        QTest::newRow("comma separated, text header, CRLF")
            << sloped("Frequency,SPL,Phase\r\n", ",", "\r\n") << int(E::None) << 0 << 31;
        QTest::newRow("tabs, two columns, # comments")
            << QByteArray("# two columns\n20\t80\n40\t81\n80\t82\n160\t83\n320\t84\n640\t85\n"
                          "1280\t86\n2560\t87\n5120\t88\n10240\t89\n# end\n")
            << int(E::None) << 0 << 10;
        QTest::newRow("nine points in range")
            << QByteArray("10 70\n20 80\n40 81\n80 82\n160 83\n320 84\n640 85\n1280 86\n2560 87\n"
                          "5120 88\n25000 60\n")
            << int(E::TooFewPoints) << 0 << 9;
        QTest::newRow("binary garbage") << QByteArray("\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR", 16)
                                        << int(E::TooFewPoints) << 0 << 0;
        QTest::newRow("a number then text")
            << QByteArray("* header\n20 80\n40 81\n63abc 82\n") << int(E::BadLine) << 4 << 0;
        QTest::newRow("one column") << QByteArray("20 80\n40\n") << int(E::BadLine) << 2 << 0;
        QTest::newRow("frequency not above 0")
            << QByteArray("20 80\n0 81\n") << int(E::BadLine) << 2 << 0;
        QTest::newRow("level past any sum")
            << QByteArray("20 80\n30 1e308\n") << int(E::BadLine) << 2 << 0;
        // 20.5 Hz at 80.1 dB, or 20 Hz at 5 dB: refused rather than guessed.
        QTest::newRow("decimal commas, columns separated by spaces")
            << QByteArray("* Frequenz(Hz) Pegel(dB) Phase(Grad)\n20,5 80,1 -45,0\n")
            << int(E::AmbiguousComma) << 2 << 0;
        QTest::newRow("tab columns, a number with both separators")
            << QByteArray("20\t80\n1.000,5\t80\n") << int(E::BadLine) << 2 << 0;
        // 1071.1 Hz at 81.92 dB, or 1 Hz at 71.1 dB: refused rather than guessed, by its line.
        QTest::newRow("thousands grouped by commas, spaces between the columns")
            << QByteArray("* Freq(Hz) SPL(dB)\n980.5 80.1\n1,071.1 81.92\n1,200.0 82.0\n")
            << int(E::GroupedThousands) << 3 << 1;
        QTest::newRow("thousands grouped by points, decimal commas")
            << QByteArray("980 80\n1.071,1 81,92\n") << int(E::GroupedThousands) << 2 << 1;
        QTest::newRow("thousands grouped by points, tab columns")
            << QByteArray("980,5\t80,1\n1.071\t81,92\n") << int(E::GroupedThousands) << 2 << 1;
    }

    // Where tabs or semicolons separate the columns, a comma is a decimal comma; where the commas
    // separate them, with or without spaces, they are read as columns.
    void decimalCommas_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QVector<double>>("first"); // frequency, level of the first two points
        QTest::newRow("tab columns, decimal commas")
            << QByteArray("Frequenz (Hz)\tSPL (dB)\tPhase (Grad)\n"
                          "20,00\t75,00\t-45,0\n25,00\t75,50\t-40,0\n31,50\t76,25\t-35,5\n"
                          "63,00\t78,00\t-20,0\n125,00\t79,10\t-10,0\n250,00\t80,00\t0,0\n"
                          "500,00\t80,40\t5,0\n1000,00\t80,00\t0,0\n2000,00\t79,75\t-5,0\n"
                          "4000,00\t79,00\t-10,0\n8000,00\t77,00\t-20,0\n"
                          "16000,00\t72,50\t-40,0\n")
            << QVector<double>{20.0, 75.0, 25.0, 75.5};
        QTest::newRow("semicolon columns, decimal commas, CRLF")
            << QByteArray("Fr\xc3\xa9quence (Hz);Niveau (dB)\r\n"
                          "20;75,5\r\n31,5;76,25\r\n63;78\r\n125;79,1\r\n250;80\r\n"
                          "500;80,4\r\n1000;80\r\n2000;79,75\r\n4000;79\r\n8000;77\r\n"
                          "16000;72,5\r\n")
            << QVector<double>{20.0, 75.5, 31.5, 76.25};
        QTest::newRow("semicolon columns, decimal points")
            << QByteArray("20.0;75.5\n31.5;76.25\n63;78\n125;79.1\n250;80\n500;80.4\n"
                          "1000;80\n2000;79.75\n4000;79\n8000;77\n16000;72.5\n")
            << QVector<double>{20.0, 75.5, 31.5, 76.25};
        // What looks like grouping but cannot be: the line reads one way only.
        QTest::newRow("tab columns, three decimal commas")
            << QByteArray("125,000\t1,000\n2,500\t-0,500\n") + kTenPoints
            << QVector<double>{125.0, 1.0, 2.5, -0.5};
        QTest::newRow("space columns, three decimal points")
            << QByteArray("125.000 1.000\n1000.000 75.123\n") + kTenPoints
            << QVector<double>{125.0, 1.0, 1000.0, 75.123};
        QTest::newRow("comma columns without spaces")
            << QByteArray("100,100.5\n1000,75.123,-12.5\n") + kTenPoints
            << QVector<double>{100.0, 100.5, 1000.0, 75.123};
        QTest::newRow("UTF-8 with its byte-order mark")
            << QByteArray("\xEF\xBB\xBF"
                          "Fr\xC3\xA9quence\tNiveau\n20\t75,5\n") +
                   kTenPoints
            << QVector<double>{20.0, 75.5, 200.0, 80.0};
        const QString windows = QString::fromUtf8("Fréquence (Hz)\tNiveau (dB)\r\n20,00\t75,50\r\n"
                                                  "31,50\t76,25\r\n") +
                                QString::fromLatin1(kTenPoints);
        QTest::newRow("UTF-16 little endian with its byte-order mark")
            << utf16(windows, false) << QVector<double>{20.0, 75.5, 31.5, 76.25};
        QTest::newRow("UTF-16 big endian with its byte-order mark")
            << utf16(windows, true) << QVector<double>{20.0, 75.5, 31.5, 76.25};
        QTest::newRow("comma columns with spaces")
            << QByteArray("Freq, SPL, Phase\n20, 75.5, 0\n31.5, 76.25, 0\n63, 78, 0\n"
                          "125, 79.1, 0\n250, 80, 0\n500, 80.4, 0\n1000, 80, 0\n2000, 79.75, 0\n"
                          "4000, 79, 0\n8000, 77, 0\n16000, 72.5, 0\n")
            << QVector<double>{20.0, 75.5, 31.5, 76.25};
    }
    void decimalCommas() {
        QFETCH(QByteArray, text);
        QFETCH(QVector<double>, first);
        const MeasurementRead r = Read_Measurement(text);
        QCOMPARE(int(r.error), int(MeasurementRead::Error::None));
        QVERIFY(r.points.size() >= 2);
        QCOMPARE((QVector<double>{r.points[0].freq, r.points[0].level, r.points[1].freq,
                                  r.points[1].level}),
                 first);
    }
    void readOrRefuse() {
        QFETCH(QByteArray, text);
        QFETCH(int, error);
        QFETCH(int, badLine);
        QFETCH(int, inRange);
        const MeasurementRead r = Read_Measurement(text);
        QCOMPARE(int(r.error), error);
        QCOMPARE(r.badLine, badLine);
        if (r.error != MeasurementRead::Error::BadLine) QCOMPARE(r.inRange, inRange);
        QCOMPARE(r.points.empty(), r.error != MeasurementRead::Error::None);
    }

    // The mean over the grid points from 200 Hz to 2 kHz (43..84) is -1.9897 dB against 1 kHz, so
    // the ends of a 10 dB/decade slope sit at -15 and +15 dB.
    void levelledAtTheMidBand_data() {
        QTest::addColumn<int>("point");
        QTest::addColumn<double>("level");
        QTest::newRow("20 Hz") << 0 << -15.0;
        QTest::newRow("207 Hz") << 43 << -4.8425;
        QTest::newRow("1004 Hz") << 72 << 2.0079;
        QTest::newRow("20 kHz") << 127 << 15.0;
    }
    void levelledAtTheMidBand() {
        QFETCH(int, point);
        QFETCH(double, level);
        const Measurement m = Measurement_On_Grid(Read_Measurement(sloped("", " ", "\n")).points);
        QVERIFY(m.present);
        QVERIFY(m.covered[point]);
        QVERIFY2(std::fabs(m.level[point] - level) < 0.001,
                 qPrintable(QString::number(m.level[point])));
    }

    // A measurement from 100 Hz to 10 kHz covers only that stretch of the grid.
    void coversOnlyWhatWasMeasured() {
        QByteArray text;
        for (int f = 100; f <= 10000; f += 100)
            text += QByteArray::number(f) + " 75\n";
        const Measurement m = Measurement_On_Grid(Read_Measurement(text).points);
        QVERIFY(m.present);
        QVERIFY(!m.covered[29]);  // 96.8 Hz
        QVERIFY(m.covered[30]);   // 102.3 Hz
        QVERIFY(m.covered[114]);  // 9862 Hz
        QVERIFY(!m.covered[115]); // 10413 Hz
        QCOMPARE(m.level[60], 0.0);
    }

    // A 1/48-octave export from 2 Hz to 24 kHz, flat at 75 dB within 20 Hz..20 kHz and rolling off
    // at 24 dB/octave outside: the ends are drawn as the file has them there, not pulled down by
    // the points beyond the drawn range.
    void endsNotPulledByPointsOutside_data() {
        QTest::addColumn<int>("point");
        QTest::addColumn<double>("level");
        QTest::newRow("20 Hz, between 19.973 Hz (-0.05 dB) and 20.263 Hz") << 0 << -0.0453;
        QTest::newRow("20 kHz, between 19869.725 Hz and 20158.737 Hz (-0.27 dB)") << 127 << -0.1222;
    }
    void endsNotPulledByPointsOutside() {
        QFETCH(int, point);
        QFETCH(double, level);
        QByteArray text("* Freq(Hz) SPL(dB) Phase(degrees)\n");
        for (int k = -430; k <= 220; ++k) {
            const double f = 1000.0 * std::pow(2.0, k / 48.0);
            const double rollOff = f < 20.0      ? 24.0 * std::log2(20.0 / f)
                                   : f > 20000.0 ? 24.0 * std::log2(f / 20000.0)
                                                 : 0.0;
            text += QByteArray::number(f, 'f', 3) + ' ' +
                    QByteArray::number(75.0 - rollOff, 'f', 2) + " 0.00\n";
        }
        const MeasurementRead r = Read_Measurement(text);
        QCOMPARE(r.points.size(), size_t(651));
        const Measurement m = Measurement_On_Grid(r.points);
        QVERIFY(m.covered[point]);
        QVERIFY2(std::fabs(m.level[point] - level) < 0.001,
                 qPrintable(QString::number(m.level[point], 'f', 4)));
    }

    // A dense export (here 1 Hz steps alternating 79 / 81 dB) is averaged within each grid cell;
    // picking the nearest points would draw the noise.
    void denseExportAveragedPerCell() {
        QByteArray text;
        for (int f = 20; f <= 20000; ++f)
            text += QByteArray::number(f) + (f % 2 ? " 79\n" : " 81\n");
        const Measurement m = Measurement_On_Grid(Read_Measurement(text).points);
        for (int i : {90, 100, 110, 120})
            QVERIFY2(std::fabs(m.level[i]) < 0.05, qPrintable(QString::number(m.level[i])));
    }

    // Measurement + the channel's EQ (+12 dB at 1 kHz, Q 3) and high-pass (Butterworth 24 dB/oct
    // at 100 Hz), in python3: the measurement 80 + 10 log10(f / 1000) less its mean over the grid
    // points of 200 Hz..2 kHz (78.0103 dB), plus the cookbook peaking level and
    // -10 log10(1 + (100 / f)^8).
    void predictedIsMeasurementPlusResponse_data() {
        QTest::addColumn<int>("point");
        QTest::addColumn<double>("level");
        QTest::newRow("20 Hz") << 0 << -70.9169;   // -15.0000 - 55.9169
        QTest::newRow("176 Hz") << 40 << -5.5389;  // -5.5512 + 0.0123
        QTest::newRow("1004 Hz") << 72 << 13.9976; // 2.0079 + 11.9897
        QTest::newRow("20 kHz") << 127 << 15.0006; // 15.0000 + 0.0006
    }
    void predictedIsMeasurementPlusResponse() {
        QFETCH(int, point);
        QFETCH(double, level);
        const Measurement m = Measurement_On_Grid(Read_Measurement(sloped("", " ", "\n")).points);
        Param_Image.set_EQ_Gain(3, 17, 240);
        Param_Image.set_HPF_Off(3, 0);
        Param_Image.set_HPF_Freq(3, 100);
        ResponseCurves curves;
        curves.current(3);
        std::array<double, kCurvePoints> predicted{};
        Predicted_Levels(curves, 3, m, predicted);
        QVERIFY2(std::fabs(predicted[point] - level) < 0.001,
                 qPrintable(QString::number(predicted[point], 'f', 5)));
    }
};

QTEST_APPLESS_MAIN(TestMeasurement)
#include "test_measurement.moc"
