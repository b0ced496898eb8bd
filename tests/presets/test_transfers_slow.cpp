// The transfers whose waits take seconds of the link's clock: the all-scenes load (the unit is
// given a second after every stored scene, ten seconds in all) and the units that fall silent
// half-way (every block is given up only after four sends of half a second each), and the time the
// unit is given before it is read again after a wholesale change. The test clock runs them in a
// moment.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/modal_holder.h"
#include "tests/support/transfer_helpers.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions_scene_manager.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

using namespace tarn;
using namespace tarn::test;

namespace {

QByteArray sceneBlock(const QByteArray& file, int s, int k) {
    return hex("0515") + QByteArray(1, char(s)) + QByteArray(1, char(k)) +
           file.mid((s - 1) * 4096 + k * 20, 20);
}

QByteArray unitScene(int s, int length) {
    const sim::Memory& image = sim::unit().scene(s).image;
    return QByteArray(reinterpret_cast<const char*>(image.data()), length);
}

} // namespace

class TestTransfersSlow : public QObject {
    Q_OBJECT

    FreshFolder dir_;
    QString path(const char* name) const { return dir_.path(name); }

  private slots:
    void init() { QVERIFY(dir_.renew()); }

    // Blocks 0..55 of every scene, in order, lost acknowledgements made good by sending the same
    // block again; the unit's pauses kept; then the unit is opened again and read back.
    void loadAll() {
        WindowFixture f;
        QVERIFY(f.connect());
        const QByteArray file = allScenesFile();
        writeFile(path("in.ALL"), file);
        f.clearFrames();
        // The nine stored scenes are read for the history first; the bar starts again for the
        // load, and the unit drops a frame at 30 % and at 60 % of the load.
        std::vector<int> bar;
        bool loading = false;
        int last = 0;
        connect(f.ui().TickBar, &QProgressBar::valueChanged, this, [&](int v) {
            if (v < last) loading = true;
            last = v;
            if (!loading) return;
            for (int at : {30, 60})
                if (v >= at && (bar.empty() || bar.back() < at))
                    sim::unit().injectFaults({sim::Fault::Drop});
            bar.push_back(v);
        });
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("in.ALL"));
        const qint64 start = testClock();
        f.window().menus.sceneEntry[4]->trigger();
        f.finish();
        const qint64 elapsed = (testClock() - start);

        QCOMPARE(dialogs.seen().size(), size_t(1));
        QCOMPARE(dialogs.seen()[0].title, QString("加载全部场景文件"));
        QCOMPARE(dialogs.seen()[0].directory, QDir::homePath()); // no file of its kind chosen yet
        QCOMPARE(texts(boxes), QStringList{"全部场景加载完成，确定后系统将自动同步数据"});

        std::vector<QByteArray> sent = f.payloads();
        QCOMPARE(sent.back(), hex("0616")); // opened again at once
        sent.pop_back();
        std::vector<QByteArray> reads;
        for (int s = 1; s <= 9; ++s)
            for (int k = 0; k < 55; ++k)
                reads.push_back(hex("0615") + QByteArray(1, char(s)) + QByteArray(1, char(k)));
        QVERIFY(sent.size() > reads.size());
        QCOMPARE(std::vector<QByteArray>(sent.begin(), sent.begin() + long(reads.size())), reads);
        sent.erase(sent.begin(), sent.begin() + long(reads.size()));
        std::vector<QByteArray> once;
        int repeated = 0;
        for (const QByteArray& p : sent) {
            if (!once.empty() && p == once.back())
                ++repeated;
            else
                once.push_back(p);
        }
        std::vector<QByteArray> expected;
        for (int s = 1; s <= 9; ++s)
            for (int k = 0; k <= 55; ++k)
                expected.push_back(sceneBlock(file, s, k));
        QCOMPARE(once, expected);
        QCOMPARE(repeated, 2);
        for (int s = 1; s <= 9; ++s)
            QCOMPARE(unitScene(s, 1120), file.mid((s - 1) * 4096, 1120));
        QCOMPARE(sim::unit().counters().sceneLoads, 9);

        QVERIFY(elapsed >= 10000); // a second after every scene and one more at the end
        QVERIFY(std::is_sorted(bar.begin(), bar.end()));
        QCOMPARE(bar.back(), 100);
        QVERIFY(f.ui().TickBar->isHidden());
        QVERIFY(f.ui().BT_SENCE->isEnabled());
        QVERIFY(f.connect());

        // Saved back from the unit, the file comes out byte for byte as it went in.
        dialogs.choose(path("out.ALL"));
        f.window().menus.sceneEntry[3]->trigger();
        f.finish();
        QFile saved(path("out.ALL"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), file);
    }

    // After a recall, a scene file load, a factory reset and a firmware upgrade the unit is given
    // its time on the link's own clock before it is opened and read again: counted from the
    // frame that started it, whatever time the machine last woke, and however long the notices
    // (each held open three seconds here) stay on screen.
    void unitIsGivenItsTime_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<QByteArray>("from"); // the last frame of this kind starts the wait
        QTest::addColumn<int>("waitMs");
        QTest::newRow("scene recalled: 100 ticks") << 0 << hex("050F03") << 200;
        // The load's own 5 ms after block 54 and 45 steps of 5 ms, then 10 ticks.
        QTest::newRow("scene file loaded: 10 ticks after the load") << 1 << hex("054136") << 250;
        QTest::newRow("factory reset: two seconds") << 2 << hex("050101") << 2000;
        QTest::newRow("firmware installed: five seconds") << 3 << hex("05B0FFFF") << 5000;
    }
    void unitIsGivenItsTime() {
        QFETCH(int, action);
        QFETCH(QByteArray, from);
        QFETCH(int, waitMs);
        WindowFixture f;
        QVERIFY(f.connect());
        writeFile(path("in.SCE"), allScenesFile().left(4096));
        writeFile(path("fw.bin"), "MVO" + QByteArray(37, char(0x42)));
        runAsTimer(300); // the link asleep until its next keep-alive is due
        FrameTimes times;
        const auto note = [&times] { times.note(); };
        ModalHolder holder(3000, times, QMessageBox::Yes);
        switch (action) {
        case 0: {
            f.window().menus.sceneEntry[0]->trigger();
            SceneManager* manager = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* m = qobject_cast<SceneManager*>(w); m && m->isVisible()) manager = m;
            QVERIFY(manager);
            QTest::mouseClick(manager->findChild<QCheckBox*>("Check_S_3"), Qt::LeftButton);
            QTest::mouseClick(manager->findChild<QPushButton*>("BT_CALL"), Qt::LeftButton);
            manager->close();
            break;
        }
        case 1:
            holder.choose(path("in.SCE"));
            f.window().menus.sceneEntry[2]->trigger();
            break;
        case 2:
            f.window().menus.systemReset->trigger();
            break;
        case 3:
            holder.choose(path("fw.bin"));
            f.window().menus.upgrade->trigger();
            break;
        }
        note();
        QVERIFY(finishTransfer(60000, note));
        runAsTimer(8000, note);

        const qint64 start = times.lastTimeOf(from);
        QVERIFY(start >= 0);
        const qint64 reopened = times.timeOf(hex("0616"), start);
        QVERIFY(reopened >= 0);
        // To the tick: the machine counts in 2 ms steps.
        QVERIFY2(reopened - start > waitMs - 2 && reopened - start <= waitMs,
                 qPrintable(QString::number(reopened - start)));
        QVERIFY(f.connect());
    }

    // The unit falls silent in the middle of a transfer: a bounded wait, the notice instead of the
    // success message, nothing sent that only a finished part would allow, no file from a download
    // that did not finish, and the link starts afresh so that the mirror is read back from what
    // the unit holds.
    void unitFallsSilent_data() {
        QTest::addColumn<int>("entry"); // the scene menu's entry; 0: the upgrade
        QTest::addColumn<int>("progress");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<int>("boundMs");
        QTest::addColumn<QByteArray>("forbidden"); // no payload starts with it
        QTest::addColumn<int>("sent");             // payloads written
        QTest::addColumn<QByteArray>("last");      // the last one
        QTest::addColumn<bool>("offline");         // the link let the unit go
        // Block 20 tried four times, nothing after it.
        QTest::newRow("load one") << 2 << 20 << "机器无响应，场景加载已中止！机器将重新连接。"
                                  << 3000 << hex("054115") << 24 << hex("054114") << true;
        // Silent while the stored scenes are read for the history (scene 2, block 13): the read
        // gives up, the load still goes on to its first block, and stops there.
        QTest::newRow("load all") << 4 << 15 << "机器无响应，场景加载已中止！机器将重新连接。"
                                  << 6000 << hex("05150101") << 76 << hex("05150100") << true;
        // Block 36 of scene 2 asked four times; nothing is written to the unit.
        QTest::newRow("save all") << 3 << 20 << "机器无响应，场景读取已中止，未保存文件！" << 5000
                                  << hex("0515") << 95 << hex("06150224") << false;
        // Chunk 100 sent four times; never the final chunk that starts the install.
        QTest::newRow("upgrade") << 0 << 40 << "机器无响应，固件升级已中止！请重新连接后再次升级。"
                                 << 5000 << hex("05b0ffff") << 104 << hex("05b00064") << true;
    }
    void unitFallsSilent() {
        QFETCH(int, entry);
        QFETCH(int, progress);
        QFETCH(QString, notice);
        QFETCH(int, boundMs);
        QFETCH(QByteArray, forbidden);
        QFETCH(int, sent);
        QFETCH(QByteArray, last);
        QFETCH(bool, offline);
        WindowFixture f;
        QVERIFY(f.connect());
        QString file = path("out.ALL"); // what the file dialog answers
        if (entry == 2) writeFile(file = path("in.SCE"), allScenesFile().left(4096));
        if (entry == 4) writeFile(file = path("in.ALL"), allScenesFile());
        if (entry == 0) writeFile(file = path("fw.bin"), "MVO" + QByteArray(3997, char(0x42)));
        f.clearFrames();
        whenProgress(f, this, progress, [] { sim::unit().setSilent(true); });
        ModalAnswerer boxes(QMessageBox::Yes); // the upgrade's confirmation
        FileDialogAnswerer dialogs;
        dialogs.choose(file);
        const qint64 start = testClock();
        (entry ? f.window().menus.sceneEntry[size_t(entry)] : f.window().menus.upgrade)->trigger();
        f.finish();
        QVERIFY2(testClock() - start < boundMs, qPrintable(QString::number(testClock() - start)));

        QCOMPARE(texts(boxes).mid(entry ? 0 : 1), QStringList{notice});
        const auto payloads = f.payloads();
        for (const QByteArray& p : payloads)
            qInfo("P %s", p.left(5).toHex().constData());
        for (const QByteArray& p : payloads)
            QVERIFY2(!p.startsWith(forbidden), p.toHex().constData());
        QCOMPARE(int(payloads.size()), sent);
        QCOMPARE(payloads.empty() ? QByteArray() : payloads.back().left(last.size()), last);
        if (entry == 3) {
            QVERIFY(dialogs.seen().empty()); // no save dialog for what was not read
            QVERIFY(QDir(dir_->path()).isEmpty());
        }
        QCOMPARE(Link_Machine().online(), !offline);
        if (offline) QCOMPARE(f.ui().BT_CONNECT->text(), QString("已断开"));
        QVERIFY(f.ui().TickBar->isHidden());
        QVERIFY(f.ui().BT_SENCE->isEnabled());
        QVERIFY(f.ui().BT_OPTION->isEnabled());
        sim::unit().setSilent(false);
        QVERIFY(f.connect());
    }
};

QTEST_MAIN(TestTransfersSlow)
#include "test_transfers_slow.moc"
