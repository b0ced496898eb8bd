// Channel strips and master strip on the real window against the simulated unit: volume and
// delay entries, Sync groups, phase and mute, master mute, step keys and wheel.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/output_format.h"
#include "sim/unit_sim.h"
#include "tests/support/input.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QWheelEvent>
#include <QtTest>

using namespace tarn;
using tarn::test::hex;
using tarn::test::wheel;
using tarn::test::WindowFixture;

using Frames = std::vector<QByteArray>;
Q_DECLARE_METATYPE(Frames)

namespace {

void typeInto(QLineEdit* entry, const QString& text) {
    entry->selectAll();
    QTest::keyClicks(entry, text);
    QTest::keyClick(entry, Qt::Key_Return);
}

void pressKey(QWidget* w, Qt::Key key, bool held) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(), held);
    QApplication::sendEvent(w, &event);
}

bool lit(const QPushButton* b) {
    return b->styleSheet().contains("rgb(204, 204, 204)");
}

Frames frames(std::initializer_list<const char*> hexes) {
    Frames out;
    for (const char* h : hexes)
        out.push_back(hex(h));
    return out;
}

// A 16-bit field as the frames carry it, low byte first.
QByteArray le16(int v) {
    QByteArray b(2, 0);
    b[0] = char(v & 0xFF);
    b[1] = char((v >> 8) & 0xFF);
    return b;
}

QString framesText(const Frames& fs) {
    QStringList parts;
    for (const QByteArray& f : fs)
        parts << QString::fromLatin1(f.toHex(' '));
    return parts.join(" | ");
}

#define COMPARE_FRAMES(actual, expected) QCOMPARE(framesText(actual), framesText(expected))

QStringList captured;
void capture(QtMsgType, const QMessageLogContext&, const QString& msg) {
    captured << msg;
}

} // namespace

class TestOutputs : public QObject {
    Q_OBJECT

  private slots:
    // ---- text of the entries (pure) ----
    void volumeText_data();
    void volumeText();
    void volumeParse_data();
    void volumeParse();
    void delayText_data();
    void delayText();
    void delayParse_data();
    void delayParse();
    void channelFromName_data();
    void channelFromName();
    void diagLineFormat();

    // ---- the window ----
    void volumeEntry_data();
    void volumeEntry();
    void syncedVolumeIsRefusedAsAWhole();
    void syncedVolumeEntryChecksTheGroup();
    void loneSyncBehavesAsNoSync_data();
    void loneSyncBehavesAsNoSync();
    void delayEntry_data();
    void delayEntry();
    void delayEntryWritesDiagnosticLine();
    void syncedDelayRespectsTheLimit();
    void syncedDelayMovesPartnersByTheSameStep();
    void volumeKeysAndWheel_data();
    void volumeKeysAndWheel();
    void delayKeys_data();
    void delayKeys();
    void masterVolume();
    void masterMuteThenChannelMute();
    void syncedMuteAndPhaseToggleEachChannel();
    void phaseLabel_data();
    void phaseLabel();
    void unitMenuRewritesDelays();
    void entriesSelectAllOnFocusAndRelease();
    void offlineEditsStayOnThePc();
    void readBackShowsTheStrips();
};

// ---- pure ----

void TestOutputs::volumeText_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0 dB") << 600 << "0.0dB";
    QTest::newRow("-4.5 dB") << 555 << "-4.5dB";
    QTest::newRow("floor") << 0 << "-60.0dB";
    QTest::newRow("-0.1 dB") << 599 << "-0.1dB";
}

void TestOutputs::volumeText() {
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(Volume_Text(value), text);
}

void TestOutputs::volumeParse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("target");
    QTest::newRow("-4.5") << "-4.5" << true << 555.0;
    QTest::newRow("0") << "0" << true << 600.0;
    QTest::newRow("-60") << "-60" << true << 0.0;
    QTest::newRow("blanks around") << " -3 " << true << 570.0;
    QTest::newRow("unit suffix") << "-4.5dB" << false << 0.0;
    QTest::newRow("above 0") << "0.1" << false << 0.0;
    QTest::newRow("below -60") << "-60.05" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("comma") << "-4,5" << false << 0.0;
}

void TestOutputs::volumeParse() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, target);
    double got = -1;
    QCOMPARE(Parse_Volume_Entry(text, got), ok);
    if (ok) QVERIFY(qAbs(got - target) < 1e-9);
}

void TestOutputs::delayText_data() {
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("text");
    QTest::newRow("ms 0") << 0 << kDelayUnitMs << "0.00ms";
    QTest::newRow("ms 320") << 320 << kDelayUnitMs << "3.20ms";
    QTest::newRow("ms 5") << 5 << kDelayUnitMs << "0.05ms";
    QTest::newRow("ms max") << 1500 << kDelayUnitMs << "15.00ms";
    QTest::newRow("cm 290") << 290 << kDelayUnitCm << "100cm";
    QTest::newRow("cm half rounds up") << 100 << kDelayUnitCm << "35cm"; // 34.5
    QTest::newRow("cm max") << 1500 << kDelayUnitCm << "518cm";          // 517.5
    QTest::newRow("cm 1") << 1 << kDelayUnitCm << "0cm";
}

void TestOutputs::delayText() {
    QFETCH(int, steps);
    QFETCH(int, unit);
    QFETCH(QString, text);
    QCOMPARE(Delay_Text(steps, unit), text);
}

void TestOutputs::delayParse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("rounded"); // trunc(steps + 0.5)
    QTest::newRow("3.2ms") << "3.2ms" << kDelayUnitMs << true << 320;
    QTest::newRow("3.2") << "3.2" << kDelayUnitMs << true << 320;
    QTest::newRow("15") << "15" << kDelayUnitMs << true << 1500;
    QTest::newRow("15.01") << "15.01" << kDelayUnitMs << false << 0;
    QTest::newRow("-1") << "-1" << kDelayUnitMs << false << 0;
    QTest::newRow("cm text read as ms") << "100cm" << kDelayUnitMs << false << 0;
    QTest::newRow("100cm") << "100cm" << kDelayUnitCm << true << 290;
    QTest::newRow("ms text read as cm") << "3.2ms" << kDelayUnitCm << true << 9;
    QTest::newRow("517cm") << "517cm" << kDelayUnitCm << true << 1499;
    QTest::newRow("518cm") << "518cm" << kDelayUnitCm << false << 0;
    QTest::newRow("suffix alone") << "ms" << kDelayUnitMs << false << 0;
    QTest::newRow("blank after suffix") << "3.2ms " << kDelayUnitMs << false << 0;
}

void TestOutputs::delayParse() {
    QFETCH(QString, text);
    QFETCH(int, unit);
    QFETCH(bool, ok);
    QFETCH(int, rounded);
    double steps = -1;
    QCOMPARE(Parse_Delay_Entry(text, unit, steps), ok);
    if (ok) QCOMPARE(static_cast<int>(steps + 0.5), rounded);
}

void TestOutputs::channelFromName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ch");
    QTest::newRow("BT_CH1") << "BT_CH1" << 0;
    QTest::newRow("BT_CH4") << "BT_CH4" << 3;
    QTest::newRow("BT_CH6") << "BT_CH6" << 5;
    QTest::newRow("two digits in range") << "BT_CH05" << 4;
    QTest::newRow("BT_CH7") << "BT_CH7" << -1;
    QTest::newRow("BT_CH0") << "BT_CH0" << -1;
    QTest::newRow("BT_CH12") << "BT_CH12" << -1;
    QTest::newRow("no digit") << "BT_CHX" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestOutputs::channelFromName() {
    QFETCH(QString, name);
    QFETCH(int, ch);
    QCOMPARE(Channel_From_Name(name), ch);
}

void TestOutputs::diagLineFormat() {
    const QDateTime t(QDate(2024, 3, 7), QTime(9, 5, 2, 41));
    QCOMPARE(
        Diag_Line("/src/editing/outputs.cpp", 120, "CH_Delay_Return", t, {"CH2", "3.2ms", "320"}),
        QString("[ outputs.cpp : 120 : CH_Delay_Return 2024-03-07 09:05:02:041 ] CH2 3.2ms "
                "320"));
}

// ---- window ----

void TestOutputs::volumeEntry_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("slider");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<Frames>("sent");
    QTest::newRow("-4.5") << "-4.5" << 555 << "-4.5dB" << frames({"0504012b02"});
    QTest::newRow("with unit refused") << "-4.5dB" << 600 << "0.0dB" << Frames{};
    QTest::newRow("above 0 refused") << "0.5" << 600 << "0.0dB" << Frames{};
    QTest::newRow("floor") << "-60" << 0 << "-60.0dB" << frames({"0504010000"});
    QTest::newRow("rounded to the step") << "-4.46" << 555 << "-4.5dB" << frames({"0504012b02"});
    QTest::newRow("same value, own format") << "-0.0" << 600 << "0.0dB" << Frames{};
}

void TestOutputs::volumeEntry() {
    QFETCH(QString, typed);
    QFETCH(int, slider);
    QFETCH(QString, shown);
    QFETCH(Frames, sent);
    WindowFixture f;
    QVERIFY(f.connect());
    f.clearFrames();
    typeInto(f.ui().chVol[1], typed);
    QCOMPARE(f.ui().chVolSlider[1]->value(), slider);
    QCOMPARE(int(Param_Image.CH_Vol(1)), slider);
    QCOMPARE(f.ui().chVol[1]->text(), shown);
    COMPARE_FRAMES(f.writes(), sent);
}

void TestOutputs::syncedVolumeIsRefusedAsAWhole() {
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    ui.chVolSlider[1]->setValue(500);
    QTest::mouseClick(ui.chSync[0], Qt::LeftButton);
    QTest::mouseClick(ui.chSync[1], Qt::LeftButton);
    QVERIFY(lit(ui.chSync[0]) && lit(ui.chSync[1]));
    f.clearFrames();

    ui.chVolSlider[1]->setValue(550); // CH1 would reach 650
    QCOMPARE(ui.chVolSlider[1]->value(), 500);
    QCOMPARE(int(Param_Image.CH_Vol(1)), 500);
    QCOMPARE(int(Param_Image.CH_Vol(0)), 600);
    QCOMPARE(ui.chVol[1]->text(), QString("-10.0dB"));
    COMPARE_FRAMES(f.writes(), Frames{});

    ui.chVolSlider[1]->setValue(450);
    QCOMPARE(int(Param_Image.CH_Vol(1)), 450);
    QCOMPARE(int(Param_Image.CH_Vol(0)), 550);
    QCOMPARE(ui.chVolSlider[0]->value(), 550);
    QCOMPARE(ui.chVol[0]->text(), QString("-5.0dB"));
    // The partner is sent first, from its own slider handler, then the moved channel.
    COMPARE_FRAMES(f.writes(), frames({"0504002602", "050401c201"}));
    QCOMPARE(sim::unit().u16(sim::off::ChVol), uint16_t(550));
    QCOMPARE(sim::unit().u16(sim::off::ChVol + 2), uint16_t(450));
}

void TestOutputs::syncedVolumeEntryChecksTheGroup() {
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    typeInto(ui.chVol[0], "-50"); // CH1 at 100
    QTest::mouseClick(ui.chSync[0], Qt::LeftButton);
    QTest::mouseClick(ui.chSync[2], Qt::LeftButton);
    f.clearFrames();

    typeInto(ui.chVol[2], "-20"); // a step of -200 would take CH1 below 0
    QCOMPARE(int(Param_Image.CH_Vol(2)), 600);
    QCOMPARE(ui.chVol[2]->text(), QString("0.0dB"));
    QCOMPARE(int(Param_Image.CH_Vol(0)), 100);
    COMPARE_FRAMES(f.writes(), Frames{});

    typeInto(ui.chVol[2], "-10");
    QCOMPARE(int(Param_Image.CH_Vol(2)), 500);
    QCOMPARE(int(Param_Image.CH_Vol(0)), 0);
    COMPARE_FRAMES(f.writes(), frames({"0504000000", "050402f401"}));
}

// The same edits on CH3 must give the same frames and mirror whatever Sync buttons are engaged,
// as long as CH3 has no engaged partner.
void TestOutputs::loneSyncBehavesAsNoSync_data() {
    QTest::addColumn<QList<int>>("engaged");
    QTest::newRow("CH3 alone") << QList<int>{2};
    QTest::newRow("CH1 alone, CH3 not engaged") << QList<int>{0};
    QTest::newRow("CH1 and CH2, CH3 not engaged") << QList<int>{0, 1};
}

void TestOutputs::loneSyncBehavesAsNoSync() {
    QFETCH(QList<int>, engaged);
    struct Outcome {
        Frames sent;
        QByteArray image;
    };
    auto run = [](const QList<int>& sync) {
        WindowFixture f;
        if (!f.connect()) return Outcome{};
        Form& ui = f.ui();
        typeInto(ui.chVol[0], "-59");    // CH1 near the floor: a group would refuse
        typeInto(ui.chDelay[1], "14.9"); // CH2 near the top
        for (int ch : sync)
            QTest::mouseClick(ui.chSync[ch], Qt::LeftButton);
        f.clearFrames();
        typeInto(ui.chVol[2], "-30");
        ui.chVolSlider[2]->setValue(100);
        typeInto(ui.chDelay[2], "2.5");
        pressKey(ui.chDelay[2], Qt::Key_Up, true);
        pressKey(ui.chVol[2], Qt::Key_Down, true);
        QTest::mouseClick(ui.chPhase[2], Qt::LeftButton);
        QTest::mouseClick(ui.chMute[2], Qt::LeftButton);
        const auto& bytes = Param_Image.bytes();
        return Outcome{f.writes(), QByteArray(reinterpret_cast<const char*>(bytes.data()), 100)};
    };
    const Outcome plain = run({});
    const Outcome synced = run(engaged);
    QVERIFY(!plain.sent.empty());
    COMPARE_FRAMES(synced.sent, plain.sent);
    QCOMPARE(synced.image.toHex(), plain.image.toHex());
}

void TestOutputs::delayEntry_data() {
    QTest::addColumn<bool>("cm");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("shown");
    // Every row starts from 100 steps (1.00 ms).
    QTest::newRow("3.2ms") << false << "3.2ms" << 320 << "3.20ms";
    QTest::newRow("plain 15") << false << "15" << 1500 << "15.00ms";
    QTest::newRow("15.01 refused") << false << "15.01" << 100 << "1.00ms";
    QTest::newRow("-1 refused") << false << "-1" << 100 << "1.00ms";
    QTest::newRow("cm text in ms refused") << false << "100cm" << 100 << "1.00ms";
    QTest::newRow("100cm") << true << "100cm" << 290 << "100cm";
    QTest::newRow("518cm refused") << true << "518cm" << 100 << "35cm";
    QTest::newRow("garbage refused") << true << "x1" << 100 << "35cm";
}

void TestOutputs::delayEntry() {
    QFETCH(bool, cm);
    QFETCH(QString, typed);
    QFETCH(int, steps);
    QFETCH(QString, shown);
    WindowFixture f;
    QVERIFY(f.connect());
    QLineEdit* entry = f.ui().chDelay[0];
    typeInto(entry, "1");
    QCOMPARE(int(Param_Image.CH_Delay(0)), 100);
    if (cm) f.window().menus.unitCm->trigger();
    f.clearFrames();

    typeInto(entry, typed);
    QCOMPARE(int(Param_Image.CH_Delay(0)), steps);
    QCOMPARE(entry->text(), shown);
    Frames expected;
    if (steps != 100) expected.push_back(hex("050900") + le16(steps));
    COMPARE_FRAMES(f.writes(), expected);
    QCOMPARE(int(sim::unit().u16(sim::off::ChDelay)), steps);
}

void TestOutputs::delayEntryWritesDiagnosticLine() {
    WindowFixture f;
    captured.clear();
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    typeInto(f.ui().chDelay[2], "2.5ms");
    QVERIFY2(captured.isEmpty(), qPrintable(captured.join('\n'))); // off unless switched on
    QLoggingCategory::setFilterRules(QStringLiteral("tarn.diag.debug=true"));
    typeInto(f.ui().chDelay[2], "3.2ms");
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    const QRegularExpression line(
        R"(^\[ outputs\.cpp : \d+ : CH_Delay_Return \d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3} \] )"
        R"(CH3 3\.2ms 320$)");
    QVERIFY2(captured.filter(line).size() == 1, qPrintable(captured.join('\n')));
}

void TestOutputs::syncedDelayRespectsTheLimit() {
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    typeInto(ui.chDelay[0], "14");
    typeInto(ui.chDelay[1], "1");
    QTest::mouseClick(ui.chSync[0], Qt::LeftButton);
    QTest::mouseClick(ui.chSync[1], Qt::LeftButton);
    f.clearFrames();

    typeInto(ui.chDelay[1], "2"); // +100: CH1 to 1500
    QCOMPARE(int(Param_Image.CH_Delay(0)), 1500);
    QCOMPARE(ui.chDelay[0]->text(), QString("15.00ms"));
    COMPARE_FRAMES(f.writes(), frames({"050900dc05", "050901c800"}));

    f.clearFrames();
    typeInto(ui.chDelay[1], "2.01"); // +1 would take CH1 past 1500
    QCOMPARE(int(Param_Image.CH_Delay(1)), 200);
    QCOMPARE(ui.chDelay[1]->text(), QString("2.00ms"));
    COMPARE_FRAMES(f.writes(), Frames{});

    // A refused key step still resends the unchanged delay.
    pressKey(ui.chDelay[1], Qt::Key_Up, false);
    QCOMPARE(int(Param_Image.CH_Delay(1)), 200);
    COMPARE_FRAMES(f.writes(), frames({"050901c800"}));
}

// A centimetre entry is rarely a whole number of steps: the partner must take the step the
// edited channel took, not one less.
void TestOutputs::syncedDelayMovesPartnersByTheSameStep() {
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    f.window().menus.unitCm->trigger();
    QTest::mouseClick(ui.chSync[0], Qt::LeftButton);
    QTest::mouseClick(ui.chSync[1], Qt::LeftButton);
    f.clearFrames();
    typeInto(ui.chDelay[1], "100cm"); // 289.855 steps, stored as 290
    QCOMPARE(int(Param_Image.CH_Delay(1)), 290);
    QCOMPARE(int(Param_Image.CH_Delay(0)), 290);
    QCOMPARE(ui.chDelay[0]->text(), QString("100cm"));
    COMPARE_FRAMES(f.writes(), frames({"0509002201", "0509012201"}));
}

void TestOutputs::volumeKeysAndWheel_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key"); // Qt::Key_Up / Qt::Key_Down, or 0 for the wheel
    QTest::addColumn<int>("wheelDelta");
    QTest::addColumn<bool>("held");
    QTest::addColumn<int>("expected");
    QTest::newRow("Up once") << 500 << int(Qt::Key_Up) << 0 << false << 501;
    QTest::newRow("Up held") << 500 << int(Qt::Key_Up) << 0 << true << 503;
    QTest::newRow("Up held at 599") << 599 << int(Qt::Key_Up) << 0 << true << 600;
    QTest::newRow("Down held") << 500 << int(Qt::Key_Down) << 0 << true << 497;
    QTest::newRow("Down held at 1") << 1 << int(Qt::Key_Down) << 0 << true << 0;
    QTest::newRow("wheel forward") << 500 << 0 << 120 << false << 501;
    QTest::newRow("wheel back") << 500 << 0 << -240 << false << 499;
    QTest::newRow("wheel back at 0") << 0 << 0 << -120 << false << 0;
    QTest::newRow("other key") << 500 << int(Qt::Key_Left) << 0 << true << 500;
}

void TestOutputs::volumeKeysAndWheel() {
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, wheelDelta);
    QFETCH(bool, held);
    QFETCH(int, expected);
    WindowFixture f;
    QVERIFY(f.connect());
    for (auto [entry, slider] : {std::pair{f.ui().chVol[3], f.ui().chVolSlider[3]},
                                 std::pair{f.ui().Edit_Total, f.ui().Slider_Total_Bar}}) {
        slider->setValue(start);
        if (key)
            pressKey(entry, Qt::Key(key), held);
        else
            wheel(entry, wheelDelta);
        QCOMPARE(slider->value(), expected);
        QCOMPARE(entry->text(), Volume_Text(expected));
    }
    QCOMPARE(int(Param_Image.CH_Vol(3)), expected);
    QCOMPARE(int(Param_Image.Total_Vol()), expected);
}

void TestOutputs::delayKeys_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("held");
    QTest::addColumn<int>("expected");
    QTest::newRow("Up") << 100 << int(Qt::Key_Up) << false << 101;
    QTest::newRow("Up held") << 100 << int(Qt::Key_Up) << true << 103;
    QTest::newRow("Up held near the top") << 1499 << int(Qt::Key_Up) << true << 1500;
    QTest::newRow("Up at the top") << 1500 << int(Qt::Key_Up) << false << 1500;
    QTest::newRow("Down held") << 100 << int(Qt::Key_Down) << true << 97;
    QTest::newRow("Down held near 0") << 2 << int(Qt::Key_Down) << true << 0;
    QTest::newRow("Down at 0") << 0 << int(Qt::Key_Down) << false << 0;
}

void TestOutputs::delayKeys() {
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(bool, held);
    QFETCH(int, expected);
    WindowFixture f;
    QVERIFY(f.connect());
    QLineEdit* entry = f.ui().chDelay[4];
    typeInto(entry, QString::number(start / 100.0, 'f', 2));
    QCOMPARE(int(Param_Image.CH_Delay(4)), start);
    f.clearFrames();
    pressKey(entry, Qt::Key(key), held);
    QCOMPARE(int(Param_Image.CH_Delay(4)), expected);
    QCOMPARE(entry->text(), Delay_Text(expected, kDelayUnitMs));
    // One send per key event, also when no step was possible.
    COMPARE_FRAMES(f.writes(), Frames{hex("050904") + le16(expected)});
}

void TestOutputs::masterVolume() {
    WindowFixture f;
    QVERIFY(f.connect());
    f.clearFrames();
    typeInto(f.ui().Edit_Total, "-10");
    QCOMPARE(f.ui().Slider_Total_Bar->value(), 500);
    QCOMPARE(int(Param_Image.Total_Vol()), 500);
    QCOMPARE(f.ui().Edit_Total->text(), QString("-10.0dB"));
    typeInto(f.ui().Edit_Total, "-10dB");
    QCOMPARE(f.ui().Edit_Total->text(), QString("-10.0dB"));
    COMPARE_FRAMES(f.writes(), frames({"050df401"}));
    QCOMPARE(sim::unit().u16(sim::off::TotalVol), uint16_t(500));
}

void TestOutputs::masterMuteThenChannelMute() {
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    f.clearFrames();
    QTest::mouseClick(ui.BT_MainMute, Qt::LeftButton);
    QCOMPARE(int(Pc.Master_Mute), 1);
    QVERIFY(lit(ui.BT_MainMute));
    COMPARE_FRAMES(f.writes(), frames({"05050001", "05050101", "05050201", "05050301", "05050401",
                                       "05050501"}));

    f.clearFrames();
    QTest::mouseClick(ui.chMute[2], Qt::LeftButton);
    QCOMPARE(int(Param_Image.CH_Mute(2)), 0);
    QCOMPARE(int(Pc.Master_Mute), 0);
    QVERIFY(!lit(ui.BT_MainMute));
    for (int ch : {0, 1, 3, 4, 5})
        QCOMPARE(int(Param_Image.CH_Mute(ch)), 1);
    COMPARE_FRAMES(f.writes(), frames({"05050200"}));

    // Releasing the master unmutes all six.
    QTest::mouseClick(ui.BT_MainMute, Qt::LeftButton); // engages again
    f.clearFrames();
    QTest::mouseClick(ui.BT_MainMute, Qt::LeftButton);
    for (int ch = 0; ch < kChannels; ++ch)
        QCOMPARE(int(sim::unit().memory()[sim::off::ChMute + ch]), 0);
    QCOMPARE(f.writes().size(), size_t(6));
}

void TestOutputs::syncedMuteAndPhaseToggleEachChannel() {
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    QTest::mouseClick(ui.chMute[1], Qt::LeftButton);  // CH2 muted before the group is made
    QTest::mouseClick(ui.chPhase[1], Qt::LeftButton); // and inverted
    QTest::mouseClick(ui.chSync[0], Qt::LeftButton);
    QTest::mouseClick(ui.chSync[1], Qt::LeftButton);
    f.clearFrames();

    QTest::mouseClick(ui.chMute[0], Qt::LeftButton);
    QTest::mouseClick(ui.chPhase[0], Qt::LeftButton);
    // Each engaged channel is toggled, not aligned; the partner's command goes out first.
    QCOMPARE(int(Param_Image.CH_Mute(0)), 1);
    QCOMPARE(int(Param_Image.CH_Mute(1)), 0);
    QCOMPARE(int(Param_Image.CH_Phase(0)), 1);
    QCOMPARE(int(Param_Image.CH_Phase(1)), 0);
    QVERIFY(lit(ui.chMute[0]) && !lit(ui.chMute[1]));
    QVERIFY(lit(ui.chPhase[0]) && !lit(ui.chPhase[1]));
    COMPARE_FRAMES(f.writes(), frames({"05050100", "05050001", "050a0100", "050a0001"}));

    // Sync released: CH2 is left alone.
    QTest::mouseClick(ui.chSync[1], Qt::LeftButton);
    QVERIFY(!lit(ui.chSync[1]));
    f.clearFrames();
    QTest::mouseClick(ui.chMute[0], Qt::LeftButton);
    COMPARE_FRAMES(f.writes(), frames({"05050000"}));
}

void TestOutputs::phaseLabel_data() {
    QTest::addColumn<int>("english");
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("inverted");
    QTest::newRow("English") << 1 << "0°"
                             << "180°";
    QTest::newRow("Chinese") << 0 << "正相"
                             << "反相";
}

void TestOutputs::phaseLabel() {
    QFETCH(int, english);
    QFETCH(QString, normal);
    QFETCH(QString, inverted);
    WindowFixture f;
    QVERIFY(f.connect());
    Pc.Lang_EN = uint8_t(english);
    QPushButton* phase = f.ui().chPhase[3];
    f.clearFrames();
    QTest::mouseClick(phase, Qt::LeftButton);
    QCOMPARE(phase->text(), inverted);
    QVERIFY(lit(phase));
    QTest::mouseClick(phase, Qt::LeftButton);
    QCOMPARE(phase->text(), normal);
    QVERIFY(!lit(phase));
    COMPARE_FRAMES(f.writes(), frames({"050a0301", "050a0300"}));
}

void TestOutputs::unitMenuRewritesDelays() {
    WindowFixture f;
    Form& ui = f.ui();
    typeInto(ui.chDelay[5], "2.9");
    QCOMPARE(int(Param_Image.CH_Delay(5)), 290);
    f.window().menus.unitCm->trigger();
    QCOMPARE(ui.BT_Unit->text(), QString("cm"));
    QCOMPARE(ui.chDelay[5]->text(), QString("100cm"));
    QCOMPARE(ui.chDelay[0]->text(), QString("0cm"));
    f.window().menus.unitMs->trigger();
    QCOMPARE(ui.BT_Unit->text(), QString("ms"));
    QCOMPARE(ui.chDelay[5]->text(), QString("2.90ms"));
    QCOMPARE(int(Param_Image.CH_Delay(5)), 290);
}

void TestOutputs::entriesSelectAllOnFocusAndRelease() {
    WindowFixture f;
    f.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
    for (QLineEdit* entry : {f.ui().chVol[0], f.ui().chDelay[2], f.ui().Edit_Total}) {
        entry->deselect();
        QTest::mouseClick(entry, Qt::LeftButton, Qt::NoModifier, QPoint(4, entry->height() / 2));
        QCOMPARE(entry->selectedText(), entry->text());
        entry->deselect();
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(entry, &focus);
        QCOMPARE(entry->selectedText(), entry->text());
    }
}

void TestOutputs::offlineEditsStayOnThePc() {
    WindowFixture f;
    QCOMPARE(int(Link_Machine().online()), 0);
    Form& ui = f.ui();
    typeInto(ui.chVol[0], "-6");
    typeInto(ui.chDelay[0], "1.5");
    QTest::mouseClick(ui.chPhase[0], Qt::LeftButton);
    QTest::mouseClick(ui.chMute[0], Qt::LeftButton);
    QTest::mouseClick(ui.BT_MainMute, Qt::LeftButton);
    typeInto(ui.Edit_Total, "-1");
    QCOMPARE(int(Param_Image.CH_Vol(0)), 540);
    QCOMPARE(int(Param_Image.CH_Delay(0)), 150);
    QCOMPARE(int(Param_Image.CH_Phase(0)), 1);
    QCOMPARE(int(Param_Image.Total_Vol()), 590);
    QVERIFY(f.payloads().empty());
}

void TestOutputs::readBackShowsTheStrips() {
    WindowFixture f;
    sim::Unit& unit = sim::unit();
    unit.setU16(sim::off::ChVol + 4, 450);
    unit.setU16(sim::off::ChDelay + 2, 320);
    unit.setU16(sim::off::ChDelay + 6, 1501); // beyond what the editors allow: read as 0
    unit.memory()[sim::off::ChPhase + 5] = 1;
    unit.memory()[sim::off::ChMute + 1] = 1;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    QCOMPARE(ui.chVolSlider[2]->value(), 450);
    QCOMPARE(ui.chVol[2]->text(), QString("-15.0dB"));
    QCOMPARE(ui.chDelay[1]->text(), QString("3.20ms"));
    QCOMPARE(ui.chDelay[3]->text(), QString("0.00ms"));
    QCOMPARE(ui.chPhase[5]->text(), QString("反相"));
    QVERIFY(lit(ui.chPhase[5]) && lit(ui.chMute[1]) && !lit(ui.chMute[0]));
    COMPARE_FRAMES(f.writes(), Frames{}); // showing what was read sends nothing back
}

QTEST_MAIN(TestOutputs)
#include "test_outputs.moc"
