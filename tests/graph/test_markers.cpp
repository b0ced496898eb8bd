// Marker top edge <-> gain and the marker/label rectangles. Reading and placing use different
// scales on purpose (0.2123 and 0.2127 dB per pixel), and both truncate.
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
    void rectangles();
};

void TestMarkers::topEdgeToGain_data() {
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("gain");
    QTest::newRow("top of the drag range") << 50 << 240;   // 319.56, clamped
    QTest::newRow("bottom of the drag range") << 238 << 0; // -79.56, clamped
    QTest::newRow("0 dB line") << 144 << 120;
    QTest::newRow("placed at 0 dB") << 139 << 130;
    QTest::newRow("100") << 100 << 213;
    QTest::newRow("120: 0.2123, not 0.2127") << 120 << 170;
    QTest::newRow("145: truncated, not rounded") << 145 << 117;
    QTest::newRow("87: 241, clamped") << 87 << 240;
    QTest::newRow("88: 238") << 88 << 238;
    QTest::newRow("152: below the line") << 152 << 103;
}

void TestMarkers::topEdgeToGain() {
    QFETCH(int, y);
    QFETCH(int, gain);
    QCOMPARE(Marker_Y_To_Gain(y), gain);
}

void TestMarkers::gainToTopEdge_data() {
    QTest::addColumn<int>("gain");
    QTest::addColumn<int>("y");
    QTest::newRow("0 dB") << 120 << 139;
    QTest::newRow("+1.0 dB") << 130 << 134;
    QTest::newRow("+9.3 dB") << 213 << 95;
    QTest::newRow("+12.0 dB") << 240 << 82;
    QTest::newRow("-12.0 dB") << 0 << 195;
    QTest::newRow("+1.7 dB: 0.2127, not 0.2123") << 137 << 131;
    QTest::newRow("-6.8 dB: 0.2127, not 0.2123") << 52 << 170;
    QTest::newRow("typed +20.0 dB") << 320 << 44;
    QTest::newRow("typed -20.0 dB") << -80 << 233;
}

void TestMarkers::gainToTopEdge() {
    QFETCH(int, gain);
    QFETCH(int, y);
    QCOMPARE(Gain_To_Marker_Y(gain), y);
}

void TestMarkers::rectangles() {
    QCOMPARE(Band_Marker_Rect(631, 95), QRect(QPoint(631, 95), QPoint(641, 105)));
    QCOMPARE(Band_Label_Rect(631, 95), QRect(QPoint(631, 80), QPoint(648, 97)));
    QCOMPARE(Crossover_Marker_Rect(281), QRect(QPoint(281, 148), QPoint(296, 163)));
}

QTEST_APPLESS_MAIN(TestMarkers)
#include "test_markers.moc"
