// The grid on the graph's scale: frequency lines on column floor(36.5 + 353 * log10(f / 20)), level
// lines on row floor(144.5 - 4.7 * dB), band markers centred on them, and the readout's texts.
#include "dsp/response.h"
#include "dsp/scale.h"
#include "graph/grid.h"
#include "graph/marker_geometry.h"

#include <QtTest>

using namespace tarn;

class TestGrid : public QObject {
    Q_OBJECT

  private slots:
    void frequencyLinesOnTheScale() {
        const int expected[10][2] = {{20, 36},     {50, 176},    {100, 283},  {200, 389},
                                     {500, 529},   {1000, 636},  {2000, 742}, {5000, 882},
                                     {10000, 989}, {20000, 1095}};
        const char* labels[10] = {"20", "50", "100", "200", "500", "1k", "2k", "5k", "10k", "20k"};
        const auto& lines = Grid_Freq_Lines();
        for (int k = 0; k < 10; ++k) {
            QCOMPARE(lines[k].value, double(expected[k][0]));
            QCOMPARE(lines[k].pos, expected[k][1]);
            QCOMPARE(QString(lines[k].label), QString(labels[k]));
            // A band marker placed for the line's frequency is centred on the line.
            QCOMPARE(Freq_To_Pos(expected[k][0]) + kBandMarkerSize / 2, expected[k][1]);
        }
    }

    void levelLinesThroughBandMarkers_data() {
        QTest::addColumn<int>("line"); // index in Grid_Level_Lines
        QTest::addColumn<int>("gain"); // PC encoding of the same level
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("label");
        QTest::newRow("+18 dB (typed)") << 0 << 300 << 59 << "+18";  // 59.9
        QTest::newRow("+12 dB") << 1 << 240 << 88 << "+12";          // 88.1
        QTest::newRow("+6 dB") << 2 << 180 << 116 << "+6";           // 116.3
        QTest::newRow("0 dB") << 3 << 120 << 144 << "0";             // 144.5
        QTest::newRow("-6 dB") << 4 << 60 << 172 << "-6";            // 172.7
        QTest::newRow("-12 dB") << 5 << 0 << 200 << "-12";           // 200.9
        QTest::newRow("-18 dB (typed)") << 6 << -60 << 229 << "-18"; // 229.1
    }
    void levelLinesThroughBandMarkers() {
        QFETCH(int, line);
        QFETCH(int, gain);
        QFETCH(int, y);
        QFETCH(QString, label);
        const GridLine l = Grid_Level_Lines()[line];
        QCOMPARE(l.pos, y);
        QCOMPARE(QString(l.label), label);
        // A band marker at that level has its middle row on the line.
        QCOMPARE(Gain_To_Marker_Y(gain) + kBandMarkerSize / 2, y);
    }

    // A pixel reads the frequency at its middle, 20 * 10^(3 * (x + 0.5 - 36.5) / 1059): on a
    // line's column, the line's own frequency to within half a pixel.
    void pixelReadsItsFrequency_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("freq");
        QTest::newRow("20 Hz line") << 36 << "20.0 Hz";
        QTest::newRow("100 Hz line") << 283 << "100 Hz";    // 100.17
        QTest::newRow("1 kHz line") << 636 << "1.00 kHz";   // 1001.7
        QTest::newRow("10 kHz line") << 989 << "10.02 kHz"; // 10017.2
        QTest::newRow("right edge") << 1095 << "20.00 kHz";
    }
    void pixelReadsItsFrequency() {
        QFETCH(int, x);
        QFETCH(QString, freq);
        QCOMPARE(Freq_Text(Px_To_Freq(x)), freq);
    }

    void hoverText_data() {
        QTest::addColumn<double>("freq");
        QTest::addColumn<double>("db");
        QTest::addColumn<QString>("text");
        QTest::newRow("boost, kHz") << 1250.0 << 3.21 << "1.25 kHz  +3.2 dB";
        QTest::newRow("cut, low") << 63.5 << -12.0 << "63.5 Hz  -12.0 dB";
        QTest::newRow("a hair below 0") << 250.0 << -0.04 << "250 Hz  0.0 dB";
        QTest::newRow("rounds into kHz") << 999.7 << 0.0 << "1.00 kHz  0.0 dB";
    }
    void hoverText() {
        QFETCH(double, freq);
        QFETCH(double, db);
        QFETCH(QString, text);
        QCOMPARE(Hover_Text(freq, db), text);
    }
};

QTEST_APPLESS_MAIN(TestGrid)
#include "test_grid.moc"
