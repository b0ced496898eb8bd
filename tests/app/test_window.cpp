// The main window's shell: look, menus, dragging, minimise and close.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {
void sendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
QStringList texts(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->menu() ? a->menu()->title() : a->text());
    return out;
}
} // namespace

class TestWindow : public QObject {
    Q_OBJECT

  private slots:
    void lookAndStartState() {
        WindowFixture f;
        Tarn80X& w = f.window();
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w.size(), QSize(1260, 686));
        QVERIFY(w.styleSheet().contains("rgb(57, 57, 57)"));
        QVERIFY(!f.ui().BT_CONNECT->isEnabled());
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("已断开"));
        QVERIFY(f.ui().TickBar->isHidden());
        QVERIFY(f.ui().label_15->isHidden());
        QVERIFY(f.ui().BT_HPF_FREQ_UP->isHidden());
        QVERIFY(f.ui().BT_INPUT_LOW->isHidden());
        QVERIFY(!f.ui().BT_INPUT_HI->isHidden());
        QVERIFY(f.ui().BT_PEQ->styleSheet().contains("rgb(204, 204, 204)"));
        // Every named family exists under its object name.
        for (const QString& name :
             {QString("Edit_EQ_Gain_31"), QString("Slider_EQ_Gain_Bar_1"), QString("BT_LED_17"),
              QString("Edit_EQ_Q_7"), QString("Edit_CHDelay_6"), QString("BT_Sync_A061"),
              QString("BT_CH_NAME_6"), QString("checkBox_6"), QString("Edit_Label_31")})
            QVERIFY2(w.findChild<QWidget*>(name), qPrintable(name));
    }

    void menus() {
        WindowFixture f;
        QMenu* option = f.ui().BT_OPTION->menu();
        QVERIFY(option);
        QCOMPARE(texts(option),
                 (QStringList{"噪声门", "撤销", "重做", "关于本机", "系统复位", "机器固件升级",
                              "导入测量曲线", "清除测量曲线", "导入均衡滤波器", "距离延时计算",
                              "自动均衡…", "中文", "English"}));
        QVERIFY(option->styleSheet().contains("rgb(0,128,0)"));
        const auto& gate = f.window().menus.noiseGateLevel;
        QVERIFY(gate[0]->isChecked());
        gate[4]->trigger();
        QVERIFY(gate[4]->isChecked());
        QVERIFY(!gate[0]->isChecked());
        QCOMPARE(texts(f.ui().BT_SENCE->menu()).size(), 6);
        QCOMPARE(texts(f.ui().BT_SENCE->menu()).last(), QString("历史记录"));
        QCOMPARE(texts(f.ui().BT_HPF_SLOPE->menu()).last(), QString("关闭"));
        QCOMPARE(texts(f.ui().BT_LPF_TYPE->menu()), (QStringList{"巴特沃斯", "宁克", "贝塞尔"}));
        QCOMPARE(texts(f.ui().BT_Unit->menu()), (QStringList{"ms", "cm"}));
        QCOMPARE(texts(f.ui().chNameButton[0]->menu()),
                 (QStringList{"前左", "前右", "后左", "后右", "中置", "超低", "关闭"}));
    }

    void dragging_data() {
        QTest::addColumn<int>("pressY");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("moves");
        QTest::newRow("left button in the top band") << 20 << int(Qt::LeftButton) << true;
        QTest::newRow("left button just above y = 50") << 49 << int(Qt::LeftButton) << true;
        QTest::newRow("left button at y = 50") << 50 << int(Qt::LeftButton) << false;
        QTest::newRow("left button further down") << 300 << int(Qt::LeftButton) << false;
        QTest::newRow("right button in the top band") << 20 << int(Qt::RightButton) << false;
    }
    void dragging() {
        QFETCH(int, pressY);
        QFETCH(int, button);
        QFETCH(bool, moves);
        WindowFixture f;
        Tarn80X& w = f.window();
        w.move(100, 100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint start = w.pos();
        const auto b = static_cast<Qt::MouseButton>(button);
        sendMouse(&w, QEvent::MouseButtonPress, QPoint(600, pressY), b, b);
        sendMouse(&w, QEvent::MouseMove, QPoint(650, pressY + 30), Qt::NoButton, b);
        QCOMPARE(w.pos(), moves ? start + QPoint(50, 30) : start);
    }

    void minimise() {
        WindowFixture f;
        f.window().show();
        QTest::mouseClick(f.ui().BT_MIN, Qt::LeftButton);
        QVERIFY(f.window().windowState() & Qt::WindowMinimized);
    }

    void closeOfflineSendsNothing() {
        WindowFixture f;
        QTimer::singleShot(0, [&] { QTest::mouseClick(f.ui().BT_CLOSE, Qt::LeftButton); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(f.payloads().empty());
    }

    void closeOnlineSendsTheCloseCommand() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.clearFrames();
        QTimer::singleShot(0, [&] { QTest::mouseClick(f.ui().BT_CLOSE, Qt::LeftButton); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(f.payloads(), (std::vector<QByteArray>{hex("05C101")}));
    }

    void closeDuringReadBackStillEnds() {
        WindowFixture f;
        f.ticks(10);
        QVERIFY(Link_Machine().readingBlocks());
        f.clearFrames();
        QTimer::singleShot(0, [&] { QTest::mouseClick(f.ui().BT_CLOSE, Qt::LeftButton); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(f.writes().empty());
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
