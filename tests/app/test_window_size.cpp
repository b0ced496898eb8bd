// The main window at its smallest size and at 1920 x 1080: the graph takes the room, the other
// widgets keep their distance to the edges they sit at, a marker drag stores and sends what the
// larger scale reads, and the size is remembered.
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "model/param_image.h"
#include "tests/support/frames.h"
#include "tests/support/window_fixture.h"

#include <QPushButton>
#include <QSlider>
#include <QtTest>

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

    // At 1920 x 1080, online: band 11 (200 Hz, 0 dB) sits on column 609 and row 341; dragged 10
    // rows up it reads (341.5 - 331.5) / 14.55 = +0.69 dB, stores +0.7 dB and sends that band.
    void dragOnTheLargeWindow() {
        WindowFixture f;
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        f.window().resize(1920, 1080);
        QVERIFY(f.connect());
        f.clearFrames();
        DragPushButton* m = f.ui().bandMarker[10];
        QCOMPARE(m->pos(), QPoint(604, 336));
        QTest::mousePress(m, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QMouseEvent ev(QEvent::MouseMove, QPoint(5, -5), m->mapToGlobal(QPoint(5, -5)),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m, &ev);
        QTest::mouseRelease(m, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(int(Param_Image.EQ_Gain(0, 10)), 127);
        QCOMPARE(m->pos(), QPoint(604, 326));
        QCOMPARE(f.ui().eqGainSlider[10]->value(), 127);
        const std::vector<QByteArray> writes = f.writes();
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(writes[0].toHex(' '), QByteArray("05 08 00 0a c8 00 f7 00 1e"));
    }

    // The size, the place and the maximised state come back at the next start.
    void sizeRemembered() {
        {
            WindowFixture f;
            f.window().show();
            QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
            f.window().resize(1500, 800);
            f.window().move(30, 40);
        }
        {
            WindowFixture f(true);
            QCOMPARE(f.window().size(), QSize(1500, 800));
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
