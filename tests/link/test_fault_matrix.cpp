// Every transfer against a misbehaving unit: dropped answers at three rates, answers later than
// any read bound, a stale report before every answer, garbled and bad-checksum answers, and the
// unit unplugged at ten points of each transfer. The seeds are fixed, so each row has one outcome:
// complete with the unit's memory (or the file) byte-exact, or stopped, and the notice it gives;
// never past its time bound, never with a byte sent that was not in the file or image, never with
// a partial file. Every fault row applies at least one fault. An answer that lands just as its
// frame is given up, before the frame goes again, counts: those rows complete with no frame sent
// twice.
// Per row the test prints the faults the unit applied and the frames sent again.
#include "link/link_machine.h"
#include "model/param_image.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/transfer_helpers.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions_transfer.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

using namespace tarn;
using namespace tarn::test;

namespace {

enum class Kind { ReadBack, SceneNames, LoadOne, LoadAll, SaveAll, Upgrade };

const char* const kKindNames[] = {"read-back",  "scene names", "single upload",
                                  "all upload", "download",    "firmware"};

// Frames of each transfer on a clean link, and the frames before it starts (the read-back and
// the scene names are one handshake: 06 16, 55 blocks, 9 names).
constexpr int kCleanFrames[] = {56, 9, 55, 504, 495, 64};
constexpr int kFramesBefore[] = {0, 56, 0, 0, 0, 0};
// How long each transfer waits for one answer, from its frame (none for the handshake's own).
constexpr int kAnswerBoundMs[] = {0, 0, 100, 500, 501, 500};
// What the transfer sends, by class and code, for counting its frames sent again.
const char* const kOwnFrame[] = {"06AA", "0610", "0541", "0515", "0615", "05B0"};

const QString kCommError = "机器通讯异常！";
// A handshake that took answers too late to count is told to be in trouble, and still completes.
const QString kHandshakeTrouble = "设备应答不正确，无法联机。请检查连接或重新插拔设备。";

const QString kSuccess[] = {"",
                            "",
                            "单个场景加载完成，确定后系统将自动同步数据",
                            "全部场景加载完成，确定后系统将自动同步数据",
                            "",
                            "升级文件传输完成，请耐心等待机器自动更新固件(5秒钟)!"};

constexpr int kFirmwareSize = 1021 + 3; // 63 numbered chunks and the final one

struct Tally {
    int rows = 0, complete = 0, stopped = 0, notices = 0, faults = 0, resends = 0;
};
std::map<QString, Tally>& tallies() {
    static std::map<QString, Tally> t;
    return t;
}

QByteArray put16(QByteArray bytes, int offset, int value) {
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char(value >> 8);
    return bytes;
}

// A valid scene image in the unit's encoding, told apart by its volumes and one EQ gain.
QByteArray sceneImage(int tag) {
    const sim::Memory m = sim::Unit::factoryImage();
    QByteArray image(reinterpret_cast<const char*>(m.data()), 1100);
    image = put16(image, 26, 100 + tag * 10);     // CH1 volume
    image = put16(image, 452 + 2 * 3, 200 + tag); // CH1 band 4 gain
    return image + QByteArray(4096 - 1100, '\0');
}

QByteArray allFile() {
    QByteArray all;
    for (int s = 1; s <= 9; ++s)
        all += sceneImage(s);
    return all;
}

QByteArray firmwareImage() {
    QByteArray image = "MVO";
    for (int i = 3; i < kFirmwareSize; ++i)
        image += char((i * 37 + 11) & 0xFF);
    return image;
}

QByteArray bytesOf(const uint8_t* p, int n) {
    return QByteArray(reinterpret_cast<const char*>(p), n);
}

// Every data byte written must come from the file or image, at the place its frame names.
void checkWrittenBytes(const WindowFixture& f, Kind kind, const QByteArray& source) {
    for (const QByteArray& p : f.writes()) {
        const auto code = uint8_t(p[1]);
        if (kind == Kind::LoadOne && code == 0x41) {
            const int k = uint8_t(p[2]);
            QVERIFY(k <= 54);
            QCOMPARE(p.mid(3), source.mid(k * 20, 20));
        } else if (kind == Kind::LoadAll && code == 0x15) {
            const int s = uint8_t(p[2]), k = uint8_t(p[3]);
            QVERIFY(s >= 1 && s <= 9 && k <= 55);
            QCOMPARE(p.mid(4), source.mid((s - 1) * 4096 + k * 20, 20));
        } else if (kind == Kind::Upgrade && code == 0xB0) {
            int n = uint8_t(p[2]) << 8 | uint8_t(p[3]);
            if (n == 0xFFFF) n = 63;
            QVERIFY(n <= 63);
            QByteArray chunk = source.mid(n * 16, 16);
            chunk += QByteArray(16 - chunk.size(), char(0xFF));
            QCOMPARE(p.mid(4), chunk);
        } else {
            QFAIL(qPrintable("unexpected write " + p.toHex()));
        }
    }
}

// The mirror the read-back must give for the unit's memory: gains less 120, the rest as read.
QByteArray expectedMirror() {
    QByteArray m = bytesOf(sim::unit().memory().data(), 1100);
    for (int i = 0; i < 186; ++i) {
        const int at = 452 + 2 * i;
        m = put16(m, at, (uint8_t(m[at]) | uint8_t(m[at + 1]) << 8) - 120);
    }
    return m;
}

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT

  private slots:
    void cleanupTestCase() {
        for (const auto& [name, t] : tallies())
            qInfo("matrix %-14s rows %3d complete %3d (with a notice %d) stopped %3d faults %4d "
                  "resends %4d",
                  qPrintable(name), t.rows, t.complete, t.notices, t.stopped, t.faults, t.resends);
    }

    void row_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("faultKind"); // a sim::Fault
        QTest::addColumn<int>("unplugAt");  // 1..10: tenths of the transfer; 0 none
        QTest::addColumn<uint>("seed");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("notice"); // besides the success message; empty for none
        struct F {
            const char* name;
            double rate;
            sim::Fault kind;
        };
        const F faults[] = {
            {"drop 1%", 0.01, sim::Fault::Drop},           {"drop 5%", 0.05, sim::Fault::Drop},
            {"drop 10%", 0.10, sim::Fault::Drop},          {"late 5%", 0.05, sim::Fault::Late},
            {"stale always", 1.0, sim::Fault::Stale},      {"garbled 5%", 0.05, sim::Fault::Garble},
            {"checksum 5%", 0.05, sim::Fault::BadChecksum}};
        // The rows that do not complete without a notice, besides the unplugged ones (stopped,
        // with the communication error).
        struct Other {
            const char* row;
            bool complete;
            QString notice;
        };
        const Other others[] = {
            {"read-back, late 5%", true, kHandshakeTrouble},
            {"scene names, late 5%", true, kHandshakeTrouble},
            {"single upload, late 5%", false, "机器无响应，场景加载已中止！机器将重新连接。"}};
        // At 1 % the kind's own seed draws no drop in the 64 answers of the upgrade; seed 1 draws
        // one.
        const std::map<QString, uint> seeds{{"firmware, drop 1%", 1u}};
        auto faultRow = [&](int k, const QString& name, double rate, sim::Fault kind) {
            const QString row = QString("%1, %2").arg(kKindNames[k], name);
            bool complete = true;
            QString notice;
            for (const Other& o : others) {
                if (row != QLatin1String(o.row)) continue;
                complete = o.complete;
                notice = o.notice;
            }
            const auto seed = seeds.find(row);
            QTest::newRow(qPrintable(row))
                << k << name << rate << int(kind) << 0
                << (seed != seeds.end() ? seed->second : 12345u + uint(k)) << complete << notice;
        };
        for (int k = 0; k < 6; ++k) {
            for (const F& f : faults)
                faultRow(k, f.name, f.rate, f.kind);
            if (kAnswerBoundMs[k] > 0) faultRow(k, "late at resend 5%", 0.05, sim::Fault::Overdue);
            for (int at = 1; at <= 10; ++at)
                QTest::newRow(qPrintable(QString("%1, unplug %2/11").arg(kKindNames[k]).arg(at)))
                    << k << QString("unplug") << 0.0 << 0 << at << 0u << false << kCommError;
        }
    }

    void row() {
        QFETCH(int, kind);
        QFETCH(QString, fault);
        QFETCH(double, rate);
        QFETCH(int, faultKind);
        QFETCH(int, unplugAt);
        QFETCH(uint, seed);
        QFETCH(bool, complete);
        QFETCH(QString, notice);
        const Kind k = Kind(kind);
        QTemporaryDir dir;
        auto path = [&dir](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
        WindowFixture f;
        sim::Unit& unit = sim::unit();
        // Something to lose in every block: the blocks of the memory told apart.
        unit.memory()[26] = 0x2C;
        unit.memory()[27] = 0x01;
        for (int s = 1; s <= 9; ++s)
            std::copy_n(sceneImage(20 + s).constData(), 4096, unit.scene(s).image.begin());
        // Later than any read bound; or, at resend, ready just as the frame is given up.
        const bool atResend = sim::Fault(faultKind) == sim::Fault::Overdue;
        unit.setLateMs(atResend ? kAnswerBoundMs[kind] : 1000);

        const bool handshake = k == Kind::ReadBack || k == Kind::SceneNames;
        if (!handshake) QVERIFY(f.connect());
        QByteArray source;
        if (k == Kind::LoadOne) source = sceneImage(3);
        if (k == Kind::LoadAll) source = allFile();
        if (k == Kind::Upgrade) source = firmwareImage();
        if (!source.isEmpty()) writeFile(path("in"), source);

        f.clearFrames();
        const int faultsBefore = unit.counters().faults;
        if (rate > 0) unit.setFaultRate(rate, seed, {sim::Fault(faultKind)});
        const int unplugAfter =
            unplugAt ? kFramesBefore[kind] + std::max(1, unplugAt * kCleanFrames[kind] / 11) : -1;
        bool unplugged = false;
        auto watch = [&] {
            if (!unplugged && unplugAfter > 0 && int(unit.frames().size()) >= unplugAfter) {
                unit.setPlugged(false);
                unplugged = true;
            }
        };

        ModalAnswerer boxes(QMessageBox::Yes); // the firmware confirmation too
        FileDialogAnswerer dialogs;
        bool ended = false;
        if (handshake) {
            for (int t = 0; t < 60000 && !ended; ++t) {
                f.ticks(1);
                watch();
                ended = Link_Machine().phase() == LinkPhase::Idle ||
                        (unplugged && !Link_Machine().online());
            }
        } else {
            dialogs.choose(path(k == Kind::SaveAll ? "out.ALL" : "in"));
            if (k == Kind::Upgrade)
                f.window().menus.upgrade->trigger();
            else
                f.window()
                    .menus.sceneEntry[size_t(k == Kind::LoadOne   ? 2
                                             : k == Kind::LoadAll ? 4
                                                                  : 3)]
                    ->trigger();
            ended = finishTransfer(120000, watch);
        }
        QVERIFY2(ended, "the transfer went on past its bound");
        const int faultsApplied = unit.counters().faults - faultsBefore;
        unit.setFaultRate(0, 0);

        checkWrittenBytes(f, k, source);
        int own = 0;
        for (const QByteArray& p : f.payloads())
            own += p.startsWith(QByteArray::fromHex(kOwnFrame[kind])) ? 1 : 0;

        QStringList notices = texts(boxes);
        if (k == Kind::Upgrade && !notices.isEmpty()) notices.removeFirst(); // the confirmation
        notices.removeAll(kSuccess[kind]);
        // A notice may also come on the way to completing (a handshake told to be in trouble).
        QCOMPARE(notices.join(" / "), notice);
        if (rate > 0) QVERIFY2(faultsApplied > 0, "the row applied no fault");

        bool held = false; // the transfer's result is all there
        switch (k) {
        case Kind::ReadBack:
            held = !unplugged && bytesOf(Param_Image.bytes().data(), 1100) == expectedMirror();
            break;
        case Kind::SceneNames:
            held = !unplugged;
            for (int s = 1; s <= 9 && held; ++s)
                held = Link_Machine().scenes().Scene_Valid[size_t(s - 1)] == 1 &&
                       Link_Machine().scenes().Scene_Name[size_t(s - 1)] == unit.scene(s).name;
            break;
        case Kind::LoadOne:
            held = texts(boxes).contains(kSuccess[kind]) &&
                   bytesOf(unit.memory().data() + 4, 1096) == source.mid(4, 1096);
            break;
        case Kind::LoadAll:
            held = texts(boxes).contains(kSuccess[kind]);
            for (int s = 1; s <= 9 && held; ++s)
                held =
                    bytesOf(unit.scene(s).image.data(), 1120) == source.mid((s - 1) * 4096, 1120);
            break;
        case Kind::SaveAll: {
            QFile out(path("out.ALL"));
            if (out.open(QIODevice::ReadOnly)) {
                const QByteArray file = out.readAll();
                QCOMPARE(file.size(), 36864); // never a partial file
                for (int s = 1; s <= 9; ++s) {
                    QCOMPARE(file.mid((s - 1) * 4096, 1100),
                             bytesOf(unit.scene(s).image.data(), 1100));
                    QCOMPARE(file.mid((s - 1) * 4096 + 1100, 2996), QByteArray(2996, '\0'));
                }
                held = true;
            }
            break;
        }
        case Kind::Upgrade: {
            QByteArray padded = source + QByteArray(64 * 16 - source.size(), char(0xFF));
            held = texts(boxes).contains(kSuccess[kind]) && unit.firmware().complete &&
                   QByteArray(reinterpret_cast<const char*>(unit.firmware().bytes.data()),
                              int(unit.firmware().bytes.size())) == padded;
            break;
        }
        }
        QCOMPARE(held, complete);
        if (handshake && unplugged) {
            // Plugged in again, the unit is read completely.
            unit.setPlugged(true);
            QVERIFY(f.connect(5000));
            QCOMPARE(bytesOf(Param_Image.bytes().data(), 1100), expectedMirror());
        }

        const int resends = std::max(0, own - kCleanFrames[kind] + (kind == 0 ? 1 : 0));
        if (atResend) {
            QVERIFY(faultsApplied > 0);
            QVERIFY(complete);
            QCOMPARE(resends, 0); // every late answer counted, no frame sent again
        }
        qInfo("%s: faults %d, resends %d", QTest::currentDataTag(), faultsApplied,
              unplugAt ? 0 : resends);
        Tally& t = tallies()[fault];
        ++t.rows;
        (complete ? t.complete : t.stopped) += 1;
        t.notices += complete && !notice.isEmpty() ? 1 : 0;
        t.faults += faultsApplied;
        if (!unplugAt) t.resends += resends;
    }
};

QTEST_MAIN(TestFaultMatrix)
#include "test_fault_matrix.moc"
