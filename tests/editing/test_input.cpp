// Input source buttons and the noise-gate submenu on the real window against the simulated unit.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QPushButton>
#include <QtTest>

using namespace tarn;
using tarn::test::hex;
using tarn::test::WindowFixture;

namespace {

bool selected(const QPushButton* b) {
    return b->styleSheet().contains("rgb(204, 204, 204)") &&
           b->styleSheet().contains("color:black");
}

// Names of the input buttons that look selected.
QStringList selectedInputs(Form& ui) {
    QStringList out;
    for (QPushButton* b :
         {ui.BT_INPUT_HI, ui.BT_INPUT_LOW, ui.BT_INPUT_OPT, ui.BT_INPUT_BT, ui.BT_INPUT_COAX})
        if (selected(b)) out << b->objectName();
    return out;
}

} // namespace

class TestInput : public QObject {
    Q_OBJECT

  private slots:
    void inputButtonsSendOnlyChanges();
    void hiddenButtonsDoNothing();
    void readBackSource_data();
    void readBackSource();
    void noiseGateLevels_data();
    void noiseGateLevels();
    void offlineChoicesStayOnThePc();
};

void TestInput::inputButtonsSendOnlyChanges() {
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    QCOMPARE(selectedInputs(ui), QStringList{"BT_INPUT_HI"});
    f.clearFrames();

    QTest::mouseClick(ui.BT_INPUT_OPT, Qt::LeftButton);
    QTest::mouseClick(ui.BT_INPUT_OPT, Qt::LeftButton);
    QCOMPARE(int(Param_Image.Input_Source()), 2);
    QCOMPARE(selectedInputs(ui), QStringList{"BT_INPUT_OPT"});
    QCOMPARE(f.writes(), (std::vector<QByteArray>{hex("050202")}));
    QCOMPARE(int(sim::unit().memory()[sim::off::InputSource]), 2);

    f.clearFrames();
    QTest::mouseClick(ui.BT_INPUT_HI, Qt::LeftButton);
    QCOMPARE(int(Param_Image.Input_Source()), 0);
    QCOMPARE(selectedInputs(ui), QStringList{"BT_INPUT_HI"});
    QCOMPARE(f.writes(), (std::vector<QByteArray>{hex("050200")}));
}

void TestInput::hiddenButtonsDoNothing() {
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    QVERIFY(ui.BT_INPUT_HI->isVisibleTo(&f.window()));
    QVERIFY(ui.BT_INPUT_OPT->isVisibleTo(&f.window()));
    for (QPushButton* hidden : {ui.BT_INPUT_LOW, ui.BT_INPUT_BT, ui.BT_INPUT_COAX})
        QVERIFY(!hidden->isVisibleTo(&f.window()));
    f.clearFrames();
    ui.BT_INPUT_BT->click();
    ui.BT_INPUT_COAX->click();
    QCOMPARE(int(Param_Image.Input_Source()), 0);
    QCOMPARE(selectedInputs(ui), QStringList{"BT_INPUT_HI"});
    QVERIFY(f.writes().empty());
}

void TestInput::readBackSource_data() {
    QTest::addColumn<int>("unitValue");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("high level") << 0 << 0 << "BT_INPUT_HI";
    QTest::newRow("low level") << 1 << 1 << "BT_INPUT_LOW";
    QTest::newRow("optical") << 2 << 2 << "BT_INPUT_OPT";
    QTest::newRow("out of range") << 5 << 0 << "BT_INPUT_HI";
}

void TestInput::readBackSource() {
    QFETCH(int, unitValue);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    WindowFixture f;
    sim::unit().memory()[sim::off::InputSource] = uint8_t(unitValue);
    QVERIFY(f.connect());
    QCOMPARE(int(Param_Image.Input_Source()), stored);
    QCOMPARE(selectedInputs(f.ui()), QStringList{shown});
}

void TestInput::noiseGateLevels_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("sent");
    for (int level = 0; level <= 6; ++level) {
        QByteArray payload = hex("0513");
        payload.append(char(level)).append(char(level == 0 ? 0 : 1));
        QTest::addRow("level %d", level) << level << payload;
    }
}

void TestInput::noiseGateLevels() {
    QFETCH(int, level);
    QFETCH(QByteArray, sent);
    WindowFixture f;
    sim::unit().setU16(sim::off::NoiseGate, 3); // something else to begin with
    QVERIFY(f.connect());
    QVERIFY(f.window().menus.noiseGateLevel[3]->isChecked());
    f.clearFrames();
    QAction* entry = f.window().menus.noiseGateLevel[size_t(level)];
    entry->trigger();
    QVERIFY(entry->isChecked());
    for (int other = 0; other <= 6; ++other)
        if (other != level) QVERIFY(!f.window().menus.noiseGateLevel[size_t(other)]->isChecked());
    QCOMPARE(int(Param_Image.NoiseGate()), level);
    QCOMPARE(f.writes(), std::vector<QByteArray>{sent});
    QCOMPARE(int(sim::unit().u16(sim::off::NoiseGate)), level);
    QCOMPARE(int(sim::unit().noiseGateOn()), level == 0 ? 0 : 1);
}

void TestInput::offlineChoicesStayOnThePc() {
    WindowFixture f;
    QCOMPARE(int(Link_Machine().online()), 0);
    QTest::mouseClick(f.ui().BT_INPUT_OPT, Qt::LeftButton);
    f.window().menus.noiseGateLevel[4]->trigger();
    QCOMPARE(int(Param_Image.Input_Source()), 2);
    QCOMPARE(int(Param_Image.NoiseGate()), 4);
    QCOMPARE(selectedInputs(f.ui()), QStringList{"BT_INPUT_OPT"});
    QVERIFY(f.payloads().empty());
}

QTEST_MAIN(TestInput)
#include "test_input.moc"
