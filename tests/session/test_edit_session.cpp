// The editing session without a window: an action becomes one undo step (one per gesture), undo and
// redo resend the fields and ask for a full refresh, and a replaced image drops the history.
#include "session/edit_session.h"

#include "tests/support/recording_sink.h"

#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

using namespace tarn;
using tarn::test::RecordingSink;

namespace {

// A session on a start-up image of its own, sending into a recording sink.
struct World {
    ParamImage image;
    PcState pc;
    ChannelEditState chan;
    RecordingSink* sink = nullptr;
    std::unique_ptr<EditSession> session;

    World() {
        Param_Init();
        image = Param_Image;
        pc = Pc;
        auto recording = std::make_unique<RecordingSink>();
        sink = recording.get();
        session = std::make_unique<EditSession>(image, pc, chan, std::move(recording));
    }
    void gain(int band, int value, Gesture gesture = Gesture::None) {
        BandEdit e;
        e.gain = value;
        e.moveSlider = true;
        session->apply(
            RefreshBand, [&] { session->core().Band_Edit(band, e); }, gesture, band);
    }
};

} // namespace

class TestEditSession : public QObject {
    Q_OBJECT

  private slots:
    void actionIsSentRefreshedAndRecorded();
    void actionThatChangesNothingIsRefreshedOnly();
    void gestureStepsMerge_data();
    void gestureStepsMerge();
    void undoRedoResendAndRefreshAll();
    void replacedImageDropsHistory();
};

void TestEditSession::actionIsSentRefreshedAndRecorded() {
    World w;
    QSignalSpy refresh(w.session.get(), &EditSession::refreshNeeded);
    QSignalSpy canUndo(w.session.get(), &EditSession::canUndoChanged);
    w.gain(2, 150);
    QCOMPARE(int(w.image.EQ_Gain(0, 2)), 150);
    QCOMPARE(w.sink->take(), QStringList{"0508000220000e011e"});
    QCOMPARE(refresh.count(), 1);
    QCOMPARE(refresh[0][0].toUInt(), unsigned(RefreshBand));
    QCOMPARE(refresh[0][1].toInt(), 2);
    QCOMPARE(canUndo.count(), 1);
    QCOMPARE(canUndo[0][0].toBool(), true);
    QVERIFY(w.session->canUndo());
    QVERIFY(!w.session->canRedo());
}

// A refused entry still needs its stored value shown again; there is nothing to undo.
void TestEditSession::actionThatChangesNothingIsRefreshedOnly() {
    World w;
    QSignalSpy refresh(w.session.get(), &EditSession::refreshNeeded);
    QSignalSpy canUndo(w.session.get(), &EditSession::canUndoChanged);
    w.session->apply(RefreshOutputs, [] {});
    QCOMPARE(refresh.count(), 1);
    QCOMPARE(refresh[0][0].toUInt(), unsigned(RefreshOutputs));
    QCOMPARE(refresh[0][1].toInt(), -1);
    QCOMPARE(canUndo.count(), 0);
    QCOMPARE(w.session->undoStack()->count(), 0);
    QVERIFY(w.sink->take().isEmpty());
}

void TestEditSession::gestureStepsMerge_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<bool>("newGestureBetween");
    QTest::addColumn<int>("steps");
    const int none = int(Gesture::None), slider = int(Gesture::Slider);
    QTest::newRow("one drag") << slider << slider << false << 1;
    QTest::newRow("two drags") << slider << slider << true << 2;
    QTest::newRow("no gesture") << none << none << false << 2;
    QTest::newRow("drag, then held key") << slider << int(Gesture::HeldKey) << false << 2;
}

void TestEditSession::gestureStepsMerge() {
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(bool, newGestureBetween);
    QFETCH(int, steps);
    World w;
    w.session->beginGesture();
    w.gain(5, 130, Gesture(first));
    if (newGestureBetween) w.session->beginGesture();
    w.gain(5, 140, Gesture(second));
    QCOMPARE(w.session->undoStack()->count(), steps);
    for (int k = 0; k < steps; ++k)
        w.session->undo();
    QCOMPARE(int(w.image.EQ_Gain(0, 5)), 120);
    QCOMPARE(w.session->core().slider[5], 120);
    QVERIFY(!w.session->canUndo());
}

void TestEditSession::undoRedoResendAndRefreshAll() {
    World w;
    w.gain(2, 150);
    w.sink->take();
    QSignalSpy refresh(w.session.get(), &EditSession::refreshNeeded);
    QSignalSpy canRedo(w.session.get(), &EditSession::canRedoChanged);

    w.session->undo();
    QCOMPARE(int(w.image.EQ_Gain(0, 2)), 120);
    QCOMPARE(w.sink->take(), QStringList{"050800022000f0001e"});
    QCOMPARE(refresh.count(), 1);
    QCOMPARE(refresh[0][0].toUInt(), unsigned(RefreshAll));
    QCOMPARE(refresh[0][1].toInt(), -1);
    QCOMPARE(canRedo.count(), 1);
    QVERIFY(w.session->canRedo());

    w.session->redo();
    QCOMPARE(int(w.image.EQ_Gain(0, 2)), 150);
    QCOMPARE(w.sink->take(), QStringList{"0508000220000e011e"});
    QCOMPARE(refresh.count(), 2);
    QVERIFY(!w.session->canRedo());
}

// A recall or a read-back replaced the image: undo must not write the old fields back, and the
// sliders follow the new gains.
void TestEditSession::replacedImageDropsHistory() {
    World w;
    w.gain(2, 150);
    w.sink->take();
    QSignalSpy canUndo(w.session.get(), &EditSession::canUndoChanged);
    w.image.set_EQ_Gain(0, 3, 200);
    w.session->imageReplaced();
    QVERIFY(!w.session->canUndo());
    QCOMPARE(canUndo.count(), 1);
    QCOMPARE(canUndo[0][0].toBool(), false);
    QCOMPARE(w.session->core().slider[3], 200);
    w.session->undo();
    QCOMPARE(int(w.image.EQ_Gain(0, 2)), 150);
    QVERIFY(w.sink->take().isEmpty());
}

QTEST_GUILESS_MAIN(TestEditSession)
#include "test_edit_session.moc"
