// The History window: the list as the installer reads it, differences in words, a restore that
// leaves the unit byte for byte as the snapshot, saving a snapshot, pins and notes.
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/history_recorder.h"
#include "sim/unit_sim.h"
#include "tests/session/tune_fixture.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions_history_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

HistoryWindow* openHistory(WindowFixture& f) {
    f.window().menus.history->trigger();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* h = qobject_cast<HistoryWindow*>(w); h && h->isVisible()) return h;
    return nullptr;
}

void add(SnapshotReason reason, const ParamImage::Bytes& image, const QString& serial = {}) {
    SnapshotInput in;
    in.image = image;
    in.reason = reason;
    in.unit = {serial, "TQ_AUD48", 20240131};
    in.time = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);
    History_Recorder().record(in);
    QVERIFY(History_Recorder().flush());
}

template <typename T> T* child(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
}

} // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT

    FreshFolder folder;

  private slots:
    void init() {
        QVERIFY(folder.renew());
        History_Recorder().open(folder.path("history"));
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<HistoryWindow*>(w)) delete w;
    }

    void listAndDifferences_data() {
        QTest::addColumn<int>("english");
        QTest::addColumn<QStringList>("newest");
        QTest::addColumn<QStringList>("oldest");
        QTest::addColumn<QString>("twoApart");
        QTest::newRow("zh") << 0 << QStringList{"序列号 SN7", "调用场景前", "2", "", ""}
                            << QStringList{"TQ_AUD48（无序列号，固件 20240131）", "联机读取", "—",
                                           "", ""}
                            << "总音量：-10.0 dB → 0.0 dB\nCH3 静音：关 → 开";
        QTest::newRow("en") << 1 << QStringList{"serial SN7", "Before scene recall", "2", "", ""}
                            << QStringList{"TQ_AUD48 (no serial, firmware 20240131)",
                                           "Read from unit", "—", "", ""}
                            << "master volume: -10.0 dB → 0.0 dB\nCH3 mute: off → on";
    }
    // Offline: the list and two snapshots against each other.
    void listAndDifferences() {
        QFETCH(int, english);
        QFETCH(QStringList, newest);
        QFETCH(QStringList, oldest);
        QFETCH(QString, twoApart);
        WindowFixture f;
        sim::unit().setPlugged(false);
        ParamImage p;
        p.bytes() = Tune_Fixture(); // sets the PC-side state afresh: the language after it
        f.window().Language_Set(uint8_t(english));
        add(SnapshotReason::Readback, p.bytes());
        add(SnapshotReason::Readback, p.bytes(), "SN7");
        p.set_Total_Vol(600);
        p.set_CH_Mute(2, 1);
        add(SnapshotReason::Recall, p.bytes(), "SN7");

        HistoryWindow* h = openHistory(f);
        QVERIFY(h);
        auto* list = child<QTableWidget>(h, "HistoryList");
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->item(0, 0)->text().left(3), QString("#3 "));
        QStringList cells;
        for (int c = 1; c < 6; ++c)
            cells.append(list->item(0, c)->text());
        QCOMPARE(cells, newest);
        cells.clear();
        for (int c = 1; c < 6; ++c)
            cells.append(list->item(2, c)->text());
        QCOMPARE(cells, oldest);

        list->selectRow(1);
        list->selectionModel()->select(list->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(h->selected().size(), size_t(2));
        QCOMPARE(h->diffText(), twoApart);
        // Offline, one snapshot is set against the PC copy; the restore needs the unit.
        list->selectRow(0);
        QVERIFY(!child<QPushButton>(h, "HistoryRestore")->isEnabled());
        QVERIFY(child<QPushButton>(h, "HistorySaveScene")->isEnabled());
    }

    // Offline, the snapshots another program (the command line) wrote are all listed, grouped by
    // unit and newest first; one is compared with the PC copy and saved; restoring waits for a
    // unit.
    void offlineListsWhatOtherProgramsKept() {
        WindowFixture f;
        sim::unit().setPlugged(false);
        {
            HistoryStore commandLine(folder.path("history"));
            commandLine.open();
            ParamImage p;
            p.bytes() = Tune_Fixture();
            for (const auto& [serial, volume] : {std::pair<const char*, int>{"SN1", 500},
                                                 {"SN2", 510},
                                                 {"SN1", 520},
                                                 {"SN3", 530},
                                                 {"SN2", 540}}) {
                SnapshotInput in;
                p.set_Total_Vol(uint16_t(volume));
                in.image = p.bytes();
                in.reason = SnapshotReason::SceneLoad;
                in.unit = {serial, "TQ_AUD48", 20240131};
                QVERIFY(commandLine.add(in).ok());
            }
        }
        f.window().Language_Set(1); // after the fixture, which sets the PC-side state afresh
        HistoryWindow* h = openHistory(f);
        QVERIFY(h);
        auto* list = child<QTableWidget>(h, "HistoryList");
        QStringList rows;
        for (int r = 0; r < list->rowCount(); ++r)
            rows.append(list->item(r, 0)->text().section(' ', 0, 0) + ' ' +
                        list->item(r, 1)->text());
        QCOMPARE(rows, (QStringList{"#5 serial SN2", "#2 serial SN2", "#4 serial SN3",
                                    "#3 serial SN1", "#1 serial SN1"}));

        list->selectRow(3);
        QVERIFY(child<QLabel>(h, "HistoryDiffHeading")->text().contains("#3 "));
        QVERIFY(h->diffText().contains("master volume: -8.0 dB → "));
        list->selectRow(0);
        list->selectionModel()->select(list->model()->index(4, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(h->diffText(), QString("master volume: -10.0 dB → -6.0 dB")); // #1 against #5
        list->selectRow(2);
        QVERIFY(!child<QPushButton>(h, "HistoryRestore")->isEnabled());
        FileDialogAnswerer dialogs;
        dialogs.choose(folder.path("sn3.SCE"));
        QTest::mouseClick(child<QPushButton>(h, "HistorySaveScene"), Qt::LeftButton);
        QCOMPARE(QFileInfo(folder.path("sn3.SCE")).size(), 4096);
    }

    void pinAndNoteAreKept() {
        WindowFixture f;
        add(SnapshotReason::Readback, Tune_Fixture());
        HistoryWindow* h = openHistory(f);
        auto* list = child<QTableWidget>(h, "HistoryList");
        list->selectRow(0);
        child<QLineEdit>(h, "HistoryNote")->setText("Kundenabstimmung");
        QTest::mouseClick(child<QPushButton>(h, "HistorySaveNote"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(h, "HistoryPin"), Qt::LeftButton);
        QCOMPARE(list->item(0, 4)->text(), QString("★"));
        QCOMPARE(list->item(0, 5)->text(), QString("Kundenabstimmung"));
        HistoryStore again(folder.path("history"));
        again.open();
        QVERIFY(again.snapshots().front().pinned);
        QCOMPARE(again.snapshots().front().note, QString("Kundenabstimmung"));
    }

    void saveAsSceneAndText() {
        WindowFixture f;
        add(SnapshotReason::Readback, Tune_Fixture());
        HistoryWindow* h = openHistory(f);
        child<QTableWidget>(h, "HistoryList")->selectRow(0);
        FileDialogAnswerer dialogs;
        dialogs.choose(folder.path("kept.SCE"));
        dialogs.choose(folder.path("kept.json"));
        QTest::mouseClick(child<QPushButton>(h, "HistorySaveScene"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(h, "HistorySaveText"), Qt::LeftButton);
        QFile scene(folder.path("kept.SCE"));
        QVERIFY(scene.open(QIODevice::ReadOnly));
        const ParamImage::Bytes fixture = Tune_Fixture();
        QCOMPARE(scene.readAll(), QByteArray(reinterpret_cast<const char*>(fixture.data()), 4096));
        QFile text(folder.path("kept.json"));
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QByteArray json = text.readAll();
        QVERIFY(json.contains("\"format\": \"tarn80x-tune\""));
        QVERIFY(json.contains("\"master_level_db\": -10"));
    }

    // The entry ends the scene menu, in the window's language; the window goes with the main
    // window, whose scene actions it restores through.
    void entryAndLifetime() {
        auto f = std::make_unique<WindowFixture>();
        const Tarn80X::Menus& m = f->window().menus;
        QCOMPARE(m.scene->actions().size(), 6);
        QCOMPARE(m.scene->actions().last(), m.history);
        QCOMPARE(m.history->objectName(), QString("HistoryAction"));
        QCOMPARE(m.history->text(), QString("历史记录"));
        f->window().Language_Set(1);
        QCOMPARE(m.history->text(), QString("History…"));
        auto historyWindows = [] {
            int n = 0;
            for (QWidget* w : QApplication::topLevelWidgets())
                n += qobject_cast<HistoryWindow*>(w) ? 1 : 0;
            return n;
        };
        QVERIFY(openHistory(*f));
        QVERIFY(openHistory(*f));
        QCOMPARE(historyWindows(), 1); // brought forward, not a second one
        f.reset();
        QCOMPARE(historyWindows(), 0);
    }

    // The unit read back, changed, then restored: byte for byte as the snapshot, with its state
    // before the restore kept too.
    void restoreRoundTrip() {
        WindowFixture f;
        QVERIFY(f.connect());
        QVERIFY(History_Recorder().flush());
        const QByteArray found(reinterpret_cast<const char*>(sim::unit().memory().data()), 1100);
        f.ui().Slider_Total_Bar->setValue(77);
        QVERIFY(found !=
                QByteArray(reinterpret_cast<const char*>(sim::unit().memory().data()), 1100));

        HistoryWindow* h = openHistory(f);
        auto* list = child<QTableWidget>(h, "HistoryList");
        list->selectRow(0); // the read-back
        QVERIFY(h->diffText().startsWith("总音量："));
        QVERIFY(child<QPushButton>(h, "HistoryRestore")->isEnabled());
        ModalAnswerer boxes(QMessageBox::Yes);
        f.clearFrames();
        QTest::mouseClick(child<QPushButton>(h, "HistoryRestore"), Qt::LeftButton);
        QVERIFY(f.finish());
        f.ticks(20); // the unit's time to take the scene in, then the read-back
        QVERIFY(f.connect());
        QVERIFY(History_Recorder().flush());

        QCOMPARE(QByteArray(reinterpret_cast<const char*>(sim::unit().memory().data()), 1100),
                 found);
        QCOMPARE(sim::unit().counters().imageLoads, 1);
        const auto all = History_Recorder().store().snapshots();
        QCOMPARE(all.size(), size_t(3)); // read-back, before the restore, read-back after it
        QCOMPARE(Snapshot_Reason_Key(all[1].reason), QString("restore"));
        QCOMPARE(all[1].changed, 1);
        QCOMPARE(all[2].changed, 1);   // against the snapshot before the restore
        QCOMPARE(list->rowCount(), 3); // the open window follows
        QVERIFY(boxes.seen().front().text.startsWith("将快照 #1 "));
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "test_history_window.moc"
