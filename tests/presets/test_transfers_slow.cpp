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
            SenceManage* manager = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* m = qobject_cast<SenceManage*>(w); m && m->isVisible()) manager = m;
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

    void loadAllUnitStops() {
        WindowFixture f;
        QVERIFY(f.connect());
        writeFile(path("in.ALL"), allScenesFile());
        f.clearFrames();
        // Silent while the stored scenes are read for the history, before anything is written.
        whenProgress(f, this, 15, [] { sim::unit().setSilent(true); });
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("in.ALL"));
        const qint64 start = testClock();
        f.window().menus.sceneEntry[4]->trigger();
        f.finish();
        QVERIFY((testClock() - start) < 6000);
        QCOMPARE(texts(boxes), QStringList{"机器无响应，场景加载已中止！机器将重新连接。"});
        for (const QByteArray& p : f.payloads())
            QVERIFY(uint8_t(p[2]) <= 2);
        QVERIFY(!Link_Machine().online());
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("已断开"));
        QVERIFY(f.ui().TickBar->isHidden());
        sim::unit().setSilent(false);
        QVERIFY(f.connect());
    }

    // No file is written from a download that did not finish, and no dialog is shown for it.
    void saveAllUnitStops() {
        WindowFixture f;
        QVERIFY(f.connect());
        whenProgress(f, this, 20, [] { sim::unit().setSilent(true); });
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("all.ALL"));
        const qint64 start = testClock();
        f.window().menus.sceneEntry[3]->trigger();
        f.finish();
        QVERIFY((testClock() - start) < 5000);
        QCOMPARE(texts(boxes), QStringList{"机器无响应，场景读取已中止，未保存文件！"});
        QVERIFY(dialogs.seen().empty());
        QVERIFY(QDir(dir_->path()).isEmpty());
        QVERIFY(f.ui().TickBar->isHidden());
        QVERIFY(f.ui().BT_SENCE->isEnabled());
    }

    void upgradeUnitStops() {
        WindowFixture f;
        QVERIFY(f.connect());
        QByteArray image = "MVO" + QByteArray(3997, char(0x42));
        writeFile(path("fw.bin"), image);
        f.clearFrames();
        whenProgress(f, this, 40, [] { sim::unit().setSilent(true); });
        ModalAnswerer boxes(QMessageBox::Yes);
        FileDialogAnswerer dialogs;
        dialogs.choose(path("fw.bin"));
        const qint64 start = testClock();
        f.window().menus.upgrade->trigger();
        f.finish();
        QVERIFY((testClock() - start) < 5000);
        QCOMPARE(texts(boxes).mid(1),
                 QStringList{"机器无响应，固件升级已中止！请重新连接后再次升级。"});
        for (const QByteArray& p : f.payloads())
            QVERIFY(p.mid(2, 2) != hex("ffff"));
        QVERIFY(!Link_Machine().online());
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("已断开"));
        QVERIFY(f.ui().TickBar->isHidden());
        QVERIFY(f.ui().BT_OPTION->isEnabled());
        sim::unit().setSilent(false);
        QVERIFY(f.connect());
    }
};

QTEST_MAIN(TestTransfersSlow)
#include "test_transfers_slow.moc"
