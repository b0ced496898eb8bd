// Undo and redo on the real window against the simulated unit: each user edit undone and redone
// leaves the PC copy and the unit's memory as they were before and after it, linked and ganged
// channels included; one gesture is one step; the menu entries and what clears the history.
#include "app/form.h"
#include "app/tarn80x.h"
#include "graph/drag_push_button.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/edit_session.h"
#include "sim/unit_sim.h"
#include "tests/support/input.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"
#include "views/channel_bar_link_form.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QUndoStack>
#include <QtTest>
#include <functional>

using namespace tarn;
using tarn::test::WindowFixture;

namespace {

using Action = std::function<void(WindowFixture&)>;

void dragSlider(QSlider* slider, std::initializer_list<int> values) {
    slider->setSliderDown(true);
    for (int v : values)
        slider->setValue(v);
    slider->setSliderDown(false);
}

// A marker drag as the window system delivers it: positions are relative to the marker.
void dragMarker(DragPushButton* m, QPoint grab, std::initializer_list<QPoint> cursors) {
    QTest::mousePress(m, Qt::LeftButton, Qt::NoModifier, grab);
    QPoint last;
    for (const QPoint& cursor : cursors) {
        const QPoint local = cursor - m->pos();
        QMouseEvent ev(QEvent::MouseMove, local, m->mapToGlobal(local), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m, &ev);
        last = cursor;
    }
    QTest::mouseRelease(m, Qt::LeftButton, Qt::NoModifier, last - m->pos());
}

void triggerMenuEntry(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a->trigger();
    QFAIL(qPrintable("no entry " + text));
}

QMenu* submenu(QMenu* menu, const QString& title) {
    for (QAction* a : menu->actions())
        if (a->menu() && a->menu()->title() == title) return a->menu();
    return nullptr;
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestUndo : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { tarn::test::resetWorld(); }
    void undoRedoEveryEdit_data();
    void undoRedoEveryEdit();
    void menuEntriesFollowTheStackAndTheLanguage();
    void readBackClearsTheHistory();
    void undoOfA31BandResetSendsEachBandOnce();
    void refreshingSendsNothing();
};

// Every row runs on CH1 linked to CH2 (filters and EQ), with CH1, CH3 and CH4 ganged.
void TestUndo::undoRedoEveryEdit_data() {
    QTest::addColumn<Action>("action");
    QTest::newRow("gain slider drag") << Action([](WindowFixture& f) {
        dragSlider(f.ui().eqGainSlider[4], {125, 140, 160, 155});
    });
    QTest::newRow("typed frequency")
        << Action([](WindowFixture& f) { tarn::test::typeAndReturn(f.ui().eqFreq[9], "170"); });
    QTest::newRow("held Up key on a Q entry") << Action([](WindowFixture& f) {
        tarn::test::sendInput(f.ui().eqQ[3], tarn::test::KeyUp);
        tarn::test::sendInput(f.ui().eqQ[3], tarn::test::KeyUpHeld);
        tarn::test::sendInput(f.ui().eqQ[3], tarn::test::KeyUpHeld);
    });
    QTest::newRow("wheel on a gain entry") << Action(
        [](WindowFixture& f) { tarn::test::sendInput(f.ui().eqGain[20], tarn::test::WheelBack); });
    QTest::newRow("band marker drag") << Action([](WindowFixture& f) {
        dragMarker(f.ui().bandMarker[17], QPoint(5, 5),
                   {QPoint(640, 120), QPoint(660, 100), QPoint(700, 90)});
    });
    QTest::newRow("crossover marker drag") << Action([](WindowFixture& f) {
        dragMarker(f.ui().hpfMarker, QPoint(8, 8), {QPoint(200, 156), QPoint(300, 156)});
    });
    QTest::newRow("flat and restore") << Action([](WindowFixture& f) {
        Param_Image.set_EQ_Gain(0, 6, 170); // shown only after a refresh: the edit starts here
        f.window().session().refreshViews(RefreshEq);
        QTest::mouseDClick(f.ui().bandButton[6], Qt::LeftButton);
    });
    QTest::newRow("bypass") << Action(
        [](WindowFixture& f) { QTest::mouseClick(f.ui().BT_EQ_BYPASS, Qt::LeftButton); });
    QTest::newRow("slope menu") << Action(
        [](WindowFixture& f) { f.window().menus.lpfSlopeEntry[1]->trigger(); });
    QTest::newRow("ganged volume slider") << Action([](WindowFixture& f) {
        dragSlider(f.ui().chVolSlider[0], {590, 570});
    });
    QTest::newRow("ganged delay entry")
        << Action([](WindowFixture& f) { tarn::test::typeAndReturn(f.ui().chDelay[2], "2.5"); });
    QTest::newRow("ganged mute") << Action(
        [](WindowFixture& f) { QTest::mouseClick(f.ui().chMute[3], Qt::LeftButton); });
    QTest::newRow("ganged phase") << Action(
        [](WindowFixture& f) { QTest::mouseClick(f.ui().chPhase[0], Qt::LeftButton); });
    QTest::newRow("master mute") << Action(
        [](WindowFixture& f) { QTest::mouseClick(f.ui().BT_MainMute, Qt::LeftButton); });
    QTest::newRow("master volume entry")
        << Action([](WindowFixture& f) { tarn::test::typeAndReturn(f.ui().Edit_Total, "-12.5"); });
    QTest::newRow("input source") << Action(
        [](WindowFixture& f) { QTest::mouseClick(f.ui().BT_INPUT_OPT, Qt::LeftButton); });
    QTest::newRow("noise gate") << Action(
        [](WindowFixture& f) { f.window().menus.noiseGateLevel[4]->trigger(); });
    QTest::newRow("role with its preset crossover") << Action([](WindowFixture& f) {
        QMenu* fl = submenu(f.ui().chNameButton[2]->menu(), QStringLiteral("前左"));
        QVERIFY(fl);
        triggerMenuEntry(fl, QStringLiteral("低频")); // CH3 becomes FL-Woofer
    });
    QTest::newRow("synchronise in the link dialog") << Action([](WindowFixture& f) {
        QTest::mouseClick(f.ui().BT_LINK, Qt::LeftButton); // unlink CH1-CH2 first
        f.window().session().undoStack()->clear();
        Param_Image.set_EQ_Gain(0, 2, 90); // CH1 differs from CH2, shown after the refresh
        Param_Image.set_HPF_Off(0, 0);
        f.window().channelBar().switchTo(0);
        QTest::mouseClick(f.ui().BT_LINK, Qt::LeftButton);
        LinkForm* form = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* l = qobject_cast<LinkForm*>(w); l && l->isVisible()) form = l;
        QVERIFY(form);
        QTest::mouseClick(form->findChild<QPushButton*>("pushButton"), Qt::LeftButton);
    });
}

void TestUndo::undoRedoEveryEdit() {
    QFETCH(Action, action);
    WindowFixture f;
    QVERIFY(f.connect());
    test::linkPair(0, 1, LinkEqAndFilters);
    for (int ch : {0, 2, 3})
        QTest::mouseClick(f.ui().chSync[ch], Qt::LeftButton);
    f.window().session().undoStack()->clear();

    action(f);
    if (QTest::currentTestFailed()) return;
    const ParamImage::Bytes after = Param_Image.bytes();
    const sim::Memory unitAfter = sim::unit().memory();
    QUndoStack* stack = f.window().session().undoStack();
    QCOMPARE(stack->count(), 1); // one gesture, one step
    const auto& edit = static_cast<const UndoStep*>(stack->command(0))->record();
    QVERIFY(!edit.offsets.empty());

    // Before the edit, as far as the step knows it: rebuilt from its own bytes.
    ParamImage::Bytes before = after;
    for (size_t i = 0; i < edit.offsets.size(); ++i)
        before[edit.offsets[i]] = edit.before[i];

    f.window().menus.undo->trigger();
    QVERIFY(Param_Image.bytes() == before);
    // The unit holds the PC copy again (its EQ gains are 120 higher).
    for (int ch = 0; ch < kChannels; ++ch)
        for (int b = 0; b < kBands; ++b)
            QCOMPARE(int(sim::unit().u16(sim::off::eqGain(ch, b))),
                     Param_Image.EQ_Gain(ch, b) + 120);
    sim::Memory unitBefore = sim::unit().memory();
    QVERIFY(unitBefore != unitAfter);

    f.window().menus.redo->trigger();
    QVERIFY(Param_Image.bytes() == after);
    QVERIFY(sim::unit().memory() == unitAfter);
    f.window().menus.undo->trigger();
    QVERIFY(sim::unit().memory() == unitBefore);
}

void TestUndo::menuEntriesFollowTheStackAndTheLanguage() {
    WindowFixture f;
    const auto& m = f.window().menus;
    QVERIFY(!m.undo->isEnabled());
    QVERIFY(!m.redo->isEnabled());
    QCOMPARE(m.undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(m.redo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                                       QKeySequence(QStringLiteral("Ctrl+Y"))}));

    QTest::mouseClick(f.ui().chPhase[1], Qt::LeftButton);
    QVERIFY(m.undo->isEnabled());
    QVERIFY(!m.redo->isEnabled());
    m.undo->trigger();
    QCOMPARE(int(Param_Image.CH_Phase(1)), 0);
    QVERIFY(!m.undo->isEnabled());
    QVERIFY(m.redo->isEnabled());
    QVERIFY(f.ui().chPhase[1]->text() == QStringLiteral("正相"));

    f.window().Language_Set(1);
    QCOMPARE(m.undo->text(), QStringLiteral("Undo"));
    QCOMPARE(m.redo->text(), QStringLiteral("Redo"));
    f.window().Language_Set(0);
    QCOMPARE(m.undo->text(), QStringLiteral("撤销"));
    QCOMPARE(m.redo->text(), QStringLiteral("重做"));
}

// A read-back replaces the image: what was undoable before it no longer is.
void TestUndo::readBackClearsTheHistory() {
    WindowFixture f;
    QTest::mouseClick(f.ui().chMute[0], Qt::LeftButton); // offline edit
    QCOMPARE(f.window().session().undoStack()->count(), 1);
    QVERIFY(f.connect());
    QCOMPARE(f.window().session().undoStack()->count(), 0);
    QVERIFY(!f.window().menus.undo->isEnabled());
}

void TestUndo::undoOfA31BandResetSendsEachBandOnce() {
    WindowFixture f;
    for (int b = 0; b < kBands; ++b)
        sim::unit().setU16(sim::off::eqGain(0, b), uint16_t(240 + b - 15));
    QVERIFY(f.connect());
    test::ModalAnswerer yes(QMessageBox::Yes);
    QTest::mouseClick(f.ui().BT_EQ_RESET, Qt::LeftButton);
    QCOMPARE(int(Param_Image.EQ_Gain(0, 30)), 120);
    f.clearFrames();
    f.window().menus.undo->trigger();
    const auto writes = f.writes();
    QCOMPARE(int(writes.size()), 30); // band 16 was flat already
    QCOMPARE(writes.front().toHex(), QByteArray("050800001400 e1001e").replace(" ", ""));
    QCOMPARE(writes.back().toHex(), QByteArray("0508001e204e ff001e").replace(" ", ""));
    QCOMPARE(f.ui().eqGainSlider[0]->value(), 105);
}

// The widgets follow the mirror without running their handlers: nothing is sent, nothing is
// recorded, even for sliders whose value moves.
void TestUndo::refreshingSendsNothing() {
    WindowFixture f;
    QVERIFY(f.connect());
    f.clearFrames();
    Param_Image.set_EQ_Gain(0, 3, 170);
    Param_Image.set_CH_Vol(4, 420);
    Param_Image.set_Total_Vol(300);
    Param_Image.set_HPF_Freq(0, 95);
    Param_Image.set_CH_Mute(1, 1);
    f.window().session().core().Sliders_From_Image();
    f.window().session().refreshViews(RefreshAll);
    QCOMPARE(f.ui().eqGainSlider[3]->value(), 170);
    QCOMPARE(f.ui().eqGain[3]->text(), QStringLiteral("5.0"));
    QCOMPARE(f.ui().chVolSlider[4]->value(), 420);
    QCOMPARE(f.ui().chVol[4]->text(), QStringLiteral("-18.0dB"));
    QCOMPARE(f.ui().Slider_Total_Bar->value(), 300);
    QCOMPARE(f.ui().Edit_HPF_Freq->text(), QStringLiteral("95"));
    QVERIFY(f.ui().chMute[1]->styleSheet().contains("color:red"));
    QVERIFY(f.payloads().empty());
    QCOMPARE(f.window().session().undoStack()->count(), 0);
}

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
