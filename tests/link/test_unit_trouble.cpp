// A unit that misbehaves on the link: one that stops answering, a slow one, one whose answers
// come one byte short, two units attached, and uploads whose acknowledgements do not name the
// block or chunk just sent.
#include "link/link_machine.h"
#include "model/param_image.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/transfer_helpers.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

int countPayloads(const WindowFixture& f, const QByteArray& payload) {
    int n = 0;
    for (const QByteArray& p : f.payloads())
        n += p == payload ? 1 : 0;
    return n;
}

// Ticks until the link is in the phase, at most maxTicks; the ticks taken, or -1.
int ticksUntil(WindowFixture& f, LinkPhase phase, int maxTicks) {
    for (int i = 0; i < maxTicks; ++i) {
        if (Link_Machine().phase() == phase) return i;
        f.ticks(1);
    }
    return -1;
}

} // namespace

class TestUnitTrouble : public QObject {
    Q_OBJECT

  private slots:
    void silentUnit_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("offline");
        QTest::newRow("zh") << false << "设备无响应，已断开，正在重新查找设备。"
                            << "已断开";
        QTest::newRow("en") << true << "Unit not answering: disconnected, looking for it again."
                            << "Offline";
    }
    // Five keep-alives in a row without an answer: offline, the handle closed, one notice; the
    // unit is looked for again and connects by itself once it answers.
    void silentUnit() {
        QFETCH(bool, english);
        QFETCH(QString, notice);
        QFETCH(QString, offline);
        WindowFixture f;
        Pc.Lang_EN = english ? 1 : 0;
        QVERIFY(f.connect());
        f.ticks(450); // the first keep-alive has been answered
        ModalAnswerer boxes;
        f.clearFrames();
        sim::unit().setSilent(true);
        const qint64 start = testClock();
        QVERIFY(ticksUntil(f, LinkPhase::Searching, 3000) >= 0);
        const qint64 took = testClock() - start;
        QVERIFY2(took > 1600 && took <= 2400, qPrintable(QString::number(took)));
        QCOMPARE(countPayloads(f, hex("0600")), 5);
        QCOMPARE(sim::unit().openHandles(), 0);
        f.ticks(1);
        QCOMPARE(f.ui().BT_CONNECT->text(), offline);
        QCOMPARE(texts(boxes), QStringList{notice});

        // Still silent: looked for again and again, then once a second, without more notices.
        f.ticks(5000);
        QCOMPARE(texts(boxes), QStringList{notice});
        QVERIFY(Link_Machine().inTrouble());
        QCOMPARE(f.ui().BT_CONNECT->toolTip(), english
                                                   ? QString("The unit does not answer correctly")
                                                   : QString("设备应答不正确"));
        f.clearFrames();
        f.ticks(2500); // five seconds
        const int asked = countPayloads(f, hex("0616"));
        QVERIFY2(asked >= 4 && asked <= 6, qPrintable(QString::number(asked)));

        sim::unit().setSilent(false);
        QVERIFY(f.connect(1000));
        QCOMPARE(f.ui().BT_CONNECT->text(), english ? QString("Online") : QString("已连接"));
        QCOMPARE(f.ui().BT_CONNECT->toolTip(), english
                                                   ? QString("Unit opened (USB 1a86:e010)")
                                                   : QString("已打开调音设备（USB 1a86:e010）"));
        QCOMPARE(texts(boxes), QStringList{notice});
    }

    // A unit answering within 300 ms connects with no notice; the read-back waits as long for each
    // block. One slower still is told once and asked once a second.
    void slowUnit_data() {
        QTest::addColumn<int>("latency");
        QTest::addColumn<bool>("connects");
        QTest::newRow("70 ms") << 70 << true;
        QTest::newRow("150 ms") << 150 << true;
        QTest::newRow("250 ms") << 250 << true;
        QTest::newRow("290 ms") << 290 << true;
        QTest::newRow("400 ms") << 400 << false;
    }
    void slowUnit() {
        QFETCH(int, latency);
        QFETCH(bool, connects);
        WindowFixture f;
        ModalAnswerer boxes;
        sim::unit().setLatencyMs(latency);
        const bool online = f.connect(60000);
        QCOMPARE(online, connects);
        if (connects) {
            QVERIFY(texts(boxes).isEmpty());
            QVERIFY(Param_Image.Total_Vol() == sim::unit().u16(24));
            QVERIFY(countPayloads(f, hex("0616")) <= 5);
            return;
        }
        QCOMPARE(texts(boxes), QStringList{"设备应答不正确，无法联机。请检查连接或重新插拔设备。"});
        QCOMPARE(f.ui().BT_CONNECT->toolTip(), QString("设备应答不正确"));
        f.clearFrames();
        f.ticks(5000); // ten seconds
        const int asked = countPayloads(f, hex("0616"));
        QVERIFY2(asked >= 9 && asked <= 11, qPrintable(QString::number(asked)));
        sim::unit().setLatencyMs(100);
        QVERIFY(f.connect(5000)); // a second, then 64 answers of 100 ms
        QCOMPARE(f.ui().BT_CONNECT->toolTip(), QString("已打开调音设备（USB 1a86:e010）"));
        QCOMPARE(texts(boxes).size(), 1);
    }

    // Block answers one byte short fail every read-back: after five the bar stays hidden, one
    // notice is given, and the unit is asked once a second until its answers are whole again.
    void blockAnswersOneByteShort() {
        WindowFixture f;
        ModalAnswerer boxes;
        sim::unit().cutAnswers(0xAA, 1);
        int shown = 0;
        QProgressBar* bar = f.ui().TickBar;
        QObject context; // the counter goes with this test
        connect(&Link_Machine(), &LinkMachine::readbackProgress, &context, [&] { ++shown; });
        f.ticks(15000); // thirty seconds
        QCOMPARE(shown, 5);
        QVERIFY(bar->isHidden());
        QCOMPARE(texts(boxes), QStringList{"设备应答不正确，无法联机。请检查连接或重新插拔设备。"});
        const int handshakes = countPayloads(f, hex("0616"));
        QVERIFY2(handshakes <= 5 + 30, qPrintable(QString::number(handshakes)));
        sim::unit().cutAnswers(0xAA, 0);
        QVERIFY(f.connect(1000));
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("已连接"));
        QCOMPARE(f.ui().BT_CONNECT->toolTip(), QString("已打开调音设备（USB 1a86:e010）"));
    }

    // Two units: the user is told once; the one in use stays in use while it is attached, even
    // when the other is listed first; when it goes away the other one is taken.
    void twoUnits() {
        WindowFixture f;
        ModalAnswerer boxes;
        sim::unit(0).setPlugged(false);
        sim::unit(1).setPlugged(true);
        sim::unit(1).setU16(24, 77);
        QVERIFY(f.connect());
        QCOMPARE(Link_Machine().devicePath(), std::string("sim:1a86:e010:2"));
        QCOMPARE(int(Param_Image.Total_Vol()), 77);

        sim::unit(0).setPlugged(true); // listed first from now on
        sim::unit(0).clearFrames();
        Link_Machine().Connect_Unit(); // a forced re-open
        QVERIFY(f.connect());
        QCOMPARE(Link_Machine().devicePath(), std::string("sim:1a86:e010:2"));
        QCOMPARE(int(Param_Image.Total_Vol()), 77);
        QVERIFY(sim::unit(0).frames().empty());
        Link_Machine().Connect_Unit();
        QVERIFY(f.connect());
        const QStringList told{"检测到多台设备，仅使用先连接的一台。请拔下其余设备。"};
        QCOMPARE(texts(boxes), told);

        sim::unit(1).setPlugged(false);
        f.ticks(500); // the next keep-alive finds it gone
        QVERIFY(f.connect(2000));
        QCOMPARE(Link_Machine().devicePath(), std::string("sim:1a86:e010"));
        QCOMPARE(Param_Image.Total_Vol(), sim::unit(0).u16(24));
        QCOMPARE(texts(boxes), (QStringList{told[0], "机器通讯异常！"}));
    }

    // Block or chunk 5 lost on its way to the unit, and an old acknowledgement of 4 arriving just
    // after it: only an acknowledgement naming 5 may let the upload move on, so 5 goes again and
    // the unit ends up with every byte.
    void acknowledgementMustNameTheBlock_data() {
        QTest::addColumn<bool>("firmware");
        QTest::newRow("scene image block") << false;
        QTest::newRow("firmware chunk") << true;
    }
    void acknowledgementMustNameTheBlock() {
        QFETCH(bool, firmware);
        WindowFixture f;
        QVERIFY(f.connect());
        QTemporaryDir dir;
        const QString file = dir.filePath("in");
        QByteArray source;
        if (firmware) {
            source = "MVO" + QByteArray(157, char(0x33)); // chunks 0..8 and the final one
            for (int i = 3; i < source.size(); ++i)
                source[i] = char(i);
        } else {
            const sim::Memory m = sim::Unit::factoryImage();
            source =
                QByteArray(reinterpret_cast<const char*>(m.data()), 1100) + QByteArray(2996, '\0');
            source[26] = char(0x2C); // CH1 volume 300: differs from the unit's
            source[27] = char(0x01);
        }
        writeFile(file, source);
        const QByteArray before = firmware ? hex("05B00004") : hex("054104");
        const QByteArray lost = firmware ? hex("05B00005") : hex("054105");
        f.clearFrames();
        bool armed = false, staled = false;
        auto watch = [&] {
            const std::vector<QByteArray> sent = f.payloads();
            if (sent.empty()) return;
            if (!armed && sent.back().startsWith(before)) {
                sim::unit().loseWrites(1);
                armed = true;
            } else if (armed && !staled && sent.back().startsWith(lost)) {
                if (firmware)
                    sim::unit().queueUnsolicited(0xB0, {0x00, 0x04});
                else
                    sim::unit().queueUnsolicited(0x41, {0x04});
                staled = true;
            }
        };
        ModalAnswerer boxes(QMessageBox::Yes);
        FileDialogAnswerer dialogs;
        dialogs.choose(file);
        if (firmware)
            f.window().menus.upgrade->trigger();
        else
            f.window().menus.sceneEntry[2]->trigger();
        QVERIFY(finishTransfer(60000, watch));
        QVERIFY(staled);
        int sentLost = 0;
        for (const QByteArray& p : f.payloads())
            sentLost += p.startsWith(lost) ? 1 : 0;
        QCOMPARE(sentLost, 2);
        if (firmware) {
            QByteArray padded = source + QByteArray(16 * 10 - source.size(), char(0xFF));
            QVERIFY(sim::unit().firmware().complete);
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(sim::unit().firmware().bytes.data()),
                                int(sim::unit().firmware().bytes.size())),
                     padded);
        } else {
            QCOMPARE(
                QByteArray(reinterpret_cast<const char*>(sim::unit().memory().data() + 4), 1096),
                source.mid(4, 1096));
        }
    }
};

QTEST_MAIN(TestUnitTrouble)
#include "test_unit_trouble.moc"
