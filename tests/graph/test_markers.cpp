// Band marker top edge <-> gain and the marker/label rectangles. The marker's middle row is the
// row of its level, y = floor(144.5 - 4.7 * dB), so its top edge is 5 above that; reading takes
// the level at the middle row's centre, (144 - row) / 4.7 dB, to the nearest 0.1 dB.
#include "graph/marker_geometry.h"

#include <QtTest>

using namespace tarn;

class TestMarkers : public QObject {
    Q_OBJECT

  private slots:
    void topEdgeToGain_data();
    void topEdgeToGain();
    void gainToTopEdge_data();
    void gainToTopEdge();
    void placingThenReadingKeepsEveryGain();
    void rectangles();
};

void TestMarkers::topEdgeToGain_data() {
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("gain");
    QTest::newRow("top of the drag range") << 45 << 240;   // row 50: +20.0, clamped
    QTest::newRow("bottom of the drag range") << 232 << 0; // row 237: -19.79, clamped
    QTest::newRow("placed at 0 dB") << 139 << 120;         // row 144: 0.0
    QTest::newRow("one row up") << 138 << 122;             // row 143: +0.213 -> +0.2
    QTest::newRow("one row down") << 140 << 118;           // row 145: -0.213 -> -0.2
    QTest::newRow("95") << 95 << 214;                      // row 100: +9.362 -> +9.4
    QTest::newRow("+12 dB row") << 83 << 239;              // row 88: +11.915 -> +11.9
    QTest::newRow("above it") << 82 << 240;                // row 87: +12.128, clamped
    QTest::newRow("-12 dB row") << 195 << 1;               // row 200: -11.915 -> -11.9
    QTest::newRow("below it") << 196 << 0;                 // row 201: -12.128, clamped
}

void TestMarkers::topEdgeToGain() {
    QFETCH(int, y);
    QFETCH(int, gain);
    QCOMPARE(Marker_Y_To_Gain_Exact(y), gain);
}

void TestMarkers::gainToTopEdge_data() {
    QTest::addColumn<int>("gain");
    QTest::addColumn<int>("y");
    QTest::newRow("0 dB") << 120 << 139;           // 144.5 -> row 144
    QTest::newRow("+1.0 dB") << 130 << 134;        // 139.8
    QTest::newRow("+9.3 dB") << 213 << 95;         // 100.79
    QTest::newRow("+12.0 dB") << 240 << 83;        // 88.1
    QTest::newRow("-12.0 dB") << 0 << 195;         // 200.9
    QTest::newRow("+1.7 dB") << 137 << 131;        // 136.51
    QTest::newRow("-6.8 dB") << 52 << 171;         // 176.46
    QTest::newRow("typed +20.0 dB") << 320 << 45;  // 50.5: the plot's top row
    QTest::newRow("typed -20.0 dB") << -80 << 233; // 238.5
}

void TestMarkers::gainToTopEdge() {
    QFETCH(int, gain);
    QFETCH(int, y);
    QCOMPARE(Gain_To_Marker_Y(gain), y);
}

// Reading is the exact inverse of placing: a marker placed for the gain a row reads stays on that
// row, and a gain placed and read back moves by at most the 0.1 dB a row's rounding can hold.
void TestMarkers::placingThenReadingKeepsEveryGain() {
    for (int y = Gain_To_Marker_Y(240); y <= Gain_To_Marker_Y(0); ++y)
        QCOMPARE(Gain_To_Marker_Y(Marker_Y_To_Gain_Exact(y)), y);
    for (int g = 0; g <= 240; ++g)
        QVERIFY2(qAbs(Marker_Y_To_Gain_Exact(Gain_To_Marker_Y(g)) - g) <= 1,
                 qPrintable(QString::number(g)));
}

void TestMarkers::rectangles() {
    QCOMPARE(Band_Marker_Rect(631, 95), QRect(QPoint(631, 95), QPoint(641, 105)));
    QCOMPARE(Band_Label_Rect(631, 95), QRect(QPoint(631, 80), QPoint(648, 97)));
    QCOMPARE(Crossover_Marker_Rect(278, 150), QRect(QPoint(278, 150), QPoint(293, 165)));
    // A crossover marker's middle row (its top + 8) is the row of the curve at its corner, kept on
    // the plot: -3.01 dB on row floor(144.5 + 4.7 * 3.0103) = 158.
    QCOMPARE(Crossover_Marker_Top(-3.0103), 150);
    QCOMPARE(Crossover_Marker_Top(-60.0), 237 - 8);
    QCOMPARE(Crossover_Marker_Top(30.0), 50 - 8);
}

QTEST_APPLESS_MAIN(TestMarkers)
#include "test_markers.moc"
