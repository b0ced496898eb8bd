// The firmware upgrade: the file check and the chunking (tables), then the option-menu entry on
// the real window against the simulated unit: the chunks sent, what the unit put together, lost
// acknowledgements, a unit that goes away mid-way, and the files refused before anything is sent.
// A unit that falls silent (bounded waits of half a second) is in test_transfers_slow.cpp.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "session/firmware_image.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/transfer_helpers.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <sys/stat.h>

using namespace tarn;
using namespace tarn::test;

Q_DECLARE_METATYPE(tarn::FirmwareCheck)
Q_DECLARE_METATYPE(sim::Fault)

namespace {

constexpr char kDoneZh[] = "升级文件传输完成，请耐心等待机器自动更新固件(5秒钟)!";
constexpr char kNotMatchZh[] = "升级固件不匹配！";

// The texts of the boxes after the confirmation, which must come first.
QStringList afterConfirmation(const ModalAnswerer& boxes) {
    const QStringList all = texts(boxes);
    if (all.isEmpty() || !all[0].startsWith(QString::fromUtf8("即将升级机器固件"))) return {"?"};
    return all.mid(1);
}

// "MVO" followed by a pattern, size bytes in all.
QByteArray firmwareFile(int size) {
    QByteArray f(size, '\0');
    for (int i = 0; i < size; ++i)
        f[i] = char((i * 37 + 11) & 0xFF);
    f.replace(0, std::min(3, size), QByteArray("MVO").left(std::min(3, size)));
    return f;
}

// 05 B0 hi lo + 16 bytes.
QByteArray chunkFrame(int number, const QByteArray& bytes16) {
    return hex("05b0") + QByteArray(1, char(number >> 8)) + QByteArray(1, char(number & 0xFF)) +
           bytes16;
}

// The 16 bytes at pos of the image, 0xFF past its end.
QByteArray chunkAt(const QByteArray& image, int pos) {
    QByteArray c = image.mid(pos, 16);
    return c + QByteArray(16 - c.size(), char(0xFF));
}

QByteArray unitFirmware() {
    const auto& bytes = sim::unit().firmware().bytes;
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

} // namespace

class TestFirmware : public QObject {
    Q_OBJECT

    FreshFolder dir_;
    QString path(const char* name) const { return dir_.path(name); }

    void upgrade(WindowFixture& f, const QString& file) {
        FileDialogAnswerer dialogs;
        dialogs.choose(file);
        f.window().menus.upgrade->trigger();
        f.finish();
        QCOMPARE(dialogs.seen().size(), size_t(1));
        // The dialog follows the language.
        QCOMPARE(dialogs.seen()[0].title,
                 QString(Pc.Lang_EN ? "Load unit upgrade firmware" : "加载机器升级固件"));
        QCOMPARE(dialogs.seen()[0].nameFilters,
                 QStringList{Pc.Lang_EN ? "Upgrade firmware (*.bin)" : "升级固件(*.bin)"});
        QCOMPARE(dialogs.seen()[0].directory, QDir::homePath()); // no file of its kind chosen yet
        QCOMPARE(dialogs.seen()[0].acceptMode, QFileDialog::AcceptOpen);
    }

  private slots:
    void init() { QVERIFY(dir_.renew()); }

    // ---- the image ----

    void check_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<FirmwareCheck>("check");
        QTest::newRow("signature only") << QByteArray("MVO") << qint64(3) << FirmwareCheck::Ok;
        QTest::newRow("lower case") << QByteArray("mvo") << qint64(100) << FirmwareCheck::NotMatch;
        QTest::newRow("other third letter")
            << QByteArray("MVX") << qint64(100) << FirmwareCheck::NotMatch;
        QTest::newRow("two bytes") << QByteArray("MV") << qint64(2) << FirmwareCheck::NotMatch;
        QTest::newRow("empty") << QByteArray() << qint64(0) << FirmwareCheck::NotMatch;
        QTest::newRow("512 KiB") << QByteArray("MVO") << qint64(524288) << FirmwareCheck::Ok;
        QTest::newRow("512 KiB + 1")
            << QByteArray("MVO") << qint64(524289) << FirmwareCheck::TooLarge;
        QTest::newRow("past 4 GiB")
            << QByteArray("MVO") << qint64(0x100000003LL) << FirmwareCheck::TooLarge;
    }
    void check() {
        QFETCH(QByteArray, head);
        QFETCH(qint64, size);
        QFETCH(FirmwareCheck, check);
        QCOMPARE(Check_Firmware(reinterpret_cast<const uint8_t*>(head.constData()),
                                uint32_t(head.size()), uint64_t(size)),
                 check);
    }

    void chunking_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("numbered");
        QTest::addColumn<QByteArray>("final");
        const auto hexFF = [](int n) { return QByteArray(n, char(0xFF)); };
        QTest::newRow("3") << 3 << 0 << QByteArray("MVO") + hexFF(13);
        QTest::newRow("16") << 16 << 0 << firmwareFile(16);
        QTest::newRow("17") << 17 << 1 << firmwareFile(17).mid(16) + hexFF(15);
        QTest::newRow("32") << 32 << 1 << firmwareFile(32).mid(16);
        QTest::newRow("33") << 33 << 2 << firmwareFile(33).mid(32) + hexFF(15);
        QTest::newRow("512 KiB") << 524288 << 32767 << firmwareFile(524288).right(16);
    }
    // Walking the image as the upgrade does: the numbered chunks, then the final one.
    void chunking() {
        QFETCH(int, size);
        QFETCH(int, numbered);
        QFETCH(QByteArray, final);
        const QByteArray image = firmwareFile(size);
        const auto* data = reinterpret_cast<const uint8_t*>(image.constData());
        std::array<uint8_t, kChunkSize> chunk{};
        uint32_t pos = 0;
        int count = 0;
        while (!Firmware_Chunk(data, uint32_t(size), pos, chunk)) {
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(chunk.data()), 16),
                     image.mid(int(pos), 16));
            pos += kChunkSize;
            ++count;
        }
        QCOMPARE(count, numbered);
        QCOMPARE(int(Firmware_Numbered_Chunks(uint32_t(size))), numbered);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(chunk.data()), 16), final);
        QVERIFY(count <= 0x7FFF); // numbers 0..0x7FFE; 0xFFFF is the final chunk's
    }

    void progress_data() {
        QTest::addColumn<int>("acknowledged");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("bar");
        QTest::newRow("start") << 0 << 4096 << 3;
        QTest::newRow("under 3 %") << 7 << 4096 << 3;
        QTest::newRow("half") << 128 << 4096 << 50;
        QTest::newRow("last numbered") << 255 << 4097 << 99;
        QTest::newRow("512 KiB, half") << 16384 << 524288 << 50;
    }
    // The bar follows the share of the image acknowledged, whatever its size.
    void progress() {
        QFETCH(int, acknowledged);
        QFETCH(int, size);
        QFETCH(int, bar);
        QCOMPARE(Firmware_Progress(uint32_t(acknowledged), uint32_t(size)), bar);
    }

    // ---- the menu entry ----

    void upgrade_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("signature only") << 3;
        QTest::newRow("32 bytes") << 32;
        QTest::newRow("33 bytes") << 33;
        QTest::newRow("4 KiB and 5") << 4101;
    }
    // Chunk 0, 1, ... then the final chunk 0xFFFF, nothing read after it; the unit ends up with
    // the whole image; the link is dropped for the unit to install it, and comes back.
    void upgrade() {
        QFETCH(int, size);
        WindowFixture f;
        QVERIFY(f.connect());
        const QByteArray image = firmwareFile(size);
        writeFile(path("fw.bin"), image);
        f.clearFrames();
        std::vector<int> bar;
        connect(f.ui().TickBar, &QProgressBar::valueChanged, this,
                [&](int v) { bar.push_back(v); });
        ModalAnswerer boxes(QMessageBox::Yes);
        upgrade(f, path("fw.bin"));

        std::vector<QByteArray> expected;
        int pos = 0;
        for (; pos + 16 < size; pos += 16)
            expected.push_back(chunkFrame(pos / 16, chunkAt(image, pos)));
        expected.push_back(chunkFrame(0xFFFF, chunkAt(image, pos)));
        QCOMPARE(f.payloads(), expected);
        QVERIFY(sim::unit().firmware().complete);
        QCOMPARE(unitFirmware(), image + QByteArray((16 - size % 16) % 16, char(0xFF)));

        QCOMPARE(afterConfirmation(boxes), QStringList{QString::fromUtf8(kDoneZh)});
        QVERIFY(!Link_Machine().online());
        QCOMPARE(Link_Machine().statusLevel(), 0);
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("已断开"));
        QVERIFY(f.ui().TickBar->isHidden());
        QVERIFY(f.ui().BT_OPTION->isEnabled());
        QCOMPARE(bar.front(), 3);
        QVERIFY(std::is_sorted(bar.begin() + 1, bar.end()));
        QVERIFY(bar.back() <= 100);
        QVERIFY(sim::unit().firmware().rejected == 0);

        // The unit is left alone for its five seconds of installing, then found again.
        f.clearFrames();
        f.ticks(2499);
        QVERIFY(f.payloads().empty());
        f.ticks(1);
        QCOMPARE(f.payloads(), std::vector<QByteArray>{hex("0616")});
        QVERIFY(f.connect());
    }

    void upgradeEnglish() {
        WindowFixture f;
        QVERIFY(f.connect());
        Pc.Lang_EN = 1;
        writeFile(path("fw.bin"), firmwareFile(40));
        ModalAnswerer boxes(QMessageBox::Yes);
        upgrade(f, path("fw.bin"));
        QCOMPARE(boxes.seen().size(), size_t(2));
        QCOMPARE(boxes.seen()[0].title, QString("Notice"));
        QCOMPARE(boxes.seen()[0].text,
                 QString("About to upgrade the unit's firmware:\nFile: fw.bin\nSize: 40 bytes\n"
                         "Current firmware version: 20230811\nDo not disconnect the unit during "
                         "the upgrade. Upgrade now?"));
        QCOMPARE(boxes.seen()[0].defaultButton, QMessageBox::No);
        QCOMPARE(boxes.seen()[1].title, QString("Notice"));
        QCOMPARE(boxes.seen()[1].text,
                 QString("Upgrade file sent. Please wait while the unit installs it (5 s)!"));
    }

    void refused_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>(
            "kind"); // 0 file, 1 missing, 2 cancelled, 3 offline, 4 FIFO, 5 folder
        QTest::addColumn<QString>("notice");
        const QString notMatch = QString::fromUtf8(kNotMatchZh);
        QTest::newRow("lower-case signature")
            << QByteArray("mvo") + firmwareFile(64).mid(3) << 0 << notMatch;
        QTest::newRow("two bytes") << QByteArray("MV") << 0 << notMatch;
        QTest::newRow("empty") << QByteArray() << 0 << notMatch;
        QTest::newRow("too large")
            << firmwareFile(524289) << 0 << "升级固件过大（最大 512 KB），未升级！";
        QTest::newRow("missing file") << QByteArray() << 1 << notMatch;
        QTest::newRow("cancelled") << QByteArray() << 2 << QString();
        QTest::newRow("offline") << firmwareFile(64) << 3 << "请先联机！";
        const QString notRegular = "所选的不是普通文件（例如管道、设备或文件夹），未读取！";
        QTest::newRow("a FIFO nobody writes to") << QByteArray() << 4 << notRegular;
        QTest::newRow("a folder") << QByteArray() << 5 << notRegular;
    }
    // Nothing is sent and the link stays as it was.
    void refused() {
        QFETCH(QByteArray, content);
        QFETCH(int, kind);
        QFETCH(QString, notice);
        WindowFixture f;
        if (kind != 3) QVERIFY(f.connect());
        if (kind <= 3) writeFile(path("fw.bin"), content);
        if (kind == 4) QCOMPARE(::mkfifo(QFile::encodeName(path("fw.bin")).constData(), 0600), 0);
        if (kind == 5) QVERIFY(QDir().mkpath(path("fw.bin")));
        f.clearFrames();
        const bool online = Link_Machine().online();
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        if (kind == 1) dialogs.choose(path("missing.bin"));
        if (kind == 0 || kind >= 3) dialogs.choose(path("fw.bin"));
        if (kind == 2) dialogs.cancel();
        f.window().menus.upgrade->trigger();
        f.finish();
        QCOMPARE(texts(boxes), notice.isEmpty() ? QStringList() : QStringList{notice});
        QCOMPARE(dialogs.seen().size(), size_t(kind == 3 ? 0 : 1));
        QVERIFY(f.payloads().empty());
        QCOMPARE(Link_Machine().online(), online);
        QCOMPARE(sim::unit().firmware().installs, 0);
    }

    // The confirmation names the file, its size and the unit's firmware version, with No as the
    // default; No sends nothing and says nothing more.
    void declined() {
        WindowFixture f;
        QVERIFY(f.connect());
        // A "%2" in the name stays as it is.
        writeFile(path("fw%2.bin"), firmwareFile(4101));
        f.clearFrames();
        ModalAnswerer boxes(QMessageBox::No);
        upgrade(f, path("fw%2.bin"));
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].title, QString("提示"));
        QCOMPARE(boxes.seen()[0].text,
                 QString("即将升级机器固件：\n文件：fw%2.bin\n大小：4101 字节\n"
                         "机器当前固件版本：20230811\n升级过程中请勿断开机器。确定要升级吗？"));
        QCOMPARE(boxes.seen()[0].defaultButton, QMessageBox::No);
        QVERIFY(f.payloads().empty());
        QVERIFY(Link_Machine().online());
        QVERIFY(f.ui().BT_OPTION->isEnabled());
    }

    void lostAcknowledgements_data() {
        QTest::addColumn<QList<sim::Fault>>("faults");
        QTest::addColumn<int>("resends");
        using F = sim::Fault;
        QTest::newRow("lost") << QList<F>{F::Drop} << 1;
        QTest::newRow("late") << QList<F>{F::Late} << 0;
        QTest::newRow("stale") << QList<F>{F::Stale, F::Stale} << 0;
        QTest::newRow("bad checksum") << QList<F>{F::BadChecksum} << 1;
    }
    // A chunk without acknowledgement goes again, its own bytes under its own number; the unit
    // puts together exactly the file.
    void lostAcknowledgements() {
        QFETCH(QList<sim::Fault>, faults);
        QFETCH(int, resends);
        WindowFixture f;
        QVERIFY(f.connect());
        const QByteArray image = firmwareFile(2001);
        writeFile(path("fw.bin"), image);
        f.clearFrames();
        whenProgress(f, this, 30, [&] {
            sim::unit().injectFaults(std::vector<sim::Fault>(faults.begin(), faults.end()));
        });
        ModalAnswerer boxes(QMessageBox::Yes);
        upgrade(f, path("fw.bin"));
        QCOMPARE(afterConfirmation(boxes), QStringList{QString::fromUtf8(kDoneZh)});
        QVERIFY(sim::unit().firmware().complete);
        QCOMPARE(unitFirmware(), image + QByteArray(15, char(0xFF)));
        int last = -1;
        int repeated = 0;
        for (const QByteArray& p : f.payloads()) {
            const int number = (uint8_t(p[2]) << 8) | uint8_t(p[3]);
            if (number == 0xFFFF) break;
            QCOMPARE(p, chunkFrame(number, chunkAt(image, number * 16)));
            QVERIFY(number == last || number == last + 1);
            repeated += number == last;
            last = number;
        }
        QCOMPARE(last, 2001 / 16 - 1);
        QCOMPARE(repeated, resends);
    }

    // Unplugged mid-way: the failed write is reported once, no final chunk, no success message.
    void unplugged() {
        WindowFixture f;
        QVERIFY(f.connect());
        writeFile(path("fw.bin"), firmwareFile(4000));
        f.clearFrames();
        whenProgress(f, this, 40, [] { sim::unit().setPlugged(false); });
        ModalAnswerer boxes(QMessageBox::Yes);
        upgrade(f, path("fw.bin"));
        QCOMPARE(afterConfirmation(boxes), QStringList{"机器通讯异常！"});
        for (const QByteArray& p : f.payloads())
            QVERIFY(p.mid(2, 2) != hex("ffff"));
        QVERIFY(!sim::unit().firmware().complete);
        QVERIFY(!Link_Machine().online());
        QVERIFY(f.ui().TickBar->isHidden());
        QVERIFY(f.ui().BT_OPTION->isEnabled());
    }
};

QTEST_MAIN(TestFirmware)
#include "test_firmware.moc"
