// The unit's history on disk: what a snapshot keeps, identical images stored once, the bounds
// with pinned snapshots, an index that is damaged or gone, and writes that fail.
#include "session/history_store.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/save_faults.h"
#include "tune_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace tarn;

namespace {

ParamImage::Bytes imageWith(int masterVolume) {
    ParamImage p;
    p.bytes() = test::Tune_Fixture();
    p.set_Total_Vol(static_cast<uint16_t>(masterVolume));
    return p.bytes();
}

UnitIdentity unitA() {
    return {QString(), QStringLiteral("TQ_AUD48"), 20240131};
}

SnapshotInput input(SnapshotReason reason, const ParamImage::Bytes& image,
                    const UnitIdentity& unit = unitA()) {
    SnapshotInput in;
    in.image = image;
    in.unit = unit;
    in.reason = reason;
    in.time = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);
    for (int i = 0; i < 9; ++i)
        in.sceneNames[static_cast<size_t>(i)] = QStringLiteral("Mode%1").arg(i + 1);
    return in;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

QList<int> idsOf(const HistoryStore& store) {
    QList<int> ids;
    for (const SnapshotRecord& r : store.snapshots())
        ids.append(r.id);
    return ids;
}

// The child's side of the two-program test: count snapshots of images base, base + 1, ... into
// the history at root, one store held open the whole time as the window holds it.
constexpr char kChildFlag[] = "--add-snapshots";

int addSnapshots(const QString& root, int count, int base, int maxSnapshots) {
    HistoryStore store(root);
    store.setLimits(maxSnapshots, HistoryStore::kDefaultMaxBytes);
    store.open();
    for (int i = 0; i < count; ++i)
        if (!store.add(input(SnapshotReason::SceneLoad, imageWith(base + i))).ok()) return 1;
    return 0;
}

} // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT

    test::FreshFolder folder;
    QString root() const { return folder.path("history"); }

  private slots:
    void init() { QVERIFY(folder.renew()); }

    void snapshotRoundTrip() {
        {
            HistoryStore store(root());
            store.open();
            SnapshotInput in = input(SnapshotReason::AllScenesLoad, imageWith(500));
            in.note = QStringLiteral("before the customer's file");
            in.sceneNames[0] = QStringLiteral("Rock");
            in.scenes = {{1, imageWith(600)}, {4, imageWith(550)}};
            const HistoryResult r = store.add(in);
            QVERIFY(r.ok());
            QCOMPARE(r.id, 1);
            QVERIFY(store.setPinned(1, true).ok());
        }
        HistoryStore again(root());
        again.open();
        QVERIFY(!again.rebuiltAtOpen());
        QCOMPARE(again.count(), 1);
        const SnapshotRecord s = again.snapshots().front();
        QCOMPARE(s.id, 1);
        QCOMPARE(s.time.toString(Qt::ISODateWithMs), QStringLiteral("2026-03-14T09:26:53.000Z"));
        QCOMPARE(Snapshot_Reason_Key(s.reason), QStringLiteral("all-scenes-load"));
        QCOMPARE(s.note, QStringLiteral("before the customer's file"));
        QVERIFY(s.pinned);
        QCOMPARE(s.sceneNames.first(), QStringLiteral("Rock"));
        QCOMPARE(s.sceneNames.last(), QStringLiteral("Mode9"));
        QCOMPARE(s.unit.shown().en, QStringLiteral("TQ_AUD48 (no serial, firmware 20240131)"));
        QCOMPARE(s.unit.shown().zh, QStringLiteral("TQ_AUD48（无序列号，固件 20240131）"));
        QCOMPARE(s.changed, -1);
        QCOMPARE(s.scenes.size(), size_t(2));
        QCOMPARE(s.scenes[1].first, 4);
        QVERIFY(again.image(s.image) == imageWith(500));
        QVERIFY(again.image(s.scenes[0].second) == imageWith(600));
        QVERIFY(again.image(s.scenes[1].second) == imageWith(550));
    }

    void unitShownBySerialWhenItHasOne() {
        const UnitIdentity unit{QStringLiteral("A1B2C3"), QStringLiteral("TQ_AUD48"), 7};
        QCOMPARE(unit.shown().en, QStringLiteral("serial A1B2C3"));
        QCOMPARE(unit.shown().zh, QStringLiteral("序列号 A1B2C3"));
    }

    void identicalImagesStoredOnce() {
        HistoryStore store(root());
        store.open();
        QVERIFY(store.add(input(SnapshotReason::Readback, imageWith(500))).ok());
        QVERIFY(store.add(input(SnapshotReason::Recall, imageWith(500))).ok());
        SnapshotInput all = input(SnapshotReason::AllScenesLoad, imageWith(600));
        all.scenes = {{1, imageWith(500)}, {2, imageWith(600)}, {3, imageWith(500)}};
        QVERIFY(store.add(all).ok());
        QCOMPARE(store.count(), 3);
        QCOMPARE(filesIn(root() + "/images").size(), 2);
        QCOMPARE(filesIn(root() + "/snapshots"),
                 (QStringList{"00000001.json", "00000002.json", "00000003.json"}));
        // Two fields apart: the master volume is one; the same image again is none.
        const auto list = store.snapshots();
        QCOMPARE(list[1].changed, 0);
        QCOMPARE(list[2].changed, 1);
    }

    void changesCountedAgainstTheSameUnitOnly() {
        HistoryStore store(root());
        store.open();
        const UnitIdentity other{QStringLiteral("SN-2"), QStringLiteral("TQ_AUD48"), 1};
        QVERIFY(store.add(input(SnapshotReason::Readback, imageWith(500))).ok());
        QVERIFY(store.add(input(SnapshotReason::Readback, imageWith(600), other)).ok());
        ParamImage p;
        p.bytes() = imageWith(600);
        p.set_CH_Mute(2, 1);
        QVERIFY(store.add(input(SnapshotReason::Unplug, p.bytes())).ok());
        const auto list = store.snapshots();
        QCOMPARE(list[1].changed, -1); // the other unit's first
        QCOMPARE(list[2].changed, 2);  // master volume and CH3 mute, against snapshot 1
    }

    void pruning_data() {
        QTest::addColumn<int>("maxSnapshots");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<QList<int>>("pinned");
        QTest::addColumn<QList<int>>("kept");
        QTest::addColumn<int>("images");
        // After six snapshots (images 401..406) and a seventh with the image of the sixth.
        QTest::newRow("count: oldest go first")
            << 3 << (qint64(1) << 30) << QList<int>{} << QList<int>{5, 6, 7} << 2;
        QTest::newRow("count: the pinned stay, the oldest unpinned go")
            << 3 << (qint64(1) << 30) << QList<int>{1, 3} << QList<int>{1, 3, 7} << 3;
        QTest::newRow("bytes: room for three images, not four")
            << 100 << qint64(14000) << QList<int>{} << QList<int>{5, 6, 7} << 2;
        QTest::newRow("all older ones pinned: the newest goes")
            << 2 << (qint64(1) << 30) << QList<int>{1, 2, 3, 4, 5, 6}
            << QList<int>{1, 2, 3, 4, 5, 6} << 6;
    }
    void pruning() {
        QFETCH(int, maxSnapshots);
        QFETCH(qint64, maxBytes);
        QFETCH(QList<int>, pinned);
        QFETCH(QList<int>, kept);
        QFETCH(int, images);
        HistoryStore store(root());
        store.open();
        // The bounds are lifted while pins are set, as a user pins older snapshots.
        for (int i = 1; i <= 6; ++i) {
            QVERIFY(store.add(input(SnapshotReason::Readback, imageWith(400 + i))).ok());
            if (pinned.contains(i)) QVERIFY(store.setPinned(i, true).ok());
        }
        store.setLimits(maxSnapshots, maxBytes);
        QVERIFY(store.add(input(SnapshotReason::Readback, imageWith(406))).ok()); // image of 6
        QCOMPARE(idsOf(store), kept);
        QCOMPARE(filesIn(root() + "/images").size(), images);
        QCOMPARE(filesIn(root() + "/snapshots").size(), kept.size());
        HistoryStore again(root());
        again.open();
        QVERIFY(!again.rebuiltAtOpen());
        QCOMPARE(idsOf(again), kept);
    }

    void damagedIndex_data() {
        QTest::addColumn<QByteArray>("index"); // empty: no index file at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not JSON") << QByteArray("\x00\x01garbage", 9);
        QTest::newRow("cut short")
            << QByteArray("{\"format\":\"tarn80x-history\",\"version\":1,\"sn");
        QTest::newRow("another format") << QByteArray("{\"format\":\"x\",\"version\":1}");
        QTest::newRow("lists only the first snapshot")
            << QByteArray("KEEP_FIRST"); // replaced below by an index of snapshot 1 alone
    }
    void damagedIndex() {
        QFETCH(QByteArray, index);
        QByteArray firstOnly;
        {
            HistoryStore store(root());
            store.open();
            QVERIFY(store.add(input(SnapshotReason::Readback, imageWith(500))).ok());
            QFile f(root() + "/index.json");
            QVERIFY(f.open(QIODevice::ReadOnly));
            firstOnly = f.readAll();
            SnapshotInput recall = input(SnapshotReason::Recall, imageWith(600));
            recall.note = QStringLiteral("两个低音");
            QVERIFY(store.add(recall).ok());
            QVERIFY(store.setPinned(2, true).ok());
        }
        QFile f(root() + "/index.json");
        if (index.isEmpty()) {
            QVERIFY(f.remove());
        } else {
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(index == "KEEP_FIRST" ? firstOnly : index);
            f.close();
        }
        HistoryStore again(root());
        again.open();
        QVERIFY(again.rebuiltAtOpen());
        QCOMPARE(idsOf(again), (QList<int>{1, 2}));
        const SnapshotRecord second = again.snapshots().back();
        QCOMPARE(second.note, QStringLiteral("两个低音"));
        QVERIFY(second.pinned);
        QCOMPARE(second.changed, 1);
        QVERIFY(again.image(second.image) == imageWith(600));
        // The rebuilt index is written, and the next snapshot follows on.
        HistoryStore third(root());
        third.open();
        QVERIFY(!third.rebuiltAtOpen());
        QCOMPARE(third.add(input(SnapshotReason::Readback, imageWith(700))).id, 3);
    }

    // The window and the command line each hold a store on the same folder: neither reuses the
    // other's numbers nor prunes the other's images as unused.
    void twoProgramsOnOneHistory() {
        HistoryStore window(root());
        window.open();
        QCOMPARE(window.add(input(SnapshotReason::Readback, imageWith(500))).id, 1);
        HistoryStore commandLine(root());
        commandLine.open();
        QCOMPARE(commandLine.add(input(SnapshotReason::SceneLoad, imageWith(420))).id, 2);
        QCOMPARE(window.add(input(SnapshotReason::Recall, imageWith(610))).id, 3);
        QCOMPARE(idsOf(window), (QList<int>{1, 2, 3}));

        HistoryStore again(root());
        again.open();
        QVERIFY(!again.rebuiltAtOpen());
        QCOMPARE(idsOf(again), (QList<int>{1, 2, 3}));
        QCOMPARE(again.snapshot(2)->reason, SnapshotReason::SceneLoad);
        QCOMPARE(again.image(again.snapshot(2)->image), imageWith(420));
        QCOMPARE(filesIn(root() + "/images").size(), 3);
    }

    // Two programs adding at once: every snapshot kept has its own number and an image that reads
    // back; with a bound, the newest within it are kept, each still restorable.
    void twoProcessesAddingAtOnce_data() {
        QTest::addColumn<int>("each");
        QTest::addColumn<int>("maxSnapshots");
        QTest::addColumn<int>("kept");
        QTest::newRow("unbounded") << 40 << 1000 << 80;
        QTest::newRow("bounded") << 40 << 25 << 25;
    }
    void twoProcessesAddingAtOnce() {
        QFETCH(int, each);
        QFETCH(int, maxSnapshots);
        QFETCH(int, kept);
        QProcess children[2];
        for (int c = 0; c < 2; ++c) {
            children[c].setProcessChannelMode(QProcess::ForwardedChannels);
            children[c].start(QCoreApplication::applicationFilePath(),
                              {kChildFlag, root(), QString::number(each),
                               QString::number(100 + c * 200), QString::number(maxSnapshots)});
        }
        for (QProcess& child : children) {
            QVERIFY(child.waitForFinished(120000));
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QCOMPARE(child.exitCode(), 0);
        }
        HistoryStore store(root());
        store.open();
        QVERIFY(!store.rebuiltAtOpen());
        const QList<int> ids = idsOf(store);
        QCOMPARE(ids.size(), kept);
        QCOMPARE(QSet<int>(ids.begin(), ids.end()).size(), kept);
        QCOMPARE(ids.last(), 2 * each); // no number handed out twice
        QCOMPARE(filesIn(root() + "/snapshots").size(), kept);
        int restorable = 0;
        for (const SnapshotRecord& r : store.snapshots())
            restorable += store.image(r.image) ? 1 : 0;
        QCOMPARE(restorable, kept);
        QCOMPARE(filesIn(root() + "/images").size(), kept);
    }

    // An image file deleted or damaged after its snapshot is written again by the next snapshot
    // of the same tune, by this store or by another program's.
    void damagedImageWrittenAgain_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("sameStore");
        for (const bool same : {true, false}) {
            const char* who = same ? "same store" : "another store";
            QTest::addRow("deleted, %s", who) << "delete" << same;
            QTest::addRow("one byte changed, %s", who) << "flip" << same;
            QTest::addRow("cut short, %s", who) << "truncate" << same;
        }
    }
    void damagedImageWrittenAgain() {
        QFETCH(QString, damage);
        QFETCH(bool, sameStore);
        HistoryStore first(root());
        first.open();
        QCOMPARE(first.add(input(SnapshotReason::Readback, imageWith(500))).id, 1);
        const QString hash = first.snapshots().front().image;
        QFile f(root() + "/images/" + hash + ".img");
        if (damage == "delete") {
            QVERIFY(f.remove());
        } else {
            QVERIFY(f.open(QIODevice::ReadWrite));
            if (damage == "flip") {
                f.seek(100);
                f.write("\xFF", 1);
            } else {
                f.resize(2000);
            }
            f.close();
        }
        QVERIFY(!first.image(hash));

        HistoryStore other(root());
        other.open();
        HistoryStore& second = sameStore ? first : other;
        QCOMPARE(second.add(input(SnapshotReason::Recall, imageWith(500))).id, 2);
        QCOMPARE(second.snapshot(2)->image, hash);
        QCOMPARE(second.image(hash), imageWith(500));
        HistoryStore again(root());
        again.open();
        QCOMPARE(again.image(again.snapshot(1)->image), imageWith(500));
    }

    void damagedImageIsNoImage() {
        HistoryStore store(root());
        store.open();
        QVERIFY(store.add(input(SnapshotReason::Readback, imageWith(500))).ok());
        const QString hash = store.snapshots().front().image;
        QFile f(root() + "/images/" + hash + ".img");
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(100);
        f.write("\xFF", 1);
        f.close();
        QVERIFY(!store.image(hash));
    }

    void fullDisk() {
        HistoryStore store(root());
        store.open();
        QVERIFY(store.add(input(SnapshotReason::Readback, imageWith(500))).ok());
        HistoryResult r;
        {
            test::FileSizeLimit full(1000); // an image is 4096 bytes
            r = store.add(input(SnapshotReason::Firmware, imageWith(600)));
        }
        QVERIFY(!r.ok());
        QCOMPARE(r.id, 0);
        QCOMPARE(r.error.en, QStringLiteral("the disk is full"));
        QCOMPARE(r.error.zh, QStringLiteral("磁盘空间不足"));
        QCOMPARE(idsOf(store), QList<int>{1});
        QCOMPARE(filesIn(root() + "/images").size(), 1);
        // Room again: the next snapshot is written, with the next number.
        QCOMPARE(store.add(input(SnapshotReason::Firmware, imageWith(600))).id, 2);
    }

    void recordDoesNotFit() {
        HistoryStore store(root());
        store.open();
        HistoryResult r;
        {
            test::FileSizeLimit full(4200); // the image fits, its record does not
            SnapshotInput in = input(SnapshotReason::Readback, imageWith(500));
            in.note = QString(8000, QLatin1Char('x'));
            r = store.add(in);
        }
        QCOMPARE(r.error.en, QStringLiteral("the disk is full"));
        QCOMPARE(store.count(), 0);
        QCOMPARE(filesIn(root() + "/images"), QStringList{}); // no image left without a record
    }

    void rootIsAFile() {
        QFile f(root());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        HistoryStore store(root());
        store.open();
        QCOMPARE(store.count(), 0);
        const HistoryResult r = store.add(input(SnapshotReason::Readback, imageWith(500)));
        QCOMPARE(r.error.en,
                 QStringLiteral("the history could not be written: %1: not a folder").arg(root()));
    }

    void folderNotWritable() {
        HistoryStore store(root());
        store.open();
        QVERIFY(store.add(input(SnapshotReason::Readback, imageWith(500))).ok());
        // Only the images folder is closed, also to "nobody" when the test runs as root.
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(folder->path(), open));
        QVERIFY(QFile::setPermissions(root(), open));
        QVERIFY(QFile::setPermissions(root() + "/snapshots", open));
        QVERIFY(QFile::setPermissions(root() + "/images", QFile::ReadOwner | QFile::ExeOwner |
                                                              QFile::ReadOther | QFile::ExeOther));
        HistoryResult r;
        {
            test::Unprivileged nobody;
            QVERIFY(nobody.ok());
            r = store.add(input(SnapshotReason::Readback, imageWith(600)));
        }
        QFile::setPermissions(root() + "/images",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(r.error.en, QStringLiteral("no permission to write the history folder"));
        QCOMPARE(r.error.zh, QStringLiteral("没有写入历史记录文件夹的权限"));
        QCOMPARE(idsOf(store), QList<int>{1});
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 6 && args[1] == QLatin1String(kChildFlag))
        return addSnapshots(args[2], args[3].toInt(), args[4].toInt(), args[5].toInt());
    TestHistoryStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_history_store.moc"
