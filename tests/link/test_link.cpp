// The link against the simulated unit, stepped tick by tick: handshake, read-back, scene names,
// keep-alive, faults, unplugging and the wrong-unit notice.
#include "link/frame.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/modal_holder.h"
#include "tests/support/transfer_helpers.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

Q_DECLARE_METATYPE(sim::Fault)

namespace {

QString status(WindowFixture& f) {
    return f.ui().BT_CONNECT->text();
}

// The unit's memory as the mirror should hold it once the read-back is normalised.
ParamImage::Bytes expectedMirror() {
    ParamImage unitImage; // past the read-back area the mirror keeps its zero start-up bytes
    std::copy(sim::unit().memory().begin(), sim::unit().memory().begin() + kReadbackSize,
              unitImage.bytes().begin());
    PcState pc;
    Apply_Validity_Rules(unitImage, pc);
    return unitImage.bytes();
}

// Ticks until the next request for block n (or scene n) is about to go out.
bool tickUntilAsking(WindowFixture& f, bool scenes, int n) {
    for (int i = 0; i < 1000; ++i) {
        const bool active = scenes ? Link_Machine().readingNames() : Link_Machine().readingBlocks();
        const int index = scenes ? Link_Machine().sceneNameIndex() : Link_Machine().readbackBlock();
        if (active && index == n && !Link_Machine().requestPending()) return true;
        f.ticks(1);
    }
    return false;
}

void setName(const char* text) {
    std::vector<uint8_t> bytes(text, text + strlen(text));
    sim::unit().setNameBytes(bytes);
}

} // namespace

class TestLink : public QObject {
    Q_OBJECT

  private slots:
    void cleanConnect() {
        WindowFixture f;
        std::vector<int> progress;
        connect(f.ui().TickBar, &QProgressBar::valueChanged, [&](int v) { progress.push_back(v); });
        QCOMPARE(status(f), QString("已断开"));
        QVERIFY(f.connect());

        std::vector<QByteArray> expected{hex("0616")};
        for (int n = 0; n <= 54; ++n)
            expected.push_back(hex("06AA") + QByteArray(1, char(n)));
        for (int k = 1; k <= 9; ++k)
            expected.push_back(hex("0610") + QByteArray(1, char(k)));
        QCOMPARE(f.payloads(), expected);

        std::vector<int> expectedProgress;
        for (int v = 1; v <= 54; ++v)
            expectedProgress.push_back(v);
        QCOMPARE(progress, expectedProgress);
        QVERIFY(f.ui().TickBar->isHidden());
        QCOMPARE(status(f), QString("已连接"));
        QVERIFY(Param_Image.bytes() == expectedMirror());
        for (int k = 1; k <= 9; ++k)
            QCOMPARE(int(Link_Machine().scenes().Scene_Valid[k - 1]), 1);
    }

    void englishStatus() {
        WindowFixture f;
        Pc.Lang_EN = 1;
        f.ticks(1);
        QVERIFY(f.connect());
        QCOMPARE(status(f), QString("Online"));
        sim::unit().setPlugged(false);
        ModalAnswerer answer;
        f.ticks(401);
        QCOMPARE(status(f), QString("Offline"));
        QCOMPARE(answer.seen().at(0).title, QString("Notice"));
        QCOMPARE(answer.seen().at(0).text, QString("Connection error!"));
    }

    void clockOfTheReadBack() {
        // One tick for the name, two per block, two per scene name.
        WindowFixture f;
        int ticks = 0;
        while (!(Link_Machine().statusLevel() == 2 && !Link_Machine().readingNames()) &&
               ticks < 1000) {
            f.ticks(1);
            ++ticks;
        }
        QCOMPARE(ticks, 1 + 2 * 55 + 2 * 9);
    }

    void normalisation_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("unitValue");
        QTest::addColumn<int>("mirrorValue");
        auto row = [](const char* name, int offset, int size, int unitValue, int mirrorValue) {
            QTest::newRow(name) << offset << size << unitValue << mirrorValue;
        };
        const int gain = 452 + 2 * 7;
        row("gain 240", gain, 2, 240, 120);
        row("gain 119", gain, 2, 119, 120);
        row("gain 361", gain, 2, 361, 120);
        row("gain 360", gain, 2, 360, 240);
        row("HPF 0 Hz", 1016, 2, 0, 20);
        row("LPF 25000 Hz", 1046, 2, 25000, 20000);
        row("HPF slope 9", 1028, 1, 9, 3);
        row("LPF type 3", 1070, 1, 3, 0);
        row("volume 601", 26, 2, 601, 600);
        row("delay 10 ms kept", 44, 2, 1000, 1000);
        row("delay 1501 reset", 44, 2, 1501, 0);
        row("noise gate 3 kept", 68, 2, 3, 3);
    }
    void normalisation() {
        QFETCH(int, offset);
        QFETCH(int, size);
        QFETCH(int, unitValue);
        QFETCH(int, mirrorValue);
        WindowFixture f;
        if (size == 2)
            sim::unit().setU16(offset, static_cast<uint16_t>(unitValue));
        else
            sim::unit().memory()[offset] = static_cast<uint8_t>(unitValue);
        QVERIFY(f.connect());
        QCOMPARE(size == 2 ? int(Param_Image.u16(offset)) : int(Param_Image.u8(offset)),
                 mirrorValue);
    }

    void normalisationOfTheControls() {
        WindowFixture f;
        for (int ch = 0; ch < kChannels; ++ch)
            sim::unit().memory()[38 + ch] = 2;
        sim::unit().memory()[10] = 5;
        sim::unit().setU16(68, 3);
        QVERIFY(f.connect());
        QCOMPARE(int(Pc.Master_Mute), 1);
        for (int ch = 0; ch < kChannels; ++ch)
            QCOMPARE(int(Param_Image.CH_Mute(ch)), 0);
        QVERIFY(f.ui().BT_MainMute->styleSheet().contains("rgb(204, 204, 204)"));
        QCOMPARE(int(Param_Image.Input_Source()), 0);
        QVERIFY(f.ui().BT_INPUT_HI->styleSheet().contains("rgb(204, 204, 204)"));
        QVERIFY(f.window().menus.noiseGateLevel[3]->isChecked());
        QCOMPARE(int(Link_Machine().sendSuppressed()), 0);
        QVERIFY(f.writes().empty()); // the refresh sent nothing back
    }

    void names_data() {
        QTest::addColumn<QByteArray>("nameBytes");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("zero filler") << QByteArray("TQ_AUD48") + QByteArray(8, '\0') << true;
        QTest::newRow("0xFF filler") << QByteArray("TQ_AUD48") + QByteArray(8, '\xFF') << true;
        QTest::newRow("no filler") << QByteArray("TQ_AUD48") << true;
        QTest::newRow("longer name") << QByteArray("TQ_AUD48X") << false;
        QTest::newRow("other case") << QByteArray("tq_aud48") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void names() {
        QFETCH(QByteArray, nameBytes);
        QFETCH(bool, accepted);
        WindowFixture f;
        sim::unit().setNameBytes(std::vector<uint8_t>(nameBytes.begin(), nameBytes.end()));
        ModalAnswerer answer;
        f.ticks(1);
        QCOMPARE(int(Link_Machine().online()), accepted ? 1 : 0);
        if (accepted) {
            QVERIFY(answer.seen().empty());
        } else {
            QCOMPARE(int(answer.seen().size()), 1);
            QCOMPARE(answer.seen()[0].title, QString("提示"));
            QCOMPARE(answer.seen()[0].text, QString("设备名称不匹配！"));
        }
    }

    void nameIgnoresBytesOfAnEarlierReply() {
        WindowFixture f;
        QVERIFY(f.connect()); // block and scene replies have filled the reply buffer
        setName("TQ_AUD48");  // exactly eight bytes, no filler
        Link_Machine().Connect_Unit();
        f.ticks(1);
        QCOMPARE(int(Link_Machine().readingBlocks()), 1);
        QCOMPARE(int(Link_Machine().online()), 1);
    }

    void wrongUnitIsNamedOnceUntilItGoes() {
        WindowFixture f;
        setName("OTHER");
        ModalAnswerer answer;
        f.ticks(1000); // retried quietly every 100 ticks
        QCOMPARE(int(answer.seen().size()), 1);
        QCOMPARE(answer.mostOpenAtOnce(), 1);
        QCOMPARE(int(Link_Machine().online()), 0);

        sim::unit().setPlugged(false);
        f.ticks(150);
        sim::unit().setPlugged(true);
        f.ticks(150);
        QCOMPARE(int(answer.seen().size()), 2); // a unit plugged in again is named again

        // Swapping in the right unit connects within a second.
        sim::unit().setPlugged(false);
        f.ticks(150);
        sim::unit().reset();
        int ticks = 0;
        while (!Link_Machine().online() && ticks < 500) {
            f.ticks(1);
            ++ticks;
        }
        QVERIFY2(ticks <= 101, qPrintable(QString::number(ticks)));
        QVERIFY(f.connect());
    }

    void faultsDuringReadBack_data() {
        QTest::addColumn<sim::Fault>("fault");
        QTest::addColumn<bool>("scenes");
        QTest::addColumn<int>("index");
        const std::pair<const char*, sim::Fault> faults[] = {
            {"dropped", sim::Fault::Drop},
            {"garbled", sim::Fault::Garble},
            {"bad checksum", sim::Fault::BadChecksum},
            {"late", sim::Fault::Late},
            {"stale", sim::Fault::Stale}};
        for (const auto& [name, fault] : faults) {
            for (int block : {0, 23, 54})
                QTest::newRow(qPrintable(QString("%1 block %2").arg(name).arg(block)))
                    << fault << false << block;
            for (int scene : {1, 9})
                QTest::newRow(qPrintable(QString("%1 scene %2").arg(name).arg(scene)))
                    << fault << true << scene;
        }
    }
    void faultsDuringReadBack() {
        QFETCH(sim::Fault, fault);
        QFETCH(bool, scenes);
        QFETCH(int, index);
        WindowFixture f;
        // Give every block and name something to lose.
        for (int i = 4; i < kReadbackSize; ++i)
            if (i < 452 || i >= 824) sim::unit().memory()[i] = static_cast<uint8_t>(i * 7);
        const ParamImage::Bytes expected = expectedMirror();
        Param_Init();
        f.ticks(1);
        QVERIFY(tickUntilAsking(f, scenes, index));
        sim::unit().injectFaults({fault});
        QVERIFY(f.connect());
        QVERIFY(Param_Image.bytes() == expected);
        for (int k = 1; k <= 9; ++k)
            QCOMPARE(int(Link_Machine().scenes().Scene_Valid[k - 1]), 1);
        QCOMPARE(status(f), QString("已连接"));
    }

    void randomFaultsStillGiveAnExactMirror() {
        WindowFixture f;
        for (int i = 4; i < kReadbackSize; ++i)
            if (i < 452 || i >= 824) sim::unit().memory()[i] = static_cast<uint8_t>(i * 13);
        const ParamImage::Bytes expected = expectedMirror();
        Param_Init();
        sim::unit().setFaultRate(0.2, 7);
        QVERIFY(f.connect(20000));
        QVERIFY(Param_Image.bytes() == expected);
    }

    void unitThatStopsAnswering() {
        WindowFixture f;
        f.ticks(1);
        QVERIFY(tickUntilAsking(f, false, 20));
        sim::unit().setSilent(true);
        // Eight requests, each answer awaited for ten ticks: then the handshake starts afresh.
        f.ticks(100);
        QCOMPARE(status(f), QString("已断开"));
        QVERIFY(Link_Machine().statusLevel() != 2);
        sim::unit().setSilent(false);
        QVERIFY(f.connect());
        QCOMPARE(status(f), QString("已连接"));
    }

    void writesAreHeldDuringReadBack() {
        WindowFixture f;
        f.ticks(1);
        QVERIFY(tickUntilAsking(f, false, 10));
        f.clearFrames();
        Send_CH_Mute(0, 1);
        f.ticks(2);
        QCOMPARE(f.payloads(), (std::vector<QByteArray>{hex("06AA0A")}));
    }

    // An edit made while the blocks are read back is dropped on the way to the unit; the read
    // blocks are applied together at the end, so the screen and the image show the unit's value.
    void editDuringReadBackLeavesUnitValues() {
        WindowFixture f;
        f.ticks(1);
        QVERIFY(tickUntilAsking(f, false, 2)); // blocks 0 and 1 (the mute bytes) are read
        QTest::mouseClick(f.ui().chMute[0], Qt::LeftButton);
        QCOMPARE(int(Param_Image.CH_Mute(0)), 1); // the click itself shows at once
        QVERIFY(f.connect());
        QCOMPARE(int(sim::unit().memory()[38]), 0);
        QCOMPARE(int(Param_Image.CH_Mute(0)), 0);
        QVERIFY(f.ui().chMute[0]->styleSheet().contains("rgb(72, 72, 73)")); // not lit
        QVERIFY(f.writes().empty());
    }

    void unsolicitedReports() {
        WindowFixture f;
        QVERIFY(f.connect());
        sim::unit().queueUnsolicited(0x0D, {0x2C, 0x01});
        sim::unit().queueUnsolicited(0x02, {0x02});
        f.ticks(800); // two keep-alive reads
        QCOMPARE(int(Param_Image.Total_Vol()), 300);
        // The master strip follows the unit's knob, and nothing is sent back.
        QCOMPARE(f.ui().Slider_Total_Bar->value(), 300);
        QCOMPARE(f.ui().Edit_Total->text(), QStringLiteral("-30.0dB"));
        QVERIFY(f.writes().empty());
        QCOMPARE(int(Param_Image.Input_Source()), 2);
        QVERIFY(f.ui().BT_INPUT_OPT->styleSheet().contains("rgb(204, 204, 204)"));
        QVERIFY(f.ui().BT_INPUT_HI->styleSheet().contains("rgb(72, 72, 73)"));
    }

    // A report the unit sends on its own between two blocks of the read-back is newer than the
    // block read before it: the screen, the mirror and the unit end with the reported value.
    void reportDuringReadBack_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("master volume 300") << 0x0D << hex("2C01");
        QTest::newRow("input source optical") << 0x02 << hex("02");
    }
    void reportDuringReadBack() {
        QFETCH(int, code);
        QFETCH(QByteArray, data);
        WindowFixture f;
        QCOMPARE(int(sim::unit().u16(24)), 600);
        QCOMPARE(int(sim::unit().memory()[10]), 0);
        f.ticks(1);
        QVERIFY(tickUntilAsking(f, false, 5)); // blocks 0 and 1 (source, master volume) are in
        sim::unit().queueUnsolicited(uint8_t(code),
                                     std::vector<uint8_t>(data.constBegin(), data.constEnd()));
        QVERIFY(f.connect());
        if (code == 0x0D) {
            QCOMPARE(int(sim::unit().u16(24)), 300);
            QCOMPARE(int(Param_Image.Total_Vol()), 300);
            QCOMPARE(f.ui().Slider_Total_Bar->value(), 300);
        } else {
            QCOMPARE(int(sim::unit().memory()[10]), 2);
            QCOMPARE(int(Param_Image.Input_Source()), 2);
            QVERIFY(f.ui().BT_INPUT_OPT->styleSheet().contains("rgb(204, 204, 204)"));
            QVERIFY(f.ui().BT_INPUT_HI->styleSheet().contains("rgb(72, 72, 73)"));
        }
        QVERIFY(f.writes().empty()); // nothing sent back
    }

    // A dialog left open for thirty seconds, whether it opened from a user's click or at the end
    // of a transfer, holds nothing up: keep-alives go out all along, their answers are taken, and
    // the unit (answering a little late, as a real one) is never taken as silent.
    void linkRunsUnderDialogs_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("held");
        // Per box held: the first keep-alive from its opening (ms), and the keep-alives in all.
        QTest::addColumn<QList<qint64>>("firstPing");
        QTest::addColumn<QList<int>>("pings");
        QTest::newRow("file dialog after the scenes are read")
            << 0 << QStringList{"保存全部场景文件"} << QList<qint64>{799} << QList<int>{74};
        QTest::newRow("notice after a scene file is loaded")
            << 1 << QStringList{"加载单个场景文件", "单个场景加载完成，确定后系统将自动同步数据"}
            << QList<qint64>{796, 1585} << QList<int>{74, 72};
        QTest::newRow("factory reset question")
            << 2 << QStringList{"确定要将当前机器复位到出厂模式？"} << QList<qint64>{796}
            << QList<int>{74};
    }
    void linkRunsUnderDialogs() {
        QFETCH(int, action);
        QFETCH(QStringList, held);
        QFETCH(QList<qint64>, firstPing);
        QFETCH(QList<int>, pings);
        WindowFixture f;
        QVERIFY(f.connect());
        sim::unit().setLatencyMs(10);
        QTemporaryDir dir;
        const QString scene = dir.filePath("in.SCE");
        writeFile(scene, allScenesFile().left(4096));
        FrameTimes times;
        ModalHolder holder(30000, times, QMessageBox::No);
        if (action == 0) {
            f.window().menus.sceneEntry[3]->trigger();
        } else if (action == 1) {
            holder.choose(scene);
            f.window().menus.sceneEntry[2]->trigger();
        } else {
            f.window().menus.systemReset->trigger();
        }
        QVERIFY(finishTransfer(60000, [&] { times.note(); }));
        runAsTimer(3000, [&] { times.note(); });

        QCOMPARE(holder.held, held);
        QVERIFY2(holder.nested.isEmpty(), qPrintable(holder.nested.join(" / ")));
        QList<qint64> firsts;
        QList<int> counts;
        for (const auto& [from, to] : holder.spans) {
            QCOMPARE(to - from, qint64(30000));
            QList<qint64> at; // the keep-alives, from the start of the span
            for (const auto& [t, p] : times.frames())
                if (t >= from && t < to && p.startsWith(hex("0600"))) at << t - from;
            QVERIFY(!at.isEmpty());
            firsts << at.first();
            counts << int(at.size());
            for (qsizetype i = 1; i < at.size(); ++i)
                QCOMPARE(at[i] - at[i - 1], qint64(400)); // every 200 ticks
        }
        QCOMPARE(firsts, firstPing);
        QCOMPARE(counts, pings);
        QVERIFY(Link_Machine().online());
        QCOMPARE(status(f), QString("已连接"));
    }

    // A wake long overdue (the process was held up) does not send a burst of keep-alives with no
    // time for their answers between them, and so does not take a unit that answers as silent.
    void overdueWakeKeepsTheUnit() {
        WindowFixture f;
        QVERIFY(f.connect());
        sim::unit().setLatencyMs(10);
        ModalAnswerer boxes;
        holdUpClock(3000);
        Link_Machine().step(testClock());
        QVERIFY(boxes.seen().empty());
        QVERIFY(Link_Machine().online());
        runAsTimer(3000);
        QVERIFY(boxes.seen().empty());
        QVERIFY(Link_Machine().online());
    }

    void keepAliveTiming() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.clearFrames();
        std::vector<int> pingTicks;
        for (int t = 1; t <= 1000; ++t) {
            f.ticks(1);
            if (!f.payloads().empty()) {
                QCOMPARE(f.payloads().back(), hex("0600"));
                pingTicks.push_back(t);
                f.clearFrames();
            }
        }
        // The last scene request went out one tick before connect() returned, and its own tick
        // already counted down once: the first keep-alive is 400 ticks after that request's tick.
        QCOMPARE(QVector<int>(pingTicks.begin(), pingTicks.end()),
                 (QVector<int>{398, 598, 798, 998}));
    }

    void unplugWhileIdleAndReplug() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.ticks(50);
        sim::unit().setPlugged(false);
        ModalAnswerer answer;
        f.ticks(400);
        QCOMPARE(int(answer.seen().size()), 1);
        QCOMPARE(answer.seen()[0].text, QString("机器通讯异常！"));
        QCOMPARE(status(f), QString("已断开"));
        QCOMPARE(int(Link_Machine().online()), 0);
        f.ticks(100); // searching quietly
        QCOMPARE(int(answer.seen().size()), 1);

        sim::unit().setPlugged(true);
        f.clearFrames();
        QVERIFY(f.connect());
        QCOMPARE(f.payloads().size(), size_t(1 + 55 + 9));
        QCOMPARE(status(f), QString("已连接"));
        // Every earlier handle, the dead one included, was closed before the next open.
        QCOMPARE(sim::unit().counters().opens - sim::unit().counters().closes, 1);
    }

    // Without a hot-plug signal (no udev, or a unit that is not reported) the link still finds a
    // unit plugged in again: it looks at the bus every second while it searches.
    void findsTheUnitWithoutAHotPlugSignal() {
        WindowFixture f;
        QVERIFY(f.connect());
        sim::unit().setArrivalHook(nullptr);
        sim::unit().setPlugged(false);
        ModalAnswerer answer;
        f.ticks(400); // the keep-alive goes unanswered: offline
        QCOMPARE(int(Link_Machine().online()), 0);
        const int opensBefore = sim::unit().counters().opens;
        sim::unit().setPlugged(true);
        f.clearFrames();
        int firstAsk = 0;
        for (int t = 1; t <= 1000 && !firstAsk; ++t) {
            f.ticks(1);
            if (!f.payloads().empty()) firstAsk = t;
        }
        // The last look found the bus empty as the keep-alive gave up; the next, 500 ticks on,
        // opens the unit and asks its name.
        QCOMPARE(firstAsk, 500);
        QCOMPARE(sim::unit().counters().opens - opensBefore, 1);
        QCOMPARE(f.payloads(), std::vector<QByteArray>{hex("0616")});
        QVERIFY(f.connect());
        QCOMPARE(status(f), QString("已连接"));
    }

    void forcedReopenWithoutUnit() {
        WindowFixture f;
        QVERIFY(f.connect());
        sim::unit().setPlugged(false);
        Link_Machine().setReconnectCount(1);
        f.ticks(2);
        QCOMPARE(int(Link_Machine().online()), 0);
        QVERIFY(Link_Machine().handle() == nullptr);
        QCOMPARE(status(f), QString("已断开"));
        sim::unit().setPlugged(true);
        QVERIFY(f.connect());
    }

    void sceneNames_data() {
        QTest::addColumn<int>("firstByte");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("valid");
        QTest::newRow("digit") << 0x31 << QString("Mode3") << 0;
        QTest::newRow("erased") << 0xFF << QString("Mode3") << 0;
        QTest::newRow("underscore") << 0x5F << QString("_ar") << 1;
        QTest::newRow("letter") << 0x43 << QString("Car") << 1;
    }
    void sceneNames() {
        QFETCH(int, firstByte);
        QFETCH(QString, name);
        QFETCH(int, valid);
        WindowFixture f;
        sim::Name stored{};
        stored[0] = static_cast<uint8_t>(firstByte);
        stored[1] = 'a';
        stored[2] = 'r';
        sim::unit().scene(3).name = stored;
        QVERIFY(f.connect());
        QCOMPARE(QString::fromLatin1(
                     reinterpret_cast<const char*>(Link_Machine().scenes().Scene_Name[2].data())),
                 name);
        QCOMPARE(int(Link_Machine().scenes().Scene_Valid[2]), valid);
    }
};

QTEST_MAIN(TestLink)
#include "test_link.moc"
