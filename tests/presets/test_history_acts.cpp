// Snapshots taken by themselves: each act that replaces what the unit holds leaves a snapshot with
// its reason and the unit as it was, taken before the act's first frame reaches the unit; a
// snapshot that cannot be written never stops the act, and the user is told.
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/history_recorder.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/save_faults.h"
#include "tests/support/transfer_helpers.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions.h"
#include "views/scene_actions_history.h"
#include "views/scene_actions_scene_manager.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

QByteArray payloadOf(const sim::Frame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.payload.data()),
                      int(frame.payload.size()));
}

SceneManager* openManager(WindowFixture& f) {
    f.window().menus.sceneEntry[0]->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<SceneManager*>(w); m && m->isVisible()) return m;
    return nullptr;
}

void managerClick(SceneManager* d, int place, const char* button) {
    QTest::mouseClick(d->findChild<QCheckBox*>(QString("Check_S_%1").arg(place)), Qt::LeftButton);
    QTest::mouseClick(d->findChild<QPushButton*>(button), Qt::LeftButton);
}

// The unit's first 1100 bytes (what the read-back brings) as the snapshot must hold them.
QByteArray blocksOf(const uint8_t* image) {
    return QByteArray(reinterpret_cast<const char*>(image), 1100);
}

// "MVO" and a pattern: a firmware file the check accepts.
QByteArray firmwareFile(int size) {
    QByteArray f(size, '\0');
    for (int i = 0; i < size; ++i)
        f[i] = char((i * 37 + 11) & 0xFF);
    f.replace(0, 3, "MVO");
    return f;
}

int masterVolumeOf(const ParamImage::Bytes& image) {
    ParamImage p;
    p.bytes() = image;
    return p.Total_Vol();
}

// The master volume of the newest snapshot.
int newestMasterVolume() {
    const HistoryStore& store = History_Recorder().store();
    const auto image = store.image(store.snapshots().back().image);
    return image ? masterVolumeOf(*image) : -1;
}

} // namespace

class TestHistoryActs : public QObject {
    Q_OBJECT

    FreshFolder folder;
    int framesAtCapture = -1;
    QStringList captured;
    QMetaObject::Connection onCapture;

  private slots:
    void init() {
        QVERIFY(folder.renew());
        History_Recorder().open(folder.path("history"));
        framesAtCapture = -1;
        captured.clear();
        onCapture = connect(&History_Recorder(), &HistoryRecorder::captured, this,
                            [this](SnapshotReason reason) {
                                captured.append(Snapshot_Reason_Key(reason));
                                framesAtCapture = int(sim::unit().frames().size());
                            });
    }
    void cleanup() { disconnect(onCapture); }

    void readBackIsKept() {
        {
            WindowFixture f;
            sim::unit().setSerial(L"DSP-0042");
            sim::unit().memory()[20] = 0x5A; // a byte the read-back brings, not a default
            const QByteArray unitBlocks = blocksOf(sim::unit().memory().data());
            QVERIFY(f.connect());
            QVERIFY(History_Recorder().flush());
            QCOMPARE(captured, QStringList{"readback"});
            const auto list = History_Recorder().store().snapshots();
            QCOMPARE(list.size(), size_t(1));
            QCOMPARE(list[0].unit.shown().en, QString("serial DSP-0042"));
            QCOMPARE(list[0].sceneNames.first(), QString("Scene1"));
            const auto image = History_Recorder().store().image(list[0].image);
            QVERIFY(image);
            QCOMPARE(blocksOf(image->data()), unitBlocks);
        }
        // The window closed with nothing changed since: nothing more to keep.
        QVERIFY(History_Recorder().flush());
        QCOMPARE(captured, QStringList{"readback"});
    }

    void acts_data() {
        QTest::addColumn<QString>("act");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QByteArray>("readFirst"); // frames before the snapshot start so
        QTest::addColumn<QByteArray>("actFrame");  // the act's first frame starts so
        QTest::addColumn<QList<int>>("places");    // stored scenes kept with the snapshot
        QTest::newRow("scene recall") << "recall"
                                      << "recall" << QByteArray() << hex("050f03") << QList<int>{};
        QTest::newRow("scene file load")
            << "load one"
            << "scene-load" << QByteArray() << hex("054100") << QList<int>{};
        QTest::newRow("all scenes load: the stored scenes read first")
            << "load all"
            << "all-scenes-load" << hex("0615") << hex("05150100")
            << QList<int>{1, 2, 3, 4, 5, 6, 8, 9};
        QTest::newRow("all scenes load: the reading skipped")
            << "load all, skip"
            << "all-scenes-load" << hex("0615") << hex("05150100") << QList<int>{};
        QTest::newRow("scene delete: that scene read first")
            << "delete"
            << "scene-delete" << hex("061503") << hex("051103") << QList<int>{3};
        QTest::newRow("empty place delete: nothing to read")
            << "delete empty"
            << "scene-delete" << QByteArray() << hex("051107") << QList<int>{};
        QTest::newRow("factory reset")
            << "reset"
            << "factory-reset" << QByteArray() << hex("050101") << QList<int>{};
        QTest::newRow("firmware upgrade")
            << "firmware"
            << "firmware" << QByteArray() << hex("05b00000") << QList<int>{};
    }
    void acts() {
        QFETCH(QString, act);
        QFETCH(QString, reason);
        QFETCH(QByteArray, readFirst);
        QFETCH(QByteArray, actFrame);
        QFETCH(QList<int>, places);
        WindowFixture f;
        // Place 7 empty; place 3 a scene of its own.
        sim::unit().scene(7).used = false;
        sim::unit().scene(7).name.fill(0xFF);
        sim::unit().scene(7).image.fill(0xFF);
        sim::unit().scene(3).image[20] = 0x33;
        QVERIFY(f.connect());
        // The unit now differs from what it was read as: the snapshot is of the unit now.
        f.ui().Slider_Total_Bar->setValue(123);
        QVERIFY(History_Recorder().flush());
        const QByteArray unitBlocks = blocksOf(sim::unit().memory().data());
        const QByteArray scene3 = blocksOf(sim::unit().scene(3).image.data());
        captured.clear();
        f.clearFrames();

        FileDialogAnswerer dialogs;
        ModalAnswerer boxes(QMessageBox::Yes);
        if (act == "recall") {
            managerClick(openManager(f), 3, "BT_CALL");
        } else if (act == "load one") {
            writeFile(
                folder.path("one.SCE"),
                QByteArray(reinterpret_cast<const char*>(sim::Unit::factoryImage().data()), 4096));
            dialogs.choose(folder.path("one.SCE"));
            f.window().menus.sceneEntry[2]->trigger();
        } else if (act.startsWith("load all")) {
            writeFile(folder.path("all.ALL"), allScenesFile());
            dialogs.choose(folder.path("all.ALL"));
            if (act.endsWith("skip"))
                whenProgress(f, this, 2, [&f] { f.ui().BT_TRANSFER_STOP->click(); });
            f.window().menus.sceneEntry[4]->trigger();
        } else if (act == "delete") {
            managerClick(openManager(f), 3, "BT_DEL");
        } else if (act == "delete empty") {
            managerClick(openManager(f), 7, "BT_DEL");
        } else if (act == "reset") {
            f.window().menus.systemReset->trigger();
        } else if (act == "firmware") {
            writeFile(folder.path("fw.bin"), firmwareFile(40));
            dialogs.choose(folder.path("fw.bin"));
            f.window().menus.upgrade->trigger();
        }
        QVERIFY(f.finish());
        QVERIFY(History_Recorder().flush());

        QCOMPARE(captured, QStringList{reason});
        const auto& frames = sim::unit().frames();
        QVERIFY(framesAtCapture >= 0);
        // Before the snapshot: only the reading it needed.
        for (int i = 0; i < framesAtCapture; ++i)
            QVERIFY2(!readFirst.isEmpty() && payloadOf(frames[size_t(i)]).startsWith(readFirst),
                     payloadOf(frames[size_t(i)]).toHex().constData());
        if (readFirst.isEmpty()) QCOMPARE(framesAtCapture, 0);
        // After it: the act.
        QVERIFY(size_t(framesAtCapture) < frames.size());
        QCOMPARE(payloadOf(frames[size_t(framesAtCapture)]).left(actFrame.size()), actFrame);

        const auto list = History_Recorder().store().snapshots();
        const SnapshotRecord& s = list.back();
        QCOMPARE(Snapshot_Reason_Key(s.reason), reason);
        const auto image = History_Recorder().store().image(s.image);
        QVERIFY(image);
        QCOMPARE(blocksOf(image->data()), unitBlocks);
        QCOMPARE(masterVolumeOf(*image), 123);
        QList<int> kept;
        for (const auto& [place, hash] : s.scenes) {
            kept.append(place);
            if (place == 3)
                QCOMPARE(blocksOf(History_Recorder().store().image(hash)->data()), scene3);
        }
        QCOMPARE(kept, places);
    }

    void unplugKeepsTheLastState() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.ui().Slider_Total_Bar->setValue(321);
        captured.clear();
        ModalAnswerer boxes;
        sim::unit().setPlugged(false);
        f.ticks(3000);
        QVERIFY(!Link_Online());
        QVERIFY(History_Recorder().flush());
        QCOMPARE(captured, QStringList{"unplug"});
        QCOMPARE(newestMasterVolume(), 321);
    }

    void closingKeepsTheLastState() {
        {
            WindowFixture f;
            QVERIFY(f.connect());
            f.ui().Slider_Total_Bar->setValue(222);
            captured.clear();
        }
        QCOMPARE(captured, QStringList{"close"});
        QCOMPARE(History_Recorder().pending(), 0); // written before the window went
        QCOMPARE(newestMasterVolume(), 222);
    }

    // The history cannot be written: the reset still reaches the unit, and the user is told
    // once, in the window's language.
    void fullDiskStopsNothing_data() {
        QTest::addColumn<int>("english");
        QTest::addColumn<QString>("text");
        QTest::newRow("zh") << 0
                            << "未能保存设备快照（磁盘空间不足）。操作照常进行，但此刻的状态不在"
                               "历史记录中。";
        QTest::newRow("en") << 1
                            << "No snapshot of the unit could be kept (the disk is full). The act "
                               "goes on, but this state is not in the history.";
    }
    void fullDiskStopsNothing() {
        QFETCH(int, english);
        QFETCH(QString, text);
        WindowFixture f;
        QVERIFY(f.connect());
        QVERIFY(History_Recorder().flush());
        Pc.Lang_EN = uint8_t(english);
        f.ui().Slider_Total_Bar->setValue(100);
        f.clearFrames();
        ModalAnswerer boxes(QMessageBox::Yes);
        {
            FileSizeLimit full(1000);
            f.window().menus.systemReset->trigger();
            QVERIFY(History_Recorder().flush());
            f.ui().Slider_Total_Bar->setValue(90); // another snapshot failing: no second notice
            f.window().sceneActions().history().takeSnapshot(SnapshotReason::Unplug);
            QVERIFY(History_Recorder().flush());
        }
        QCOMPARE(sim::unit().counters().factoryResets, 1);
        QStringList notices = texts(boxes);
        QCOMPARE(notices.size(), 3); // the question, the reset's notice, the failure
        QCOMPARE(notices.count(text), 1);
        QCOMPARE(History_Recorder().store().count(), 1); // the read-back only
    }
};

QTEST_MAIN(TestHistoryActs)
#include "test_history_acts.moc"
