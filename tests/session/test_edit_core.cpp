// The editing rules driven directly on an image, with no window: what each action writes, what it
// sends and in which order, and how a recorded edit is undone, redone and merged.
#include "session/edit_core.h"
#include "session/edit_record.h"

#include "tests/support/recording_sink.h"

#include <QtTest>
#include <functional>

using namespace tarn;
using tarn::test::RecordingSink;

namespace {

// Start-up image and state; CH1 linked to CH2 in `linkMode` when it is 0..2, CH1, CH3 and CH5
// ganged when `ganged`.
struct World {
    ParamImage image;
    PcState pc;
    ChannelEditState chan;
    RecordingSink sink;
    std::unique_ptr<EditCore> core;

    World(int linkMode, bool ganged) {
        Param_Init();
        image = Param_Image;
        pc = Pc;
        if (linkMode >= 0) {
            pc.Link_Matrix[0][1] = pc.Link_Matrix[1][0] = 1;
            pc.Link_Mode[0] = pc.Link_Mode[1] = uint8_t(linkMode);
        }
        if (ganged) chan.Sync_Group[0] = chan.Sync_Group[2] = chan.Sync_Group[4] = 1;
        core = std::make_unique<EditCore>(image, pc, chan, sink);
    }
};

using Action = std::function<void(EditCore&)>;
using Check = std::function<bool(const World&)>;

BandEdit gainSlider(int gain) {
    BandEdit e;
    e.gain = gain;
    e.moveSlider = true;
    return e;
}

} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Check)

class TestEditCore : public QObject {
    Q_OBJECT

  private slots:
    void rules_data();
    void rules();
    void undoRedoOnTheImage_data();
    void undoRedoOnTheImage();
    void undoResendsInTheEditsOrder();
    void gestureStepsMerge();
    void offlineEditIsSentOnUndo();
};

void TestEditCore::rules_data() {
    QTest::addColumn<int>("linkMode");
    QTest::addColumn<bool>("ganged");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<Check>("fields");

    QTest::newRow("gain slider, linked: the copy first")
        << 0 << false << Action([](EditCore& c) { c.Band_Edit(2, gainSlider(150)); })
        << QStringList{"050801022000 0e011e", "050800022000 0e011e"} << Check([](const World& w) {
               return w.image.EQ_Gain(1, 2) == 150 && w.core->slider[2] == 150 &&
                      w.pc.Cur_Band == 2;
           });
    QTest::newRow("gain, linked for filters only: no copy")
        << 2 << false << Action([](EditCore& c) { c.Band_Edit(2, gainSlider(150)); })
        << QStringList{"050800022000 0e011e"}
        << Check([](const World& w) { return w.image.EQ_Gain(1, 2) == 120; });
    QTest::newRow("-20 dB, slider not moved: stored as two's complement")
        << -1 << false << Action([](EditCore& c) {
               BandEdit e;
               e.gain = -80;
               c.Band_Edit(0, e);
           })
        << QStringList{"050800001400 28001e"} << Check([](const World& w) {
               return w.image.EQ_Gain(0, 0) == 65456 && w.core->slider[0] == 120;
           });
    QTest::newRow("flat toggle of a +3 dB band")
        << 1 << false << Action([](EditCore& c) {
               c.image().set_EQ_Gain(0, 4, 150);
               c.Band_Flat_Toggle(4);
           })
        << QStringList{"050801043200 f0001e", "050800043200 f0001e"} << Check([](const World& w) {
               return w.image.EQ_Gain(0, 4) == 120 && w.pc.EQ_Gain_Saved[0][4] == 150;
           });
    QTest::newRow("reset: only the bands off 0 dB, each with its copy")
        << 1 << false << Action([](EditCore& c) {
               c.image().set_EQ_Gain(0, 3, 100);
               c.slider[7] = 130; // a slider left off 0 dB by a typed gain of 0.0
               c.EQ_Reset();
           })
        << QStringList{"050801032800 f0001e", "050800032800 f0001e", "050801076400 f0001e",
                       "050800076400 f0001e"}
        << Check([](const World& w) { return w.image.EQ_Gain(1, 3) == 120; });
    QTest::newRow("bypass: the channel only")
        << 0 << false << Action([](EditCore& c) { c.EQ_Bypass_Toggle(); })
        << QStringList{"050b0001"} << Check([](const World& w) {
               return w.image.EQ_Bypass(0) == 1 && w.image.EQ_Bypass(1) == 0;
           });
    QTest::newRow("slope menu, linked: the copy first")
        << 0 << false << Action([](EditCore& c) {
               FilterEdit e;
               e.slope = 7;
               e.off = 0;
               c.Filter_Edit(false, e);
           })
        << QStringList{"050601001400 0700", "050600001400 0700"}
        << Check([](const World& w) { return w.image.HPF_Slope(1) == 7; });
    QTest::newRow("frequency step, linked: the channel first")
        << 2 << false << Action([](EditCore& c) {
               FilterEdit e;
               e.freq = 21;
               e.sendFirst = true;
               c.Filter_Edit(true, e);
           })
        << QStringList{"050700001500 0301", "050701001500 0301"}
        << Check([](const World& w) { return w.image.LPF_Freq(1) == 21; });
    QTest::newRow("filter, linked for EQ only: no copy") << 1 << false << Action([](EditCore& c) {
        FilterEdit e;
        e.type = 2;
        c.Filter_Edit(false, e);
    }) << QStringList{"050600021400 0301"} << Check([](const World& w) {
        return w.image.HPF_Type(1) == 0;
    });
    QTest::newRow("ganged volume: the partners first, by the same step")
        << -1 << true << Action([](EditCore& c) {
               c.image().set_CH_Vol(4, 500);
               c.CH_Vol_Set(0, 550);
           })
        << QStringList{"0504022602", "050404c201", "0504002602"} << Check([](const World& w) {
               return w.image.CH_Vol(2) == 550 && w.image.CH_Vol(4) == 450 &&
                      w.image.CH_Vol(1) == 600;
           });
    QTest::newRow("ganged volume out of range: refused as a whole")
        << -1 << true << Action([](EditCore& c) {
               c.image().set_CH_Vol(0, 500);
               c.CH_Vol_Set(0, 550);
           })
        << QStringList{} << Check([](const World& w) {
               return w.image.CH_Vol(0) == 500 && w.image.CH_Vol(2) == 600;
           });
    QTest::newRow("ganged delay entry")
        << -1 << true << Action([](EditCore& c) { c.CH_Delay_Set(2, 320); })
        << QStringList{"0509004001", "0509044001", "0509024001"}
        << Check([](const World& w) { return w.image.CH_Delay(4) == 320; });
    QTest::newRow("delay key at 0: nothing moves, the delay is sent")
        << -1 << true << Action([](EditCore& c) { c.CH_Delay_Steps(0, -1, 3); })
        << QStringList{"0509000000"} << Check([](const World&) { return true; });
    QTest::newRow("ganged mute: each partner toggled")
        << -1 << true << Action([](EditCore& c) {
               c.image().set_CH_Mute(2, 1);
               c.CH_Mute_Toggle(4);
           })
        << QStringList{"05050001", "05050200", "05050401"}
        << Check([](const World& w) { return w.image.CH_Mute(0) == 1; });
    QTest::newRow("ganged phase") << -1 << true << Action([](EditCore& c) { c.CH_Phase_Toggle(2); })
                                  << QStringList{"050a0001", "050a0401", "050a0201"}
                                  << Check([](const World& w) { return w.image.CH_Phase(1) == 0; });
    QTest::newRow("channel mute releases the master mute")
        << -1 << false << Action([](EditCore& c) {
               c.Master_Mute_Toggle();
               c.CH_Mute_Toggle(3);
           })
        << QStringList{"05050001", "05050101", "05050201", "05050301",
                       "05050401", "05050501", "05050300"}
        << Check([](const World& w) { return w.pc.Master_Mute == 0 && w.image.CH_Mute(5) == 1; });
    QTest::newRow("input source already selected: nothing")
        << -1 << false << Action([](EditCore& c) { c.Input_Select(0); }) << QStringList{}
        << Check([](const World&) { return true; });
    QTest::newRow("noise gate level 3") << -1 << false << Action([](EditCore& c) {
        c.NoiseGate_Select(3);
    }) << QStringList{"05130301"} << Check([](const World& w) { return w.image.NoiseGate() == 3; });
    QTest::newRow("role FL-Woofer on CH2: names, then its preset crossover")
        << -1 << false << Action([](EditCore& c) { c.Role_Select(1, 2); })
        << QStringList{"0517030 20b0f1013", "050601001e00 0300", "050701005a00 0300"}
        << Check([](const World& w) {
               return w.pc.Cur_CH == 1 && w.image.HPF_Off(1) == 0 && w.image.LPF_Freq(1) == 90;
           });
    QTest::newRow("role OFF: the names only")
        << -1 << false << Action([](EditCore& c) { c.Role_Select(3, 20); })
        << QStringList{"0517030 70b141013"}
        << Check([](const World& w) { return w.image.HPF_Freq(3) == 20; });
    QTest::newRow("field changes of several channels: in image order")
        << 0 << false << Action([](EditCore& c) {
               Apply_Field_Changes(c, [](ParamImage& i) {
                   i.set_EQ_Q(4, 0, 50);
                   i.set_EQ_Gain(2, 7, 130);
                   i.set_CH_Delay(3, 250);
               });
           })
        << QStringList{"050903fa00", "050802076400 fa001e", "050804001400 f00032"}
        << Check([](const World& w) { return w.image.EQ_Gain(3, 7) == 120; }); // no link copy
    QTest::newRow("switch: the bands whose slider moves, with their copies")
        << 0 << false << Action([](EditCore& c) {
               c.image().set_EQ_Gain(1, 5, 100);
               c.image().set_EQ_Q(1, 6, 44);     // slider equal: not sent
               c.image().set_EQ_Gain(1, 9, 300); // beyond the slider: shown, not sent
               c.Channel_Switch(1);
           })
        << QStringList{"050800053f00 dc001e", "050801053f00 dc001e"} << Check([](const World& w) {
               return w.image.EQ_Gain(0, 5) == 100 && w.core->slider[9] == 240 &&
                      w.pc.Cur_CH == 1 && w.pc.Cur_Band == 0;
           });
}

// Expected frames are written with spaces where it helps reading; they are compared without.
void TestEditCore::rules() {
    QFETCH(int, linkMode);
    QFETCH(bool, ganged);
    QFETCH(Action, action);
    QFETCH(QStringList, frames);
    QFETCH(Check, fields);
    World w(linkMode, ganged);
    action(*w.core);
    QStringList want;
    for (const QString& f : frames)
        want << QString(f).remove(' ');
    QCOMPARE(w.sink.take(), want);
    QVERIFY(fields(w));
}

void TestEditCore::undoRedoOnTheImage_data() {
    QTest::addColumn<Action>("setup");
    QTest::addColumn<Action>("action");
    const Action none = [](EditCore&) {};
    QTest::newRow("linked gain") << none
                                 << Action([](EditCore& c) { c.Band_Edit(8, gainSlider(200)); });
    QTest::newRow("reset") << Action([](EditCore& c) {
        for (int b = 0; b < kBands; ++b)
            c.image().set_EQ_Gain(0, b, uint16_t(100 + b));
        c.Sliders_From_Image();
    }) << Action([](EditCore& c) { c.EQ_Reset(); });
    QTest::newRow("flat toggle (saved gain too)")
        << Action([](EditCore& c) { c.image().set_EQ_Gain(0, 4, 150); })
        << Action([](EditCore& c) { c.Band_Flat_Toggle(4); });
    QTest::newRow("linked filter") << none << Action([](EditCore& c) {
        FilterEdit e;
        e.freq = 80;
        e.off = 0;
        c.Filter_Edit(false, e);
    });
    QTest::newRow("ganged volume") << none << Action([](EditCore& c) { c.CH_Vol_Set(2, 480); });
    QTest::newRow("ganged mute") << none << Action([](EditCore& c) { c.CH_Mute_Toggle(0); });
    QTest::newRow("master mute") << none << Action([](EditCore& c) { c.Master_Mute_Toggle(); });
    QTest::newRow("role with preset") << none << Action([](EditCore& c) { c.Role_Select(2, 9); });
    QTest::newRow("field changes") << none << Action([](EditCore& c) {
        Apply_Field_Changes(c, [](ParamImage& i) {
            for (int ch : {1, 3})
                for (int b = 0; b < kBands; ++b)
                    i.set_EQ_Gain(ch, b, uint16_t(90 + b));
            i.set_CH_Delay(5, 1200);
        });
    });
    QTest::newRow("unlink") << none << Action([](EditCore& c) { c.Link_Unlink(); });
    QTest::newRow("synchronise") << Action([](EditCore& c) {
        c.pc().Link_Matrix = {};
        c.image().set_EQ_Gain(0, 12, 180);
        c.image().set_HPF_Off(0, 0);
    }) << Action([](EditCore& c) { c.Link_Synchronise(kLinkBaseLeft, LinkFiltersOnly); });
}

// Undo gives back the image and the link and gang state byte for byte, and redo the edit's result.
void TestEditCore::undoRedoOnTheImage() {
    QFETCH(Action, setup);
    QFETCH(Action, action);
    World w(0, true);
    setup(*w.core);
    const ParamImage::Bytes before = w.image.bytes();
    const PcState pcBefore = w.pc;
    EditRecord record = Record_Edit(*w.core, [&] { action(*w.core); });
    const ParamImage::Bytes after = w.image.bytes();
    const PcState pcAfter = w.pc;
    QVERIFY(!record.changesNothing());

    Replay_Record(*w.core, record, false);
    QVERIFY(w.image.bytes() == before);
    QVERIFY(w.pc.Link_Matrix == pcBefore.Link_Matrix);
    QVERIFY(w.pc.Link_Mode == pcBefore.Link_Mode);
    QVERIFY(w.pc.EQ_Gain_Saved == pcBefore.EQ_Gain_Saved);
    QCOMPARE(w.pc.Master_Mute, pcBefore.Master_Mute);
    Replay_Record(*w.core, record, true);
    QVERIFY(w.image.bytes() == after);
    QVERIFY(w.pc.Link_Matrix == pcAfter.Link_Matrix);
    QVERIFY(w.pc.Link_Mode == pcAfter.Link_Mode);
    QVERIFY(w.pc.EQ_Gain_Saved == pcAfter.EQ_Gain_Saved);
    QCOMPARE(w.pc.Master_Mute, pcAfter.Master_Mute);
}

void TestEditCore::undoResendsInTheEditsOrder() {
    World w(0, false);
    EditRecord r = Record_Edit(*w.core, [&] { w.core->Band_Edit(2, gainSlider(150)); });
    w.sink.take();
    Replay_Record(*w.core, r, false);
    QCOMPARE(w.sink.take(), (QStringList{"050801022000f0001e", "050800022000f0001e"}));
}

// Steps of one drag fold into one; a drag that ends where it began changes nothing.
void TestEditCore::gestureStepsMerge() {
    World w(-1, false);
    EditRecord first = Record_Edit(*w.core, [&] { w.core->Band_Edit(5, gainSlider(130)); });
    const EditRecord second = Record_Edit(*w.core, [&] {
        BandEdit e = gainSlider(140);
        e.freq = 70;
        w.core->Band_Edit(5, e);
    });
    Merge_Record(first, second);
    Replay_Record(*w.core, first, false);
    QCOMPARE(int(w.image.EQ_Gain(0, 5)), 120);
    QCOMPARE(int(w.image.EQ_Freq(0, 5)), 63);
    Replay_Record(*w.core, first, true);
    QCOMPARE(int(w.image.EQ_Gain(0, 5)), 140);
    QCOMPARE(int(w.image.EQ_Freq(0, 5)), 70);

    const EditRecord back = Record_Edit(*w.core, [&] {
        BandEdit e = gainSlider(120);
        e.freq = 63;
        w.core->Band_Edit(5, e);
    });
    Merge_Record(first, back);
    QVERIFY(first.changesNothing());
}

// An edit made offline sent nothing; its undo still carries the field to the unit.
void TestEditCore::offlineEditIsSentOnUndo() {
    World w(-1, false);
    class Dropping : public CommandSink {
        void send(const Payload&) override {}
    } offline;
    w.core->setSink(offline);
    EditRecord r = Record_Edit(*w.core, [&] { w.core->NoiseGate_Select(5); });
    w.core->setSink(w.sink);
    Replay_Record(*w.core, r, false);
    QCOMPARE(w.sink.take(), QStringList{"05130000"});
}

QTEST_GUILESS_MAIN(TestEditCore)
#include "test_edit_core.moc"
