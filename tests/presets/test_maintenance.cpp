// The About box and the factory reset on the real window against the simulated unit.
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions_about_form.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

template <typename T> T* child(QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    if (!w) qWarning() << "no child" << name;
    return w;
}

std::vector<AboutForm*> abouts() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::vector<AboutForm*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<AboutForm*>(w)) out.push_back(a);
    return out;
}

AboutForm* openAbout(WindowFixture& f) {
    f.window().menus.about->trigger();
    const auto open = abouts();
    return open.size() == 1 && open[0]->isVisible() ? open[0] : nullptr;
}

void setUnitVersion(uint32_t v) {
    for (int i = 0; i < 4; ++i)
        sim::unit().memory()[sim::off::FwVersion + size_t(i)] = uint8_t(v >> (8 * i));
}

} // namespace

class TestMaintenance : public QObject {
    Q_OBJECT

  private slots:
    void cleanup();

    void aboutShowsTheVersion_data();
    void aboutShowsTheVersion();
    void aboutTexts_data();
    void aboutTexts();
    void aboutKeepsTheVersionItOpenedWith();
    void aboutCloseButtons_data();
    void aboutCloseButtons();
    void aboutDrags();

    void resetIgnoredOffline();
    void resetDeclinedChangesNothing();
    void resetConfirmed_data();
    void resetConfirmed();
    void resetWriteFailureIsNotASuccess();
    void resetRefusedDuringReadBack();
};

void TestMaintenance::cleanup() {
    for (AboutForm* a : abouts())
        a->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Pc.Lang_EN = 0;
}

void TestMaintenance::aboutShowsTheVersion_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<uint>("version");
    QTest::addColumn<QString>("shown");
    QTest::newRow("before any connection") << false << 0u << "0";
    QTest::newRow("unit's version") << true << 20230811u << "20230811";
    QTest::newRow("top bit set") << true << 0x80000000u << "2147483648";
    QTest::newRow("all bits set") << true << 0xFFFFFFFFu << "4294967295";
    QTest::newRow("zero from the unit") << true << 0u << "0";
}

void TestMaintenance::aboutShowsTheVersion() {
    QFETCH(bool, connected);
    QFETCH(uint, version);
    QFETCH(QString, shown);
    WindowFixture f;
    setUnitVersion(version);
    if (connected) QVERIFY(f.connect());
    AboutForm* a = openAbout(f);
    QVERIFY(a);
    QCOMPARE(child<QLabel>(a, "label_8")->text(), shown);
    QVERIFY(f.writes().empty());
}

void TestMaintenance::aboutTexts_data() {
    QTest::addColumn<int>("english");
    // label_2, label_4, label_6, label_9, BT_EXIT
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("zh") << 0
                        << QStringList{"关于 TALVEN DSP", "应用程序版本 HX-6C-R1", "机器软件版本：",
                                       "程序版本：", "确定"};
    QTest::newRow("en") << 1
                        << QStringList{"About TALVEN DSP", "Application HX-6C-R1",
                                       "Firmware Version:", "Program Version:", "OK"};
}

void TestMaintenance::aboutTexts() {
    QFETCH(int, english);
    QFETCH(QStringList, texts);
    WindowFixture f;
    Pc.Lang_EN = uint8_t(english);
    AboutForm* a = openAbout(f);
    QVERIFY(a);
    QVERIFY(a->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!a->isModal());
    QVERIFY(!a->parent());
    QVERIFY(a->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(a->windowTitle(), QString("关于"));
    QCOMPARE(child<QLabel>(a, "label_2")->text(), texts[0]);
    QCOMPARE(child<QLabel>(a, "label_4")->text(), texts[1]);
    QCOMPARE(child<QLabel>(a, "label_6")->text(), texts[2]);
    QCOMPARE(child<QLabel>(a, "label_7")->text(), QString("TALVEN CAR DSP UI"));
    QCOMPARE(child<QLabel>(a, "label_9")->text(), texts[3]);
    QCOMPARE(child<QLabel>(a, "label_10")->text(), QString("1.0.0"));
    QCOMPARE(child<QPushButton>(a, "BT_EXIT")->text(), texts[4]);
    QVERIFY(child<QPushButton>(a, "BT_CLOSE")->text().isEmpty());
    QVERIFY(f.payloads().empty());
}

void TestMaintenance::aboutKeepsTheVersionItOpenedWith() {
    WindowFixture f;
    setUnitVersion(100);
    QVERIFY(f.connect());
    QPointer<AboutForm> first = openAbout(f);
    QVERIFY(first);
    setUnitVersion(200);
    Link_Machine().Connect_Unit();
    QVERIFY(f.connect());
    QCOMPARE(Param_Image.FW_Version(), 200u);
    QCOMPARE(child<QLabel>(first, "label_8")->text(), QString("100"));

    // A new use of the entry replaces the open box with one that shows the version now.
    AboutForm* second = openAbout(f);
    QVERIFY(second);
    QVERIFY(!first);
    QCOMPARE(child<QLabel>(second, "label_8")->text(), QString("200"));
}

void TestMaintenance::aboutCloseButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("BT_CLOSE") << "BT_CLOSE";
    QTest::newRow("BT_EXIT") << "BT_EXIT";
}

void TestMaintenance::aboutCloseButtons() {
    QFETCH(QString, button);
    WindowFixture f;
    QPointer<AboutForm> a = openAbout(f);
    QVERIFY(a);
    QTest::mouseClick(child<QPushButton>(a, button.toLatin1().constData()), Qt::LeftButton);
    QVERIFY(abouts().empty());
    QVERIFY(!a);
}

void TestMaintenance::aboutDrags() {
    WindowFixture f;
    AboutForm* a = openAbout(f);
    QVERIFY(a);
    const QPoint start = a->pos();
    const QPoint grab(60, 20);
    const QPoint globalGrab = a->frameGeometry().topLeft() + grab;
    QMouseEvent press(QEvent::MouseButtonPress, grab, globalGrab, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(a, &press);
    QMouseEvent move(QEvent::MouseMove, grab, globalGrab + QPoint(-30, 45), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(a, &move);
    QCOMPARE(a->pos(), start + QPoint(-30, 45));
}

void TestMaintenance::resetIgnoredOffline() {
    WindowFixture f;
    ModalAnswerer answer(QMessageBox::Yes);
    f.window().menus.systemReset->trigger();
    QVERIFY(answer.seen().empty());
    QVERIFY(f.payloads().empty());
}

void TestMaintenance::resetDeclinedChangesNothing() {
    WindowFixture f;
    QVERIFY(f.connect());
    f.clearFrames();
    ModalAnswerer answer(QMessageBox::No);
    f.window().menus.systemReset->trigger();
    QCOMPARE(int(answer.seen().size()), 1);
    QCOMPARE(answer.seen()[0].text, QString("确定要将当前机器复位到出厂模式？"));
    f.ticks(5);
    QVERIFY(f.payloads().empty()); // no reset, no new handshake
    QCOMPARE(sim::unit().counters().factoryResets, 0);
    QCOMPARE(int(Link_Machine().statusLevel()), 2);
}

void TestMaintenance::resetConfirmed_data() {
    QTest::addColumn<int>("english");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("done");
    QTest::newRow("zh") << 0 << "提示"
                        << "确定要将当前机器复位到出厂模式？"
                        << "复位完成，请耐心等待2秒钟后自动更新UI！";
    QTest::newRow("en") << 1 << "Notice"
                        << "Reset the unit to its factory settings?"
                        << "Reset done. The screen is updated in 2 seconds!";
}

void TestMaintenance::resetConfirmed() {
    QFETCH(int, english);
    QFETCH(QString, title);
    QFETCH(QString, question);
    QFETCH(QString, done);
    WindowFixture f;
    const sim::Memory factory = sim::Unit::factoryImage();
    const auto u16 = [&](size_t at) { return int(factory[at] | factory[at + 1] << 8); };
    QVERIFY(u16(sim::off::ChVol + 4) != 321 && u16(sim::off::ChDelay + 4) != 77);
    // A tuned unit: volume and delay of CH3 away from the factory values.
    sim::unit().setU16(sim::off::ChVol + 4, 321);
    sim::unit().setU16(sim::off::ChDelay + 4, 77);
    QVERIFY(f.connect());
    QCOMPARE(int(Param_Image.CH_Vol(2)), 321);
    Pc.Lang_EN = uint8_t(english);
    f.clearFrames();

    // What the unit had received by the time each box was on screen.
    std::vector<size_t> framesBefore;
    ModalAnswerer boxes(QMessageBox::Yes);
    boxes.onBox([&](QMessageBox*) { framesBefore.push_back(sim::unit().frames().size()); });
    f.window().menus.systemReset->trigger();
    QCOMPARE(int(boxes.seen().size()), 2);
    QCOMPARE(boxes.seen()[0].title, title);
    QCOMPARE(boxes.seen()[0].text, question);
    QCOMPARE(boxes.seen()[1].title, title);
    QCOMPARE(boxes.seen()[1].text, done);
    // Nothing before the question; then the reset, not yet the handshake.
    QCOMPARE(framesBefore, (std::vector<size_t>{0, 1}));

    // Reset, then two seconds later the name request of a new handshake.
    QCOMPARE(f.payloads(), (std::vector<QByteArray>{hex("050101")}));
    QCOMPARE(sim::unit().counters().factoryResets, 1);
    f.ticks(999);
    for (const QByteArray& p : f.payloads())
        QVERIFY(p != hex("0616"));
    f.ticks(1);
    QCOMPARE(f.payloads().back(), hex("0616"));
    QVERIFY(f.connect());
    QCOMPARE(int(Param_Image.CH_Vol(2)), u16(sim::off::ChVol + 4));
    QCOMPARE(int(Param_Image.CH_Delay(2)), u16(sim::off::ChDelay + 4));
}

void TestMaintenance::resetWriteFailureIsNotASuccess() {
    WindowFixture f;
    QVERIFY(f.connect());
    sim::unit().setPlugged(false);
    ModalAnswerer answer(QMessageBox::Yes);
    f.window().menus.systemReset->trigger();
    QCOMPARE(int(answer.seen().size()), 2);
    QCOMPARE(answer.seen()[1].text, QString("机器通讯异常！"));
    QCOMPARE(int(Link_Machine().online()), 0);
    QCOMPARE(sim::unit().counters().factoryResets, 0);
    // The link looks for the unit again by itself and finds it once it is back.
    sim::unit().setPlugged(true);
    QVERIFY(f.connect());
}

void TestMaintenance::resetRefusedDuringReadBack() {
    WindowFixture f;
    QVERIFY(f.connect());
    Link_Machine().Connect_Unit();
    f.ticks(1);
    QCOMPARE(int(Link_Machine().readingBlocks()), 1);
    f.clearFrames();
    ModalAnswerer answer(QMessageBox::Yes);
    f.window().menus.systemReset->trigger();
    QCOMPARE(int(answer.seen().size()), 1);
    QCOMPARE(answer.seen()[0].text, QString("请先联机！"));
    QVERIFY(f.writes().empty());
    QCOMPARE(sim::unit().counters().factoryResets, 0);
    QVERIFY(f.connect());
}

QTEST_MAIN(TestMaintenance)
#include "test_maintenance.moc"
