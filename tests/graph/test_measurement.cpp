// Measurement files into the overlay: what is read or refused, the curve on the grid levelled at
// 200 Hz..2 kHz, and the predicted result of the channel's present settings.
#include "graph/curve_cache.h"
#include "graph/measurement.h"
#include "graph/response.h"
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

} // namespace

class TestMeasurement : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        Param_Init();
        Curve_Init();
        Channel_Measurement.fill(Measurement{});
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
    // at 100 Hz): each part on its own dB scale.
    void predictedIsMeasurementPlusResponse_data() {
        QTest::addColumn<int>("point");
        QTest::addColumn<double>("level");
        QTest::newRow("20 Hz") << 0 << -70.8128;
        QTest::newRow("176 Hz") << 40 << -5.5389;
        QTest::newRow("1004 Hz") << 72 << 13.9999;
        QTest::newRow("20 kHz") << 127 << 15.1005;
    }
    void predictedIsMeasurementPlusResponse() {
        QFETCH(int, point);
        QFETCH(double, level);
        Channel_Measurement[3] =
            Measurement_On_Grid(Read_Measurement(sloped("", " ", "\n")).points);
        Param_Image.set_EQ_Gain(3, 17, 240);
        Param_Image.set_HPF_Off(3, 0);
        Param_Image.set_HPF_Freq(3, 100);
        Curves_Current(3);
        std::array<double, kCurvePoints> predicted{};
        Predicted_Levels(3, predicted);
        QVERIFY2(std::fabs(predicted[point] - level) < 0.001,
                 qPrintable(QString::number(predicted[point], 'f', 5)));
    }
};

QTEST_APPLESS_MAIN(TestMeasurement)
#include "test_measurement.moc"
