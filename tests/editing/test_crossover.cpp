// Crossover editing on the real window in front of the simulated unit: the step buttons with their
// repeat guard, keys and wheel, the type and slope menus, the frequency entry, and the order in
// which a linked channel is sent.
#include "app/form.h"
#include "app/tarn80x.h"
#include "dsp/response_curves.h"
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/frames.h"
#include "tests/support/input.h"
#include "tests/support/window_fixture.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

using namespace tarn;
using tarn::test::WindowFixture;
using namespace tarn::test;

namespace {

enum Path { MenuPath, EntryPath, ButtonPath, KeyPath, WheelPath };

// The filter of ch as the mirror holds it, as its command would carry it.
QByteArray mirrorFrame(bool lowPass, int ch) {
    const FilterFields& f = lowPass ? kLpfFields : kHpfFields;
    return filterFrame(lowPass, ch, Param_Image.filterType(f, ch), Param_Image.filterFreq(f, ch),
                       Param_Image.filterSlope(f, ch), Param_Image.filterOff(f, ch));
}

QStringList hexList(const std::vector<QByteArray>& frames) {
    QStringList out;
    for (const QByteArray& f : frames)
        out << QString::fromLatin1(f.toHex(' '));
    return out;
}

int mirrorFreq(bool lowPass, int ch = 0) {
    return lowPass ? Param_Image.LPF_Freq(ch) : Param_Image.HPF_Freq(ch);
}

struct FilterUi {
    QLineEdit* entry;
    QPushButton* up;
    QPushButton* down;
    QPushButton* type;
    QPushButton* slope;
    DragPushButton* marker;
};
FilterUi filterUi(Form& ui, bool lowPass) {
    if (lowPass)
        return {ui.Edit_LPF_Freq, ui.BT_LPF_FREQ_UP, ui.BT_LPF_FREQ_DOWN,
                ui.BT_LPF_TYPE,   ui.BT_LPF_SLOPE,   ui.lpfMarker};
    return {ui.Edit_HPF_Freq, ui.BT_HPF_FREQ_UP, ui.BT_HPF_FREQ_DOWN,
            ui.BT_HPF_TYPE,   ui.BT_HPF_SLOPE,   ui.hpfMarker};
}

QAction* slopeEntry(Tarn80X& w, bool lowPass, int i) {
    return (lowPass ? w.menus.lpfSlopeEntry : w.menus.hpfSlopeEntry)[size_t(i)];
}
QAction* typeEntry(Tarn80X& w, bool lowPass, int i) {
    return (lowPass ? w.menus.lpfTypeEntry : w.menus.hpfTypeEntry)[size_t(i)];
}

} // namespace

class TestCrossover : public QObject {
    Q_OBJECT

  private slots:
    void stepButtons_data();
    void stepButtons();
    void keysAndWheel_data();
    void keysAndWheel();
    void heldStepButtonRepeats();
    void slopeOffAndBackOn_data();
    void slopeOffAndBackOn();
    void typeEntries_data();
    void typeEntries();
    void frequencyEntry_data();
    void frequencyEntry();
    void linkedChannelOrder_data();
    void linkedChannelOrder();
    void channelShowsItsFilters_data();
    void channelShowsItsFilters();
    void offlineEditsChangeOnlyThePcCopy();
};

void TestCrossover::stepButtons_data() {
    QTest::addColumn<bool>("lowPass");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("gapTicks"); // link ticks between two clicks
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("HPF Up slow from 80") << false << true << 80 << 25 << QList<int>{81, 82, 83};
    QTest::newRow("HPF Up quick from 80") << false << true << 80 << 0 << QList<int>{81, 92, 103};
    QTest::newRow("HPF Up 24 ticks apart is quick")
        << false << true << 80 << 24 << QList<int>{81, 92, 103};
    QTest::newRow("HPF Up quick from 995")
        << false << true << 995 << 0 << QList<int>{996, 1007, 1108};
    QTest::newRow("HPF Down quick from 1105")
        << false << false << 1105 << 0 << QList<int>{1104, 1003, 902, 891, 880};
    QTest::newRow("HPF Down quick from 23") << false << false << 23 << 0 << QList<int>{22, 20, 20};
    QTest::newRow("LPF Up at 20000") << true << true << 20000 << 0 << QList<int>{20000, 20000};
    QTest::newRow("LPF Up quick from 19898")
        << true << true << 19898 << 0 << QList<int>{19899, 19901, 19903};
    QTest::newRow("LPF Down slow from 5000")
        << true << false << 5000 << 25 << QList<int>{4999, 4998};
}

// Every click stores, shows, sends and moves the marker, the limit included.
void TestCrossover::stepButtons() {
    QFETCH(bool, lowPass);
    QFETCH(bool, up);
    QFETCH(int, start);
    QFETCH(int, gapTicks);
    QFETCH(QList<int>, expected);
    WindowFixture f;
    QVERIFY(f.connect());
    const FilterUi w = filterUi(f.ui(), lowPass);
    typeAndReturn(w.entry, QString::number(start));
    QCOMPARE(mirrorFreq(lowPass), start);

    for (int i = 0; i < expected.size(); ++i) {
        if (i > 0) f.ticks(gapTicks);
        f.clearFrames();
        QTest::mouseClick(up ? w.up : w.down, Qt::LeftButton);
        const int want = expected[i];
        QCOMPARE(mirrorFreq(lowPass), want);
        QCOMPARE(w.entry->text(), QString::number(want));
        QCOMPARE(hexList(f.writes()), hexList({filterFrame(lowPass, 0, 0, want, 3, 1)}));
        QCOMPARE(w.marker->x(), Freq_To_Pos(want));
    }
}

void TestCrossover::keysAndWheel_data() {
    QTest::addColumn<bool>("lowPass");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("expected"); // empty: nothing happens

    QTest::newRow("LPF held Up at 19899") << true << int(KeyUpHeld) << 19899 << QList<int>{19901};
    QTest::newRow("LPF held Up at 19898") << true << int(KeyUpHeld) << 19898 << QList<int>{19999};
    QTest::newRow("HPF held Up from 80")
        << false << int(KeyUpHeld) << 80 << QList<int>{91, 102, 113};
    QTest::newRow("HPF single Up from 80") << false << int(KeyUp) << 80 << QList<int>{81, 82};
    QTest::newRow("HPF held Down from 1105")
        << false << int(KeyDownHeld) << 1105 << QList<int>{1004, 903, 892};
    QTest::newRow("HPF single Down at 20") << false << int(KeyDown) << 20 << QList<int>{20};
    QTest::newRow("wheel forward is never fast")
        << false << int(WheelForward) << 995 << QList<int>{996, 997, 998};
    QTest::newRow("LPF wheel back from 21") << true << int(WheelBack) << 21 << QList<int>{20, 20};
    QTest::newRow("zero wheel") << false << int(WheelZero) << 500 << QList<int>{};
}

void TestCrossover::keysAndWheel() {
    QFETCH(bool, lowPass);
    QFETCH(int, input);
    QFETCH(int, start);
    QFETCH(QList<int>, expected);
    WindowFixture f;
    QVERIFY(f.connect());
    const FilterUi w = filterUi(f.ui(), lowPass);
    typeAndReturn(w.entry, QString::number(start));
    f.clearFrames();

    if (expected.isEmpty()) {
        sendInput(w.entry, Input(input));
        QCOMPARE(mirrorFreq(lowPass), start);
        QCOMPARE(hexList(f.writes()), QStringList());
        return;
    }
    for (int want : expected) {
        f.clearFrames();
        sendInput(w.entry, Input(input));
        QCOMPARE(mirrorFreq(lowPass), want);
        QCOMPARE(w.entry->text(), QString::number(want));
        QCOMPARE(hexList(f.writes()), hexList({filterFrame(lowPass, 0, 0, want, 3, 1)}));
    }
}

// Held down, a step button clicks first after 1000 ms and then every 100 ms, and once more when
// let go. The button's own repeat timer is read and fired here, one repeat at a time. The link
// timer is stopped, so the repeat guard never runs out and every repeat after the first is fast.
void TestCrossover::heldStepButtonRepeats() {
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    typeAndReturn(ui.Edit_HPF_Freq, "80");
    f.clearFrames();
    QPushButton* up = ui.BT_HPF_FREQ_UP;
    auto timers = [up] { return QAbstractEventDispatcher::instance()->registeredTimers(up); };

    QTest::mousePress(up, Qt::LeftButton);
    QCOMPARE(hexList(f.writes()), QStringList()); // nothing before the first repeat
    QCOMPARE(timers().size(), 1);
    QCOMPARE(timers()[0].interval, 1000);
    const int steps[] = {81, 92, 103, 114};
    QStringList want;
    for (int i = 0; i < 3; ++i) {
        QTimerEvent repeat(timers()[0].timerId);
        QCoreApplication::sendEvent(up, &repeat);
        want << QString::fromLatin1(filterFrame(false, 0, 0, steps[i], 3, 1).toHex(' '));
        QCOMPARE(hexList(f.writes()), want);
        QCOMPARE(timers().size(), 1);
        QCOMPARE(timers()[0].interval, 100);
    }
    QTest::mouseRelease(up, Qt::LeftButton);
    want << QString::fromLatin1(filterFrame(false, 0, 0, steps[3], 3, 1).toHex(' '));
    QCOMPARE(hexList(f.writes()), want);
    QVERIFY(timers().isEmpty()); // no repeat after the release
}

void TestCrossover::slopeOffAndBackOn_data() {
    QTest::addColumn<bool>("lowPass");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("offText");
    QTest::newRow("HPF, English") << false << true << "OFF";
    QTest::newRow("LPF, Chinese") << true << false << "关闭";
}

// From -48dB/Oct: OFF keeps the slope (off = 1, slope 7), then -6dB/Oct switches back on.
void TestCrossover::slopeOffAndBackOn() {
    QFETCH(bool, lowPass);
    QFETCH(bool, english);
    QFETCH(QString, offText);
    WindowFixture f;
    QVERIFY(f.connect());
    Pc.Lang_EN = english ? 1 : 0;
    const FilterUi w = filterUi(f.ui(), lowPass);
    const int freq = lowPass ? 20000 : 20;
    slopeEntry(f.window(), lowPass, 7)->trigger();
    QCOMPARE(w.slope->text(), QStringLiteral("-48dB/Oct"));
    f.clearFrames();

    slopeEntry(f.window(), lowPass, 8)->trigger();
    QCOMPARE(hexList(f.writes()), hexList({filterFrame(lowPass, 0, 0, freq, 7, 1)}));
    QCOMPARE(w.slope->text(), offText);
    const ResponseCurves& curves = f.window().graph().curves();
    const ResponseCurves::Row& curve = lowPass ? curves.lpf(0) : curves.hpf(0);
    for (double v : curve)
        QCOMPARE(v, 0.0);

    f.clearFrames();
    slopeEntry(f.window(), lowPass, 0)->trigger();
    QCOMPARE(hexList(f.writes()), hexList({filterFrame(lowPass, 0, 0, freq, 0, 0)}));
    QCOMPARE(w.slope->text(), QStringLiteral("-6dB/Oct"));
    // At its own corner a first-order filter is 3 dB down: -10 log10(2) = -3.0103 dB.
    QVERIFY(qAbs(curve[lowPass ? kCurvePoints - 1 : 0] - (-3.0103)) < 0.0001);
}

void TestCrossover::typeEntries_data() {
    QTest::addColumn<bool>("lowPass");
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("text");
    QTest::newRow("HPF Linkwitz, English") << false << true << 1 << "Linkwitz";
    QTest::newRow("HPF Linkwitz, Chinese") << false << false << 1 << "宁克";
    QTest::newRow("LPF Bessel, English") << true << true << 2 << "Bessel";
    QTest::newRow("LPF Butterworth, Chinese") << true << false << 0 << "巴特沃斯";
}

void TestCrossover::typeEntries() {
    QFETCH(bool, lowPass);
    QFETCH(bool, english);
    QFETCH(int, entry);
    QFETCH(QString, text);
    WindowFixture f;
    QVERIFY(f.connect());
    Pc.Lang_EN = english ? 1 : 0;
    typeEntry(f.window(), lowPass, (entry + 1) % 3)->trigger(); // start from another type
    f.clearFrames();

    typeEntry(f.window(), lowPass, entry)->trigger();
    QCOMPARE(filterUi(f.ui(), lowPass).type->text(), text);
    QCOMPARE(int(lowPass ? Param_Image.LPF_Type(0) : Param_Image.HPF_Type(0)), entry);
    QCOMPARE(hexList(f.writes()),
             hexList({filterFrame(lowPass, 0, entry, lowPass ? 20000 : 20, 3, 1)}));
}

void TestCrossover::frequencyEntry_data() {
    QTest::addColumn<bool>("lowPass");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("HPF 25000") << false << "25000" << false;
    QTest::newRow("HPF 80Hz") << false << "80Hz" << false;
    QTest::newRow("HPF 80.5") << false << "80.5" << false;
    QTest::newRow("HPF 19") << false << "19" << false;
    QTest::newRow("HPF empty") << false << "" << false;
    QTest::newRow("HPF 15000 above the LPF") << false << "15000" << true;
    QTest::newRow("LPF 20") << true << "20" << true;
    QTest::newRow("LPF 20000") << true << "20000" << true;
}

// The HPF stands at 120 Hz and the LPF at 5000 Hz before the entry.
void TestCrossover::frequencyEntry() {
    QFETCH(bool, lowPass);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    WindowFixture f;
    QVERIFY(f.connect());
    Form& ui = f.ui();
    typeAndReturn(ui.Edit_HPF_Freq, "120");
    typeAndReturn(ui.Edit_LPF_Freq, "5000");
    const FilterUi w = filterUi(ui, lowPass);
    const int before = mirrorFreq(lowPass);
    f.clearFrames();

    typeAndReturn(w.entry, text);
    if (!accepted) {
        QCOMPARE(mirrorFreq(lowPass), before);
        QCOMPARE(w.entry->text(), QString::number(before));
        QCOMPARE(hexList(f.writes()), QStringList());
        return;
    }
    const int freq = text.toInt();
    QCOMPARE(mirrorFreq(lowPass), freq);
    QCOMPARE(w.entry->text(), text);
    QCOMPARE(hexList(f.writes()), hexList({filterFrame(lowPass, 0, 0, freq, 3, 1)}));
    QCOMPARE(w.marker->x(), Freq_To_Pos(freq));
    QCOMPARE(mirrorFreq(!lowPass), lowPass ? 120 : 5000); // the other filter is not touched
}

void TestCrossover::linkedChannelOrder_data() {
    QTest::addColumn<bool>("lowPass");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("path");
    QTest::addColumn<QString>("order"); // "linked first", "own first" or "own only"

    QTest::newRow("menu, EQ and filters") << false << 0 << int(MenuPath) << "linked first";
    QTest::newRow("menu, EQ only") << false << 1 << int(MenuPath) << "own only";
    QTest::newRow("entry, filters only") << false << 2 << int(EntryPath) << "linked first";
    QTest::newRow("button, EQ and filters") << false << 0 << int(ButtonPath) << "own first";
    QTest::newRow("button, EQ only") << false << 1 << int(ButtonPath) << "own only";
    QTest::newRow("key, filters only") << false << 2 << int(KeyPath) << "own first";
    QTest::newRow("wheel, EQ and filters") << false << 0 << int(WheelPath) << "own first";
    QTest::newRow("LPF menu, filters only") << true << 2 << int(MenuPath) << "linked first";
    QTest::newRow("LPF button, EQ and filters") << true << 0 << int(ButtonPath) << "own first";
}

// CH1 linked to CH2; the copy carries all four fields of the filter.
void TestCrossover::linkedChannelOrder() {
    QFETCH(bool, lowPass);
    QFETCH(int, mode);
    QFETCH(int, path);
    QFETCH(QString, order);
    WindowFixture f;
    QVERIFY(f.connect());
    const FilterUi w = filterUi(f.ui(), lowPass);
    typeEntry(f.window(), lowPass, 2)->trigger(); // CH1 differs from CH2 in type, then frequency
    typeAndReturn(w.entry, "1000");
    linkPair(0, 1, mode);
    const QByteArray ch2Before = mirrorFrame(lowPass, 1);
    f.clearFrames();

    switch (Path(path)) {
    case MenuPath:
        slopeEntry(f.window(), lowPass, 1)->trigger();
        break;
    case EntryPath:
        typeAndReturn(w.entry, "2000");
        break;
    case ButtonPath:
        QTest::mouseClick(w.up, Qt::LeftButton);
        break;
    case KeyPath:
        sendInput(w.entry, KeyUp);
        break;
    case WheelPath:
        sendInput(w.entry, WheelForward);
        break;
    }

    const QByteArray own = mirrorFrame(lowPass, 0);
    const QByteArray linked = mirrorFrame(lowPass, 1);
    if (order == "own only") {
        QCOMPARE(hexList(f.writes()), hexList({own}));
        QCOMPARE(linked, ch2Before);
        return;
    }
    QCOMPARE(linked.mid(3), own.mid(3)); // type, frequency, slope and off copied
    QCOMPARE(hexList(f.writes()),
             order == "linked first" ? hexList({linked, own}) : hexList({own, linked}));
    const std::size_t freqOffset = (lowPass ? sim::off::LpfFreq : sim::off::HpfFreq) + 2;
    QCOMPARE(int(sim::unit().u16(freqOffset)), mirrorFreq(lowPass, 0));
}

void TestCrossover::channelShowsItsFilters_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("texts"); // HPF type, slope; LPF type, slope
    QTest::newRow("English") << true << QStringList{"Linkwitz", "-18dB/Oct", "Bessel", "OFF"};
    QTest::newRow("Chinese") << false << QStringList{"宁克", "-18dB/Oct", "贝塞尔", "关闭"};
}

// Selecting a channel shows both of its filters from the mirror.
void TestCrossover::channelShowsItsFilters() {
    QFETCH(bool, english);
    QFETCH(QStringList, texts);
    WindowFixture f;
    QVERIFY(f.connect());
    Pc.Lang_EN = english ? 1 : 0;
    Param_Image.set_HPF_Type(3, 1);
    Param_Image.set_HPF_Slope(3, 2);
    Param_Image.set_HPF_Off(3, 0);
    Param_Image.set_HPF_Freq(3, 123);
    Param_Image.set_LPF_Type(3, 2);
    Param_Image.set_LPF_Slope(3, 5);
    Param_Image.set_LPF_Off(3, 1);
    Param_Image.set_LPF_Freq(3, 4567);

    Form& ui = f.ui();
    QTest::mouseClick(ui.chButton[3], Qt::LeftButton);
    QCOMPARE(ui.Edit_HPF_Freq->text(), QStringLiteral("123"));
    QCOMPARE(ui.Edit_LPF_Freq->text(), QStringLiteral("4567"));
    QCOMPARE((QStringList{ui.BT_HPF_TYPE->text(), ui.BT_HPF_SLOPE->text(), ui.BT_LPF_TYPE->text(),
                          ui.BT_LPF_SLOPE->text()}),
             texts);
}

void TestCrossover::offlineEditsChangeOnlyThePcCopy() {
    WindowFixture f;
    Form& ui = f.ui();
    QTest::mouseClick(ui.BT_HPF_FREQ_UP, Qt::LeftButton);
    slopeEntry(f.window(), false, 3)->trigger();
    typeEntry(f.window(), true, 2)->trigger();
    typeAndReturn(ui.Edit_LPF_Freq, "5000");
    sendInput(ui.Edit_LPF_Freq, WheelBack);

    QCOMPARE(int(Param_Image.HPF_Freq(0)), 21);
    QCOMPARE(int(Param_Image.HPF_Off(0)), 0);
    QCOMPARE(int(Param_Image.LPF_Type(0)), 2);
    QCOMPARE(int(Param_Image.LPF_Freq(0)), 4999);
    QCOMPARE(ui.Edit_LPF_Freq->text(), QStringLiteral("4999"));
    QCOMPARE(ui.lpfMarker->x(), Freq_To_Pos(4999));
    QCOMPARE(int(sim::unit().frames().size()), 0);
}

QTEST_MAIN(TestCrossover)
#include "test_crossover.moc"
