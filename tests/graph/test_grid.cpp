// The grid's scale against the markers: frequency lines where a marker for that frequency stands,
// level lines through the middle of a band marker placed at that level, and the hover readout.
#include "graph/grid.h"
#include "graph/marker_geometry.h"
#include "graph/response.h"

#include <QtTest>

using namespace tarn;

class TestGrid : public QObject {
    Q_OBJECT

  private slots:
    void frequencyLinesOnTheMarkerMapping() {
        const int expected[10][2] = {{20, 36},     {50, 175},    {100, 281},  {200, 386},
                                     {500, 526},   {1000, 631},  {2000, 737}, {5000, 876},
                                     {10000, 982}, {20000, 1086}};
        const char* labels[10] = {"20", "50", "100", "200", "500", "1k", "2k", "5k", "10k", "20k"};
        const auto& lines = Grid_Freq_Lines();
        for (int k = 0; k < 10; ++k) {
            QCOMPARE(lines[k].value, double(expected[k][0]));
            QCOMPARE(lines[k].pos, expected[k][1]);
            QCOMPARE(QString(lines[k].label), QString(labels[k]));
            // A band marker dragged onto the line reads a frequency just below the line's own.
            QVERIFY(Pos_To_Freq(lines[k].pos) <= expected[k][0]);
        }
    }

    void levelLinesThroughBandMarkers_data() {
        QTest::addColumn<int>("line"); // index in Grid_Level_Lines
        QTest::addColumn<int>("gain"); // PC encoding of the same level
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("label");
        QTest::newRow("+18 dB (typed)") << 0 << 300 << 59 << "+18";
        QTest::newRow("+12 dB") << 1 << 240 << 87 << "+12";
        QTest::newRow("+6 dB") << 2 << 180 << 115 << "+6";
        QTest::newRow("0 dB") << 3 << 120 << 144 << "0";
        QTest::newRow("-6 dB") << 4 << 60 << 172 << "-6";
        QTest::newRow("-12 dB") << 5 << 0 << 200 << "-12";
        QTest::newRow("-18 dB (typed)") << 6 << -60 << 228 << "-18";
    }
    void levelLinesThroughBandMarkers() {
        QFETCH(int, line);
        QFETCH(int, gain);
        QFETCH(int, y);
        QFETCH(QString, label);
        const GridLine& l = Grid_Level_Lines()[line];
        QCOMPARE(l.pos, y);
        QCOMPARE(QString(l.label), label);
        // A band marker at that level is placed with its top edge 5 above the level: its middle
        // row lies on the line.
        QCOMPARE(Gain_To_Marker_Y(gain) + kBandMarkerSize / 2, y);
    }

    // The readout's frequency is the middle of the pixel: the line's own frequency, nearly.
    void pixelReadsItsFrequency_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("freq");
        QTest::newRow("20 Hz line") << 36 << "20.1 Hz";
        QTest::newRow("100 Hz line") << 281 << "100 Hz";
        QTest::newRow("1 kHz line") << 631 << "999 Hz";
        QTest::newRow("10 kHz line") << 982 << "10.02 kHz";
        QTest::newRow("right edge") << 1095 << "21.05 kHz";
    }
    void pixelReadsItsFrequency() {
        QFETCH(int, x);
        QFETCH(QString, freq);
        QCOMPARE(Freq_Text(Pos_To_Freq_Exact(x + 0.5)), freq);
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
