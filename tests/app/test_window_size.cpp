// The main window at its smallest size and at 1920 x 1080: the graph takes the room, the other
// widgets keep their distance to the edges they sit at, a marker drag stores and sends what the
// scale of either size reads, the readout is the curve under the pointer, and the size is
// remembered.
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "model/param_image.h"
#include "tests/support/frames.h"
#include "tests/support/window_fixture.h"

#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <cmath>

using namespace tarn;
using namespace tarn::test;

class TestWindowSize : public QObject {
    Q_OBJECT

    QWidget* named(WindowFixture& f, const char* name) {
        return f.window().findChild<QWidget*>(QString::fromLatin1(name));
    }

  private slots:
    void placesAtTwoSizes_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("plot");
        QTest::addColumn<QPoint>("close");   // BT_CLOSE: the top band's right end
        QTest::addColumn<QPoint>("hpfType"); // BT_HPF_TYPE: right of the graph
        QTest::addColumn<QPoint>("peq");     // BT_PEQ: under the graph, on the right
        QTest::addColumn<QPoint>("band1");   // Slider_EQ_Gain_Bar_1: band columns, left
        QTest::addColumn<QPoint>("ch1");     // BT_CH1: channel strips, left, at the bottom
        QTest::addColumn<QPoint>("link");    // BT_LINK: bottom right
        QTest::addColumn<QPoint>("check3");  // checkBox_3: under the plot, in the graph
        QTest::newRow("1260 x 686")
            << QSize(1260, 686) << QRect(36, 50, 1060, 188) << QPoint(1224, 9) << QPoint(1158, 74)
            << QPoint(890, 251) << QPoint(48, 280) << QPoint(12, 494) << QPoint(1044, 494)
            << QPoint(232, 251);
        // 660 wider and 394 higher.
        QTest::newRow("1920 x 1080")
            << QSize(1920, 1080) << QRect(36, 50, 1720, 582) << QPoint(1884, 9) << QPoint(1818, 74)
            << QPoint(1550, 645) << QPoint(48, 674) << QPoint(12, 888) << QPoint(1704, 888)
            << QPoint(232, 645);
    }
    void placesAtTwoSizes() {
        QFETCH(QSize, size);
        QFETCH(QRect, plot);
        WindowFixture f;
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        f.window().resize(size);
        QCOMPARE(f.window().size(), size);
        const GraphScale& s = f.ui().graph->scale();
        QCOMPARE(QRect(s.left, s.top, s.width, s.height), plot);
        QFETCH(QPoint, close);
        QFETCH(QPoint, hpfType);
        QFETCH(QPoint, peq);
        QFETCH(QPoint, band1);
        QFETCH(QPoint, ch1);
        QFETCH(QPoint, link);
        QFETCH(QPoint, check3);
        QCOMPARE(named(f, "BT_CLOSE")->pos(), close);
        QCOMPARE(named(f, "BT_HPF_TYPE")->pos(), hpfType);
        QCOMPARE(named(f, "BT_PEQ")->pos(), peq);
        QCOMPARE(named(f, "Slider_EQ_Gain_Bar_1")->pos(), band1);
        QCOMPARE(named(f, "BT_CH1")->pos(), ch1);
        QCOMPARE(named(f, "BT_LINK")->pos(), link);
        QCOMPARE(named(f, "checkBox_3")->pos(), check3);
        // Never smaller than the smallest window.
        f.window().resize(800, 500);
        QCOMPARE(f.window().size(), QSize(1260, 686));
    }

    // Online, at both sizes: band 11 (200 Hz, 0 dB) is held at its middle and the pointer moved
    // to a point of the graph; the marker reads where it went, the unit gets that band once and
    // the marker stays under the pointer. Points are the graph's pixels: the plot is columns
    // 36 .. w - 21 and rows 50 .. h - 39 of a w x h graph, column c reads
    // 20 * 10^(3 * (c - 36) / (w - 57)) Hz, row r reads (z - r) / p dB with z the 0 dB row and p
    // the rows per dB (worked with python3). Frames: 05 08, channel, band, frequency and gain
    // + 120 as little-endian words, Q.
    void dragAtTwoSizes_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("start"); // the marker's top left before
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<int>("gain"); // stored: 120 is 0 dB, 0.1 dB steps
        QTest::addColumn<int>("freq");
        QTest::addColumn<QPoint>("placed");
        QTest::addColumn<QByteArray>("frame");
        // Graph 1116 x 276: 0 dB on row 144, 4.7 rows per dB.
        QTest::newRow("1260 x 686, 10 rows up: +2.1 dB")
            << QSize(1260, 686) << QPoint(384, 139) << QPoint(389, 134) << 141 << 200
            << QPoint(384, 129) << QByteArray("05 08 00 0a c8 00 05 01 1e");
        QTest::newRow("1260 x 686, to 81 Hz +9.4 dB")
            << QSize(1260, 686) << QPoint(384, 139) << QPoint(250, 100) << 214 << 81
            << QPoint(245, 95) << QByteArray("05 08 00 0a 51 00 4e 01 1e");
        // Graph 1776 x 670: 0 dB on row 341, 14.55 rows per dB; 10 rows are 0.69 dB.
        QTest::newRow("1920 x 1080, 10 rows up: +0.7 dB")
            << QSize(1920, 1080) << QPoint(604, 336) << QPoint(609, 331) << 127 << 200
            << QPoint(604, 326) << QByteArray("05 08 00 0a c8 00 f7 00 1e");
        QTest::newRow("1920 x 1080, to the bottom: -12.0 dB")
            << QSize(1920, 1080) << QPoint(604, 336) << QPoint(609, 900) << 0 << 200
            << QPoint(604, 511) << QByteArray("05 08 00 0a c8 00 78 00 1e");
        QTest::newRow("1920 x 1080, right to 288 Hz")
            << QSize(1920, 1080) << QPoint(604, 336) << QPoint(700, 341) << 120 << 288
            << QPoint(695, 336) << QByteArray("05 08 00 0a 20 01 f0 00 1e");
    }
    void dragAtTwoSizes() {
        QFETCH(QSize, size);
        QFETCH(QPoint, start);
        QFETCH(QPoint, cursor);
        QFETCH(int, gain);
        QFETCH(int, freq);
        QFETCH(QPoint, placed);
        QFETCH(QByteArray, frame);
        WindowFixture f;
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        f.window().resize(size);
        QVERIFY(f.connect());
        f.clearFrames();
        DragPushButton* m = f.ui().bandMarker[10];
        QCOMPARE(m->pos(), start);
        QTest::mousePress(m, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        const QPoint local = cursor - m->pos();
        QMouseEvent ev(QEvent::MouseMove, local, m->mapToGlobal(local), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m, &ev);
        QTest::mouseRelease(m, Qt::LeftButton, Qt::NoModifier, cursor - m->pos());
        QCOMPARE(int(Param_Image.EQ_Gain(0, 10)), gain);
        QCOMPARE(int(Param_Image.EQ_Freq(0, 10)), freq);
        QCOMPARE(m->pos(), placed);
        QCOMPARE(f.ui().eqGainSlider[10]->value(), gain);
        const std::vector<QByteArray> writes = f.writes();
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(writes[0].toHex(' '), frame);
    }

    // On the large window, CH3 with a Bessel 24 dB/oct high-pass at 60 Hz and a Linkwitz-Riley
    // 24 dB/oct low-pass at 3 kHz: the readout beside the pointer says the channel's true level
    // on the pointer's column, and the curve is drawn on that level's row. Literals (python3): at
    // the middle of column c, f = 20 * 10^(3 * (c + 0.5 - 36.5) / 1719);
    // -20 log10(1 + (f / 3000)^4) plus 20 log10 |105 / theta_4(j 2.11392 * 60 / f)|, theta_4(s) =
    // s^4 + 10 s^3 + 45 s^2 + 105 s + 105 (the Bessel polynomial, -3.01 dB at 2.11392).
    void readoutOnTheLargeWindow_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("freq");
        QTest::addColumn<double>("db");
        QTest::newRow("3.09 kHz") << 1290 << "3.09 kHz" << -6.531;
        QTest::newRow("100 Hz") << 437 << "100 Hz" << -1.020;
        QTest::newRow("3.99 kHz") << 1354 << "3.99 kHz" << -12.332;
        QTest::newRow("5.12 kHz") << 1416 << "5.12 kHz" << -19.550;
    }
    void readoutOnTheLargeWindow() {
        QFETCH(int, column);
        QFETCH(QString, freq);
        QFETCH(double, db);
        WindowFixture f;
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        f.window().resize(1920, 1080);
        f.window().channelBar().switchTo(2);
        Param_Image.set_HPF_Off(2, 0);
        Param_Image.set_HPF_Freq(2, 60);
        Param_Image.set_HPF_Type(2, 2);
        Param_Image.set_HPF_Slope(2, 3);
        Param_Image.set_LPF_Off(2, 0);
        Param_Image.set_LPF_Freq(2, 3000);
        Param_Image.set_LPF_Type(2, 1);
        Param_Image.set_LPF_Slope(2, 3);
        f.window().graph().crossoverCurveCalc(2, false);
        f.window().graph().crossoverCurveCalc(2, true);
        GraphView* graph = f.ui().graph;
        QMouseEvent hover(QEvent::MouseMove, QPoint(column, 200),
                          graph->mapToGlobal(QPoint(column, 200)), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(graph, &hover);
        const QStringList lines = graph->readoutLines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].section(QStringLiteral("  "), 0, 0), freq);
        const double read =
            lines[0].section(QStringLiteral("  "), 1).remove(QStringLiteral(" dB")).toDouble();
        QVERIFY2(qAbs(read - db) < 0.06, qPrintable(lines[0]));
        // 0 dB on the middle of row 341, 14.55 rows per dB.
        const int row = int(std::floor(341.5 - 14.55 * read));
        const QImage img = graph->grab().toImage();
        bool drawn = false;
        for (int y = row - 1; y <= row + 1; ++y) {
            const QColor px(img.pixel(column, y)); // CH3's tint, (115, 115, 255), over grey
            drawn = drawn || px.blue() - px.red() >= 60;
        }
        QVERIFY2(drawn, qPrintable(QString("%1 on row %2").arg(lines[0]).arg(row)));
    }

    // The size, the place and the maximised state come back at the next start (on the test's
    // 800x800 screen: 700 rows below row 40 fit; the width does not, so the left edge stays).
    void sizeRemembered() {
        {
            WindowFixture f;
            f.window().show();
            QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
            f.window().resize(1500, 700);
            f.window().move(30, 40);
        }
        {
            WindowFixture f(true);
            QCOMPARE(f.window().size(), QSize(1500, 700));
            QCOMPARE(f.window().pos(), QPoint(30, 40));
            QVERIFY(!f.window().isMaximized());
            f.window().setWindowState(Qt::WindowMaximized);
        }
        WindowFixture f(true);
        QVERIFY(f.window().windowState() & Qt::WindowMaximized);
    }
};

QTEST_MAIN(TestWindowSize)
#include "test_window_size.moc"
