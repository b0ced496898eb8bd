// The simulated unit, driven only through the hidapi calls and reports built by hand here.
#include <hidapi.h>

#include <QtTest>

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "sim/unit_sim.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes hex(const QByteArray& text) {
    const QByteArray raw = QByteArray::fromHex(text);
    return Bytes(raw.begin(), raw.end());
}

Bytes cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes filled(std::size_t n, std::uint8_t v) {
    return Bytes(n, v);
}

// A 32-byte output report as the PC writes it: 00 20 FA A2 seq N payload checksum F5.
Bytes outReport(std::uint8_t seq, const Bytes& payload) {
    Bytes r(32, 0);
    r[0] = 0x00;
    r[1] = 0x20;
    r[2] = 0xFA;
    r[3] = 0xA2;
    r[4] = seq;
    r[5] = std::uint8_t(payload.size());
    unsigned sum = 0xFA + 0xA2 + seq + unsigned(payload.size());
    for (std::size_t i = 0; i < payload.size(); ++i) {
        r[6 + i] = payload[i];
        sum += payload[i];
    }
    r[6 + payload.size()] = std::uint8_t(sum);
    r[7 + payload.size()] = 0xF5;
    return r;
}

// One input report as read: the frame is expected at byte 1 (FA 2A seq L payload checksum F5).
struct In {
    int n = 0;
    Bytes raw;
    bool framed = false; // markers and length in place
    bool sumOk = false;
    std::uint8_t seq = 0;
    Bytes payload;
    bool ok() const { return framed && sumOk; }
};

In decodeIn(const Bytes& raw, int n) {
    In in;
    in.n = n;
    in.raw = raw;
    if (n < 8 || raw[1] != 0xFA || raw[2] != 0x2A) return in;
    const std::size_t len = raw[4];
    if (7 + len > std::size_t(n) || raw[6 + len] != 0xF5) return in;
    in.framed = true;
    in.seq = raw[3];
    unsigned sum = 0xFA + 0x2A + raw[3] + raw[4];
    for (std::size_t i = 0; i < len; ++i)
        sum += raw[5 + i];
    in.sumOk = std::uint8_t(sum) == raw[5 + len];
    in.payload.assign(raw.begin() + 5, raw.begin() + 5 + long(len));
    return in;
}

// Short words for what a read gave, for comparing read sequences.
QString classify(const In& in) {
    if (in.n == 0) return "empty";
    if (in.n < 0) return "error";
    if (!in.framed) return "garbled";
    if (!in.sumOk) return "badsum";
    if (in.payload.size() == 22 && in.payload[0] == 0xAA)
        return QString("block%1").arg(in.payload[1]);
    return QString("code%1").arg(in.payload.empty() ? -1 : in.payload[0], 2, 16, QChar('0'));
}

QString joined(const QStringList& words) {
    return words.join(' ');
}

// Where two memory images first differ, for failure messages.
QByteArray firstDifference(const Bytes& got, const Bytes& want) {
    if (got.size() != want.size())
        return QByteArray("sizes ") + QByteArray::number(int(got.size())) + " and " +
               QByteArray::number(int(want.size()));
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i] != want[i]) {
            return QString("offset %1: got %2, want %3")
                .arg(i)
                .arg(got[i], 2, 16, QChar('0'))
                .arg(want[i], 2, 16, QChar('0'))
                .toLatin1();
        }
    }
    return "same";
}

} // namespace

namespace QTest {
template <> char* toString(const Bytes& bytes) {
    return qstrdup(QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()))
                       .toHex(' ')
                       .constData());
}
} // namespace QTest

class TestUnit : public QObject {
    Q_OBJECT

    hid_device* dev_ = nullptr;
    std::uint8_t seq_ = 0;

    int write(const Bytes& report) { return hid_write(dev_, report.data(), report.size()); }
    int send(const Bytes& payload) { return write(outReport(seq_++, payload)); }
    In read(int timeoutMs = 0) {
        Bytes raw(32, 0);
        const int n = hid_read_timeout(dev_, raw.data(), raw.size(), timeoutMs);
        return decodeIn(raw, n);
    }
    // Send a request and return the payload of the answer, or nothing.
    Bytes ask(const Bytes& payload) {
        if (send(payload) != 32) return {};
        const In in = read();
        return in.ok() ? in.payload : Bytes{};
    }
    // Read memory bytes through block requests, as the application does.
    Bytes readMemory(std::size_t offset, std::size_t length) {
        Bytes all;
        const std::size_t first = offset / 20, last = (offset + length - 1) / 20;
        for (std::size_t b = first; b <= last; ++b) {
            const Bytes p = ask({0x06, 0xAA, std::uint8_t(b)});
            if (p.size() != 22 || p[0] != 0xAA || p[1] != b) return {};
            all.insert(all.end(), p.begin() + 2, p.end());
        }
        const auto start = all.begin() + long(offset - first * 20);
        return Bytes(start, start + long(length));
    }
    int pendingReads() { // drains the queue, counting reports
        int n = 0;
        while (read().n > 0)
            ++n;
        return n;
    }

  private slots:
    void initTestCase() { QCOMPARE(hid_init(), 0); }
    void cleanupTestCase() { QCOMPARE(hid_exit(), 0); }
    void init() {
        sim::unit().reset();
        seq_ = 0;
        dev_ = hid_open(0x1A86, 0xE010, nullptr);
        QVERIFY(dev_ != nullptr);
    }
    void cleanup() {
        hid_close(dev_);
        dev_ = nullptr;
    }

    void factoryImage_data();
    void factoryImage();
    void writeThenReadBack_data();
    void writeThenReadBack();
    void nameReplyReport();
    void nameBytes_data();
    void nameBytes();
    void badReportsIgnored_data();
    void badReportsIgnored();
    void malformedCommandsIgnored_data();
    void malformedCommandsIgnored();
    void blocksBeyondReadBack_data();
    void blocksBeyondReadBack();
    void keepAliveAnswered();
    void unplugged();
    void enumerateAndOpenPath();
    void readBufferHandling();
    void faults_data();
    void faults();
    void faultsConsumedInOrderAlsoOnAcknowledgements();
    void faultRateSeeded();
    void silentUnit();
    void unsolicited_data();
    void unsolicited();
    void unsolicitedOrderAndHeldUntilOpen();
    void frameRecord();
    void storedScenes();
    void imageBlockUpload();
    void sceneBlockUploadAndDownload();
    void firmwareUpgrade_data();
    void firmwareUpgrade();
    void firmwareChunkOrder();
    void factoryReset();
    void handlesHaveTheirOwnQueues();
    void latency();
    void hostileReportsStayInBounds();
    void demoState();
    void stuckByte();
};

// ---- memory layout ----

void TestUnit::factoryImage_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("firmware version") << 0 << QByteArray("9B B2 34 01");
    QTest::newRow("roles") << 4 << QByteArray("03 07 0B 0F 10 13");
    QTest::newRow("input, reserved") << 10 << QByteArray("00 000000000000000000000000 00");
    QTest::newRow("volumes") << 24 << QByteArray("5802 5802 5802 5802 5802 5802 5802");
    QTest::newRow("mute delay phase bypass gate") << 38 << QByteArray(32 * 2, '0');
    QTest::newRow("CH1 first band freqs") << 80 << QByteArray("1400 1900 2000 2800 3200 3F00");
    QTest::newRow("CH3 band 3 is 32 Hz") << 80 + 2 * (2 * 31 + 2) << QByteArray("2000");
    QTest::newRow("CH6 band 31 freq") << 450 << QByteArray("204E");
    QTest::newRow("CH1 gains flat") << 452 << QByteArray("F000 F000 F000");
    QTest::newRow("CH6 band 31 gain") << 822 << QByteArray("F000");
    QTest::newRow("Q first, last, reserved") << 1008 << QByteArray("1E 1E 000000000000");
    QTest::newRow("HPF") << 1016
                         << QByteArray("140014001400140014001400 030303030303 010101010101 "
                                       "000000000000");
    QTest::newRow("LPF") << 1046
                         << QByteArray("204E204E204E204E204E204E 030303030303 010101010101 "
                                       "000000000000");
    QTest::newRow("reserved tail of the blocks") << 1076 << QByteArray(24 * 2, '0');
}

void TestUnit::factoryImage() {
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);
    const Bytes want = hex(expected);
    QCOMPARE(readMemory(std::size_t(offset), want.size()), want);
}

// A write command changes exactly its fields, in the unit's encoding, and is not answered.
void TestUnit::writeThenReadBack_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("changes"); // "offset:hexbytes ..."
    QTest::newRow("EQ band CH3 band 6")
        << QByteArray("05 08 02 05 3F00 0E01 1C") << "214:3F00 586:0E01 891:1C";
    QTest::newRow("EQ band CH6 band 31 limits")
        << QByteArray("05 08 05 1E 204E 2800 64") << "450:204E 822:2800 1009:64";
    QTest::newRow("EQ gain carried as sent")
        << QByteArray("05 08 00 00 1900 FFFF 04") << "80:1900 452:FFFF 824:04";
    QTest::newRow("HPF CH3") << QByteArray("05 06 02 01 5000 05 00")
                             << "1042:01 1020:5000 1030:05 1036:00";
    QTest::newRow("LPF CH6") << QByteArray("05 07 05 02 B80B 07 00")
                             << "1075:02 1056:B80B 1063:07 1069:00";
    QTest::newRow("volume CH4") << QByteArray("05 04 03 2C01") << "32:2C01";
    QTest::newRow("mute CH5") << QByteArray("05 05 04 01") << "42:01";
    QTest::newRow("delay CH2") << QByteArray("05 09 01 F401") << "46:F401";
    QTest::newRow("phase CH6") << QByteArray("05 0A 05 01") << "61:01";
    QTest::newRow("EQ bypass CH1") << QByteArray("05 0B 00 01") << "62:01";
    QTest::newRow("total volume") << QByteArray("05 0D E001") << "24:E001";
    QTest::newRow("input source") << QByteArray("05 02 02") << "10:02";
    QTest::newRow("noise gate") << QByteArray("05 13 04 01") << "68:0400";
    QTest::newRow("channel roles") << QByteArray("05 17 00 04 02 06 11 14") << "4:000402061114";
}

void TestUnit::writeThenReadBack() {
    QFETCH(QByteArray, command);
    QFETCH(QString, changes);
    Bytes expected = readMemory(0, 1100);
    QCOMPARE(expected.size(), std::size_t(1100));
    for (const QString& change : changes.split(' ')) {
        const QStringList parts = change.split(':');
        const Bytes value = hex(parts[1].toLatin1());
        std::copy(value.begin(), value.end(), expected.begin() + parts[0].toInt());
    }
    QCOMPARE(send(hex(command)), 32);
    QCOMPARE(read().n, 0);
    const Bytes got = readMemory(0, 1100);
    QVERIFY2(got == expected, firstDifference(got, expected).constData());
    QCOMPARE(sim::unit().counters().ignoredCommands, 0);
}

// ---- answers ----

void TestUnit::nameReplyReport() {
    // The request exactly as the PC sends it with sequence 0.
    QCOMPARE(write(cat(hex("00 20 FA A2 00 02 06 16 BA F5"), Bytes(22, 0))), 32);
    QCOMPARE(sim::unit().frames().at(0).payload, (Bytes{0x06, 0x16}));
    Bytes raw(32, 0);
    QCOMPARE(hid_read_timeout(dev_, raw.data(), raw.size(), 100), 32);
    QCOMPARE(raw, hex("20 FA 2A 00 11 16 5451 5F41 5544 3438 0000000000000000 95 F5"
                      "0000000000000000"));
    // The unit's sequence byte counts its answers.
    QCOMPARE(send({0x06, 0x16}), 32);
    QCOMPARE(read().seq, std::uint8_t(1));
}

void TestUnit::nameBytes_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected"); // answer payload after the code
    QTest::newRow("padded with FF") << QByteArray("5451 5F41 5544 3438 FFFFFFFFFFFFFFFF")
                                    << QByteArray("5451 5F41 5544 3438 FFFFFFFFFFFFFFFF");
    QTest::newRow("longer name") << QByteArray("5451 5F41 5544 3438 58")
                                 << QByteArray("5451 5F41 5544 3438 58");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("cut to 24 bytes") << QByteArray(26 * 2, '4') << QByteArray(24 * 2, '4');
}

void TestUnit::nameBytes() {
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    sim::unit().setNameBytes(hex(name));
    QCOMPARE(ask({0x06, 0x16}), cat({0x16}, hex(expected)));
}

void TestUnit::badReportsIgnored_data() {
    QTest::addColumn<int>("index"); // byte of the good report to change, or -1
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("length"); // bytes handed to hid_write
    // The good report: 00 20 FA A2 07 05 | 05 04 00 2C 01 | checksum at 11 | F5 at 12
    QTest::newRow("checksum") << 11 << -1 << 32; // -1: one more than the right value
    QTest::newRow("report id") << 0 << 0x01 << 32;
    QTest::newRow("lead byte") << 1 << 0x21 << 32;
    QTest::newRow("start marker") << 2 << 0xFB << 32;
    QTest::newRow("echoed direction") << 3 << 0x2A << 32;
    QTest::newRow("length above 24") << 5 << 25 << 32;
    QTest::newRow("length one longer") << 5 << 6 << 32;
    QTest::newRow("end marker") << 12 << 0xF4 << 32;
    QTest::newRow("short write") << -1 << 0 << 31;
    QTest::newRow("long write") << -1 << 0 << 33;
}

void TestUnit::badReportsIgnored() {
    QFETCH(int, index);
    QFETCH(int, value);
    QFETCH(int, length);
    Bytes report = outReport(7, {0x05, 0x04, 0x00, 0x2C, 0x01});
    if (index >= 0) {
        if (value < 0) value = report[std::size_t(index)] + 1;
        report[std::size_t(index)] = std::uint8_t(value);
    }
    report.resize(std::size_t(length), 0);
    const sim::Memory before = sim::unit().memory();
    QCOMPARE(hid_write(dev_, report.data(), report.size()), length);
    QCOMPARE(sim::unit().counters().badReports, 1);
    QVERIFY(sim::unit().frames().empty());
    QVERIFY(sim::unit().memory() == before);
    QCOMPARE(read().n, 0);
}

void TestUnit::malformedCommandsIgnored_data() {
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("channel 6") << QByteArray("05 04 06 0000");
    QTest::newRow("band 31") << QByteArray("05 08 00 1F 1400 F000 1E");
    QTest::newRow("band command short") << QByteArray("05 08 00 00 1400 F000");
    QTest::newRow("band command long") << QByteArray("05 08 00 00 1400 F000 1E 00");
    QTest::newRow("save scene 0") << QByteArray("05 0E 00") + QByteArray(32, '4');
    QTest::newRow("recall scene 10") << QByteArray("05 0F 0A");
    QTest::newRow("delete scene 0") << QByteArray("05 11 00");
    QTest::newRow("image block 55") << QByteArray("05 41 37") + QByteArray(40, '1');
    QTest::newRow("scene block 56") << QByteArray("05 15 01 38") + QByteArray(40, '1');
    QTest::newRow("upgrade chunk short") << QByteArray("05 B0 0000") + QByteArray(30, '1');
    QTest::newRow("factory reset without 1") << QByteArray("05 01 00");
    QTest::newRow("unknown write") << QByteArray("05 03 00");
    QTest::newRow("unknown class") << QByteArray("07 16");
    QTest::newRow("class only") << QByteArray("05");
    QTest::newRow("empty payload") << QByteArray();
    QTest::newRow("block request 204") << QByteArray("06 AA CC");
    QTest::newRow("scene name 0") << QByteArray("06 10 00");
    QTest::newRow("scene name 10") << QByteArray("06 10 0A");
    QTest::newRow("scene block of scene 10") << QByteArray("06 15 0A 00");
    QTest::newRow("scene block 56") << QByteArray("06 15 01 38");
    QTest::newRow("name request with argument") << QByteArray("06 16 00");
}

void TestUnit::malformedCommandsIgnored() {
    QFETCH(QByteArray, payload);
    const sim::Memory before = sim::unit().memory();
    const sim::Scene scene1 = sim::unit().scene(1);
    QCOMPARE(send(hex(payload)), 32);
    QCOMPARE(sim::unit().frames().size(), std::size_t(1));
    QCOMPARE(sim::unit().counters().ignoredCommands, 1);
    QVERIFY(sim::unit().memory() == before);
    QVERIFY(sim::unit().scene(1).image == scene1.image && sim::unit().scene(1).name == scene1.name);
    QVERIFY(sim::unit().firmware().bytes.empty());
    QCOMPARE(read().n, 0);
}

// Blocks past the read-back are answered from the rest of the memory as long as they lie in it.
void TestUnit::blocksBeyondReadBack_data() {
    QTest::addColumn<int>("block");
    QTest::addColumn<bool>("answered");
    QTest::newRow("55") << 55 << true;
    QTest::newRow("203, the last inside") << 203 << true;
    QTest::newRow("204") << 204 << false;
    QTest::newRow("255") << 255 << false;
}

void TestUnit::blocksBeyondReadBack() {
    QFETCH(int, block);
    QFETCH(bool, answered);
    sim::Memory& m = sim::unit().memory();
    for (std::size_t i = 1100; i < m.size(); ++i)
        m[i] = std::uint8_t(i * 7);
    const Bytes p = ask({0x06, 0xAA, std::uint8_t(block)});
    if (!answered) {
        QVERIFY(p.empty());
        return;
    }
    const auto from = m.begin() + block * 20;
    QCOMPARE(p, cat({0xAA, std::uint8_t(block)}, Bytes(from, from + 20)));
}

void TestUnit::keepAliveAnswered() {
    QCOMPARE(send({0x06, 0x00}), 32);
    const In in = read();
    QVERIFY(in.ok());
    QCOMPARE(in.payload, Bytes{0x00});
    QCOMPARE(read().n, 0);
}

// ---- the hidapi contract ----

void TestUnit::unplugged() {
    QVERIFY(hid_open(0x1A86, 0xE011, nullptr) == nullptr);
    QVERIFY(hid_open(0x1A87, 0xE010, nullptr) == nullptr);
    QVERIFY(hid_open(0x1A86, 0xE010, L"123") == nullptr);

    sim::unit().setPlugged(false);
    QVERIFY(hid_open(0x1A86, 0xE010, nullptr) == nullptr);
    QVERIFY(hid_error(nullptr) != nullptr);
    QVERIFY(QString::fromWCharArray(hid_error(nullptr)) != "Success");

    const sim::Memory before = sim::unit().memory();
    Bytes buf(32, 0);
    QCOMPARE(send({0x05, 0x0D, 0x00, 0x00}), -1);
    QVERIFY(hid_error(dev_) != nullptr);
    QVERIFY(QString::fromWCharArray(hid_error(dev_)) != "Success");
    QCOMPARE(hid_read_timeout(dev_, buf.data(), buf.size(), 100), -1);
    QCOMPARE(hid_read(dev_, buf.data(), buf.size()), -1);
    QVERIFY(hid_error(dev_) != nullptr);
    QVERIFY(sim::unit().frames().empty());
    QVERIFY(sim::unit().memory() == before);

    // Plugged back in: the old handle stays dead, a new one works.
    sim::unit().setPlugged(true);
    QCOMPARE(send({0x06, 0x16}), -1);
    hid_device* fresh = hid_open(0x1A86, 0xE010, nullptr);
    QVERIFY(fresh != nullptr);
    const Bytes report = outReport(0, {0x06, 0x16});
    QCOMPARE(hid_write(fresh, report.data(), report.size()), 32);
    QCOMPARE(QString::fromWCharArray(hid_error(fresh)), QString("Success"));
    QCOMPARE(hid_read_timeout(fresh, buf.data(), buf.size(), 0), 32);
    hid_close(fresh);
    QCOMPARE(sim::unit().counters().opens, 2);
    QCOMPARE(sim::unit().counters().failedOpens, 1);
    QCOMPARE(sim::unit().counters().closes, 1);
}

void TestUnit::enumerateAndOpenPath() {
    hid_device_info* list = hid_enumerate(0x1A86, 0xE010);
    QVERIFY(list != nullptr);
    QCOMPARE(list->vendor_id, static_cast<unsigned short>(0x1A86));
    QCOMPARE(list->product_id, static_cast<unsigned short>(0xE010));
    QVERIFY(list->next == nullptr);
    hid_device* byPath = hid_open_path(list->path);
    QVERIFY(byPath != nullptr);
    hid_close(byPath);
    hid_free_enumeration(list);
    QVERIFY(hid_enumerate(0x1234, 0) == nullptr);
    sim::unit().setPlugged(false);
    QVERIFY(hid_enumerate(0, 0) == nullptr);
}

void TestUnit::readBufferHandling() {
    QCOMPARE(send({0x06, 0x16}), 32);
    Bytes small(8, 0);
    QCOMPARE(hid_read(dev_, small.data(), small.size()), 8); // the rest of the report is lost
    QCOMPARE(small, hex("20 FA 2A 00 11 16 54 51"));
    QCOMPARE(hid_read(dev_, small.data(), small.size()), 0);
    QCOMPARE(hid_read(dev_, nullptr, 32), -1);
    QCOMPARE(hid_write(dev_, nullptr, 32), -1);
    QCOMPARE(hid_write(nullptr, small.data(), small.size()), -1);
    QCOMPARE(hid_read(nullptr, small.data(), small.size()), -1);
    QVERIFY(hid_error(nullptr) != nullptr);
}

// ---- faults ----

void TestUnit::faults_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("reads"); // what three reads after asking block 3 give
    QTest::newRow("drop") << int(sim::Fault::Drop) << "empty empty empty";
    QTest::newRow("garble") << int(sim::Fault::Garble) << "garbled empty empty";
    QTest::newRow("bad checksum") << int(sim::Fault::BadChecksum) << "badsum empty empty";
    QTest::newRow("late") << int(sim::Fault::Late) << "empty block3 empty";
    QTest::newRow("stale") << int(sim::Fault::Stale) << "block1 block3 empty";
}

void TestUnit::faults() {
    QFETCH(int, fault);
    QFETCH(QString, reads);
    QCOMPARE(ask({0x06, 0xAA, 0x01}).size(), std::size_t(22));
    sim::unit().injectFaults({sim::Fault(fault)});
    QCOMPARE(send({0x06, 0xAA, 0x03}), 32);
    QStringList got;
    In first;
    for (int i = 0; i < 3; ++i) {
        const In in = read();
        if (i == 0) first = in;
        got << classify(in);
    }
    QCOMPARE(joined(got), reads);
    if (sim::Fault(fault) == sim::Fault::Garble) {
        // Nothing in it can be taken for a frame, nor its code byte for the answer's code.
        QCOMPARE(first.n, 32);
        QVERIFY(std::find(first.raw.begin(), first.raw.end(), 0xFA) == first.raw.end());
        QVERIFY(first.raw[5] != 0xAA);
    }
    if (sim::Fault(fault) == sim::Fault::BadChecksum) QCOMPARE(first.raw[5], std::uint8_t(0xAA));
    // One fault per answer: the next one is clean.
    QCOMPARE(send({0x06, 0xAA, 0x04}), 32);
    QCOMPARE(classify(read()), QString("block4"));
}

void TestUnit::faultsConsumedInOrderAlsoOnAcknowledgements() {
    sim::unit().injectFaults({sim::Fault::Drop, sim::Fault::BadChecksum});
    const Bytes data(20, 0x5A);
    // The acknowledgement is lost, the block is still stored.
    QCOMPARE(send(cat({0x05, 0x41, 0x02}, data)), 32);
    QCOMPARE(read().n, 0);
    QVERIFY(std::equal(data.begin(), data.end(), sim::unit().memory().begin() + 40));
    QCOMPARE(send({0x06, 0xAA, 0x00}), 32);
    QCOMPARE(classify(read()), QString("badsum"));
    QCOMPARE(send({0x06, 0xAA, 0x00}), 32);
    QCOMPARE(classify(read()), QString("block0"));
    // The unsolicited reports of the unit are not answers and take no fault.
    sim::unit().injectFaults({sim::Fault::Drop});
    sim::unit().queueUnsolicited(0x0D, {0x10, 0x02});
    QVERIFY(read().ok());
    QCOMPARE(send({0x06, 0xAA, 0x00}), 32);
    QCOMPARE(read().n, 0);
}

void TestUnit::faultRateSeeded() {
    auto run = [this](double rate, std::uint32_t seed) {
        sim::unit().reset();
        sim::unit().setFaultRate(rate, seed);
        QStringList outcomes;
        for (int i = 0; i < 200; ++i) {
            send({0x06, 0xAA, std::uint8_t(i % 55)});
            const QString a = classify(read()), b = classify(read());
            outcomes << a + "," + b;
        }
        return outcomes;
    };
    const QStringList clean = run(0.0, 1);
    for (int i = 0; i < clean.size(); ++i)
        QCOMPARE(clean[i], QString("block%1,empty").arg(i % 55));

    QCOMPARE(run(0.3, 42), run(0.3, 42));
    QVERIFY(run(0.3, 42) != run(0.3, 43));

    // At rate 1 no first read gives the block asked for, and every kind of fault shows up.
    const QStringList all = run(1.0, 7);
    QSet<QString> kinds;
    for (int i = 0; i < all.size(); ++i) {
        const QString asked = QString("block%1").arg(i % 55);
        const QStringList ab = all[i].split(',');
        QVERIFY2(ab[0] != asked, qPrintable(all[i]));
        if (ab[0] == "empty")
            kinds << (ab[1] == asked ? "late" : "drop");
        else if (ab[0] == "garbled" || ab[0] == "badsum")
            kinds << ab[0];
        else if (ab[1] == asked)
            kinds << "stale";
    }
    QCOMPARE(kinds.size(), 5);
}

void TestUnit::silentUnit() {
    sim::unit().setSilent(true);
    const sim::Memory before = sim::unit().memory();
    QCOMPARE(send({0x06, 0x16}), 32);
    QCOMPARE(send({0x05, 0x0D, 0x00, 0x01}), 32);
    QCOMPARE(read(100).n, 0);
    QCOMPARE(hid_read(dev_, std::vector<std::uint8_t>(32).data(), 32), 0);
    QCOMPARE(sim::unit().frames().size(), std::size_t(2)); // it got the frames
    QVERIFY(sim::unit().memory() == before);               // and did nothing with them
    sim::unit().setSilent(false);
    QCOMPARE(read().n, 0);
    QCOMPARE(ask({0x06, 0xAA, 0x01}).size(), std::size_t(22));
}

// ---- unsolicited reports ----

void TestUnit::unsolicited_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("offset"); // memory field it also sets, or -1
    QTest::newRow("input source") << 0x02 << QByteArray("01") << 10;
    QTest::newRow("master volume") << 0x0D << QByteArray("F401") << 24;
    QTest::newRow("other code") << 0x33 << QByteArray("0102") << -1;
}

void TestUnit::unsolicited() {
    QFETCH(int, code);
    QFETCH(QByteArray, data);
    QFETCH(int, offset);
    sim::Memory expected = sim::unit().memory();
    const Bytes d = hex(data);
    if (offset >= 0) std::copy(d.begin(), d.end(), expected.begin() + offset);
    sim::unit().queueUnsolicited(std::uint8_t(code), d);
    const In in = read();
    QVERIFY(in.ok());
    QCOMPARE(in.payload, cat({std::uint8_t(code)}, d));
    QVERIFY(sim::unit().memory() == expected);
    QCOMPARE(read().n, 0);
}

void TestUnit::unsolicitedOrderAndHeldUntilOpen() {
    sim::unit().queueUnsolicited(0x02, {0x01});
    QCOMPARE(send({0x06, 0x16}), 32);
    QCOMPARE(read().payload, (Bytes{0x02, 0x01}));
    QCOMPARE(read().payload.at(0), std::uint8_t(0x16));

    // With no handle open it waits for the next one.
    hid_close(dev_);
    sim::unit().queueUnsolicited(0x0D, {0x58, 0x02});
    dev_ = hid_open(0x1A86, 0xE010, nullptr);
    QVERIFY(dev_ != nullptr);
    QCOMPARE(read().payload, (Bytes{0x0D, 0x58, 0x02}));
}

// ---- frame record ----

void TestUnit::frameRecord() {
    const Bytes longest = cat({0x05, 0x15, 0x01, 0x00}, filled(20, 0x11));
    const std::vector<std::pair<std::uint8_t, Bytes>> sent = {
        {0x00, {0x06, 0x16}}, {0xFF, {0x05, 0x0B, 0x01, 0x01}}, {0x00, {}}, {0x12, longest}};
    for (const auto& f : sent) {
        const Bytes report = outReport(f.first, f.second);
        QCOMPARE(write(report), 32);
        if (f.second.size() == 24) QCOMPARE(report[31], std::uint8_t(0xF5));
        Bytes broken = report;
        broken[4] ^= 0x01; // between the good ones: not a frame
        QCOMPARE(write(broken), 32);
    }
    const auto& frames = sim::unit().frames();
    QCOMPARE(frames.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        QCOMPARE(frames[i].seq, sent[i].first);
        QCOMPARE(frames[i].payload, sent[i].second);
    }
    QCOMPARE(sim::unit().counters().badReports, int(sent.size()));
    sim::unit().clearFrames();
    QVERIFY(sim::unit().frames().empty());
}

// ---- scenes, transfers, upgrade, reset ----

void TestUnit::storedScenes() {
    for (int k = 1; k <= 9; ++k) {
        Bytes name = hex("5363656E65"); // "Scene"
        name.push_back(std::uint8_t('0' + k));
        name.resize(16, 0x00);
        QCOMPARE(ask({0x06, 0x10, std::uint8_t(k)}), cat({0x10, std::uint8_t(k)}, name));
    }

    // Save place 4 under a new name, with a changed memory.
    QCOMPARE(send({0x05, 0x04, 0x01, 0x10, 0x01}), 32);
    const Bytes name = cat(hex("416200"), filled(13, 0x7E));
    QCOMPARE(send(cat({0x05, 0x0E, 0x04}, name)), 32);
    QCOMPARE(read().n, 0);
    QCOMPARE(ask({0x06, 0x10, 0x04}), cat({0x10, 0x04}, name));
    const Bytes block1 = ask({0x06, 0x15, 0x04, 0x01});
    QCOMPARE(block1.size(), std::size_t(23));
    QCOMPARE(Bytes(block1.begin(), block1.begin() + 3), (Bytes{0x15, 0x04, 0x01}));
    QCOMPARE(Bytes(block1.begin() + 3 + 8, block1.begin() + 3 + 10),
             (Bytes{0x10, 0x01})); // CH2 vol

    // Recall brings it back; the firmware version is the unit's own, not the scene's.
    sim::unit().scene(4).image[0] = 0x00;
    QCOMPARE(send({0x05, 0x04, 0x01, 0x00, 0x00}), 32);
    QCOMPARE(send({0x05, 0x0F, 0x04}), 32);
    QCOMPARE(readMemory(0, 4), hex("9B B2 34 01"));
    QCOMPARE(readMemory(28, 2), (Bytes{0x10, 0x01}));

    // Delete erases the place; recalling an erased place changes nothing.
    QCOMPARE(send({0x05, 0x11, 0x04}), 32);
    QCOMPARE(ask({0x06, 0x10, 0x04}), cat({0x10, 0x04}, filled(16, 0xFF)));
    QCOMPARE(ask({0x06, 0x15, 0x04, 0x00}), cat({0x15, 0x04, 0x00}, filled(20, 0xFF)));
    QCOMPARE(send({0x05, 0x04, 0x01, 0x20, 0x00}), 32);
    QCOMPARE(send({0x05, 0x0F, 0x04}), 32);
    QCOMPARE(readMemory(28, 2), (Bytes{0x20, 0x00}));
    QCOMPARE(sim::unit().counters().sceneRecalls, 2);
    QCOMPARE(pendingReads(), 0);
}

void TestUnit::imageBlockUpload() {
    Bytes image(1100);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = std::uint8_t(i * 13 + 1);
    const sim::Memory before = sim::unit().memory();
    for (int k = 0; k <= 54; ++k) {
        const Bytes data(image.begin() + k * 20, image.begin() + k * 20 + 20);
        QCOMPARE(send(cat({0x05, 0x41, std::uint8_t(k)}, data)), 32);
        Bytes raw(32, 0);
        const int n = hid_read_timeout(dev_, raw.data(), raw.size(), 100);
        if (k < 54) { // acknowledged: code 0x41 at byte 5, block number at byte 6
            QCOMPARE(n, 32);
            QCOMPARE(raw[5], std::uint8_t(0x41));
            QCOMPARE(raw[6], std::uint8_t(k));
            QVERIFY(decodeIn(raw, n).ok());
        } else { // the closing block is not acknowledged
            QCOMPARE(n, 0);
        }
    }
    Bytes expected = image;
    std::copy(before.begin(), before.begin() + 4, expected.begin()); // version stays
    const Bytes got = readMemory(0, 1100);
    QVERIFY2(got == expected, firstDifference(got, expected).constData());
    QVERIFY(std::equal(before.begin() + 1100, before.end(), sim::unit().memory().begin() + 1100));
    QCOMPARE(sim::unit().counters().imageLoads, 1);
}

void TestUnit::sceneBlockUploadAndDownload() {
    Bytes image(1120);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = std::uint8_t(i * 5 + 3);
    for (int k = 0; k <= 55; ++k) {
        const Bytes data(image.begin() + k * 20, image.begin() + k * 20 + 20);
        QCOMPARE(send(cat({0x05, 0x15, 0x02, std::uint8_t(k)}, data)), 32);
        Bytes raw(32, 0);
        const int n = hid_read(dev_, raw.data(), raw.size());
        if (k < 55) {
            QCOMPARE(n, 32);
            QCOMPARE(Bytes(raw.begin() + 5, raw.begin() + 8), (Bytes{0x15, 0x02, std::uint8_t(k)}));
        } else {
            QCOMPARE(n, 0);
        }
    }
    QCOMPARE(sim::unit().counters().sceneLoads, 1);
    // Download answer: code at 5, scene at 6, block at 7, data at 8..27, checksum, end marker.
    for (int k = 0; k <= 55; ++k) {
        QCOMPARE(send({0x06, 0x15, 0x02, std::uint8_t(k)}), 32);
        Bytes raw(32, 0);
        QCOMPARE(hid_read(dev_, raw.data(), raw.size()), 32);
        QVERIFY(decodeIn(raw, 32).ok());
        QCOMPARE(Bytes(raw.begin() + 5, raw.begin() + 8), (Bytes{0x15, 0x02, std::uint8_t(k)}));
        QCOMPARE(Bytes(raw.begin() + 8, raw.begin() + 28),
                 Bytes(image.begin() + k * 20, image.begin() + k * 20 + 20));
        QCOMPARE(raw[29], std::uint8_t(0xF5));
    }
    // Other places are untouched.
    QVERIFY(sim::unit().scene(1).image == sim::Unit::factoryImage());
}

void TestUnit::firmwareUpgrade_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("signature only") << 3;
    QTest::newRow("two chunks exactly") << 32;
    QTest::newRow("one byte over") << 33;
    QTest::newRow("past chunk 255") << 16 * 300 + 5;
}

void TestUnit::firmwareUpgrade() {
    QFETCH(int, size);
    Bytes file(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = std::uint8_t(i * 31 + 7);
    file[0] = 'M';
    file[1] = 'V';
    file[2] = 'O';
    Bytes padded = file;
    padded.resize((file.size() + 15) / 16 * 16, 0xFF);

    std::uint16_t f = 0;
    for (std::size_t pos = 0; pos < padded.size(); pos += 16) {
        const bool last = pos + 16 >= file.size();
        const std::uint16_t number = last ? 0xFFFF : f;
        const Bytes chunk(padded.begin() + long(pos), padded.begin() + long(pos) + 16);
        QCOMPARE(send(cat({0x05, 0xB0, std::uint8_t(number >> 8), std::uint8_t(number)}, chunk)),
                 32);
        Bytes raw(32, 0);
        const int n = hid_read(dev_, raw.data(), raw.size());
        if (last) {
            QCOMPARE(n, 0); // the unit goes installing, no answer
            break;
        }
        QCOMPARE(n, 32);
        QCOMPARE(Bytes(raw.begin() + 5, raw.begin() + 8),
                 (Bytes{0xB0, std::uint8_t(f >> 8), std::uint8_t(f)}));
        ++f;
    }
    const sim::Firmware& fw = sim::unit().firmware();
    QVERIFY(fw.complete);
    QCOMPARE(fw.installs, 1);
    QCOMPARE(fw.bytes, padded);
}

void TestUnit::firmwareChunkOrder() {
    auto chunk = [this](std::uint16_t number, std::uint8_t fill) {
        return send(
            cat({0x05, 0xB0, std::uint8_t(number >> 8), std::uint8_t(number)}, filled(16, fill)));
    };
    chunk(0, 0xA0);
    chunk(1, 0xA1);
    QCOMPARE(pendingReads(), 2);
    chunk(1, 0xB1); // sent again under the same number: replaces the first copy
    QCOMPARE(pendingReads(), 1);
    chunk(3, 0xA3); // a gap: refused, not acknowledged
    QCOMPARE(pendingReads(), 0);
    QCOMPARE(sim::unit().firmware().rejected, 1);
    chunk(0xFFFF, 0xAF);
    QCOMPARE(pendingReads(), 0);
    QCOMPARE(sim::unit().firmware().bytes,
             cat(cat(filled(16, 0xA0), filled(16, 0xB1)), filled(16, 0xAF)));
    // Chunk 0 after a completed upgrade starts a new one.
    chunk(0, 0xC0);
    QCOMPARE(pendingReads(), 1);
    QVERIFY(!sim::unit().firmware().complete);
    QCOMPARE(sim::unit().firmware().bytes, filled(16, 0xC0));
}

void TestUnit::factoryReset() {
    QCOMPARE(send({0x05, 0x08, 0x00, 0x00, 0x14, 0x00, 0x00, 0x01, 0x10}), 32);
    QCOMPARE(send({0x05, 0x02, 0x01}), 32);
    QCOMPARE(send(cat({0x05, 0x0E, 0x01}, filled(16, 0x41))), 32);
    QCOMPARE(send({0x05, 0x01, 0x01}), 32);
    QCOMPARE(read().n, 0);
    QVERIFY(sim::unit().memory() == sim::Unit::factoryImage());
    QCOMPARE(ask({0x06, 0x10, 0x01}), cat(hex("10 01 5363656E6531"), filled(10, 0)));
    QCOMPARE(sim::unit().counters().factoryResets, 1);
    QCOMPARE(send({0x05, 0xC1, 0x01}), 32);
    QCOMPARE(sim::unit().counters().closeCommands, 1);
}

void TestUnit::handlesHaveTheirOwnQueues() {
    hid_device* second = hid_open(0x1A86, 0xE010, nullptr);
    QVERIFY(second != nullptr);
    QCOMPARE(sim::unit().openHandles(), 2);
    QCOMPARE(send({0x06, 0x16}), 32);
    hid_device* third = hid_open(0x1A86, 0xE010, nullptr); // opened after the answer
    Bytes raw(32, 0);
    QCOMPARE(hid_read(second, raw.data(), raw.size()), 32);
    QCOMPARE(hid_read(third, raw.data(), raw.size()), 0);
    QCOMPARE(read().payload.at(0), std::uint8_t(0x16));
    hid_close(second);
    hid_close(third);
    QCOMPARE(sim::unit().openHandles(), 1);

    // A handle holds 64 reports; later ones are lost until it is read.
    for (int i = 0; i < 70; ++i)
        send({0x06, 0xAA, std::uint8_t(i % 55)});
    QCOMPARE(sim::unit().queuedReports(), std::size_t(64));
    QCOMPARE(sim::unit().counters().overflowDrops, 6);
    QCOMPARE(classify(read()), QString("block0"));
    QCOMPARE(pendingReads(), 63);
}

void TestUnit::latency() {
    using namespace std::chrono;
    sim::unit().setLatencyMs(40);
    const auto start = steady_clock::now();
    QCOMPARE(send({0x06, 0x16}), 32);
    QCOMPARE(read(0).n, 0);
    QCOMPARE(read(5).n, 0); // waits its time-out, no longer
    QVERIFY(steady_clock::now() - start >= milliseconds(5));
    const In in = read(1000);
    const auto took = steady_clock::now() - start;
    QVERIFY(in.ok());
    QVERIFY(took >= milliseconds(40));
    QVERIFY(took < milliseconds(900));
    // Blocking read waits for an answer on its way too.
    QCOMPARE(send({0x06, 0x16}), 32);
    Bytes raw(32, 0);
    QCOMPARE(hid_read(dev_, raw.data(), raw.size()), 32);
}

// Whatever it is sent, the unit stays inside its buffers (run under the sanitizers to see it).
void TestUnit::hostileReportsStayInBounds() {
    std::mt19937 rng(2024);
    const std::uint8_t codes[] = {0x00, 0x01, 0x02, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09,
                                  0x0A, 0x0B, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x13, 0x15,
                                  0x16, 0x17, 0x41, 0xAA, 0xB0, 0xC1, 0xFF};
    for (int i = 0; i < 20000; ++i) {
        Bytes report(32);
        if (i % 2) {
            for (auto& b : report)
                b = std::uint8_t(rng());
        } else {
            Bytes payload(rng() % 25);
            for (auto& b : payload)
                b = std::uint8_t(rng());
            if (payload.size() > 0) payload[0] = std::uint8_t(5 + rng() % 2);
            if (payload.size() > 1) payload[1] = codes[rng() % sizeof codes];
            report = outReport(std::uint8_t(i), payload);
        }
        const std::size_t length = (i % 97 == 0) ? rng() % 64 + 1 : 32;
        report.resize(std::max<std::size_t>(length, 1));
        QCOMPARE(hid_write(dev_, report.data(), length), int(length));
        if (i % 3 == 0) read();
    }
    QVERIFY(sim::unit().frames().size() > 9000);
    pendingReads();
    QCOMPARE(readMemory(0, 4), hex("9B B2 34 01"));
}

// The unit the demo gets: a tuned car that passes the application's checks on read-back.
// A failing cell holds its value through a write to it, a scene recall and a wholesale image; its
// neighbours work; a reset frees it.
void TestUnit::stuckByte() {
    sim::unit().stickByte(43, 1); // CH6's mute stuck on
    QCOMPARE(readMemory(38, 6), hex("00 00 00 00 00 01"));
    QCOMPARE(send(hex("05 05 05 00")), 32); // CH6 unmuted
    QCOMPARE(send(hex("05 05 04 01")), 32); // CH5 muted
    QCOMPARE(readMemory(38, 6), hex("00 00 00 00 01 01"));
    QCOMPARE(send(hex("05 0F 01")), 32); // scene 1 recalled: the factory image, nothing muted
    QCOMPARE(readMemory(38, 6), hex("00 00 00 00 00 01"));
    QCOMPARE(sim::unit().counters().sceneRecalls, 1);

    sim::unit().reset();
    QCOMPARE(send(hex("05 05 05 01")), 32);
    QCOMPARE(send(hex("05 05 05 00")), 32);
    QCOMPARE(readMemory(38, 6), hex("00 00 00 00 00 00"));

    sim::Unit stuck;
    QVERIFY(stuck.startAs("stuck"));
    QCOMPARE(stuck.memory()[43], std::uint8_t(1));
}

void TestUnit::demoState() {
    sim::Unit demo;
    QVERIFY(demo.latencyMs() > 0);
    const sim::Memory& m = demo.memory();
    auto u16 = [&m](std::size_t at) { return unsigned(m[at] | (m[at + 1] << 8)); };
    int shaped = 0, hpfOn = 0, lpfOn = 0, delayed = 0;
    QVERIFY(m[10] <= 2);
    QVERIFY(u16(24) <= 600);
    for (std::size_t ch = 0; ch < 6; ++ch) {
        for (std::size_t b = 0; b < 31; ++b) {
            const unsigned g = u16(452 + 2 * (ch * 31 + b));
            QVERIFY(g >= 120 && g <= 360);
            shaped += g != 240;
            const unsigned f = u16(80 + 2 * (ch * 31 + b));
            QVERIFY(f >= 20 && f <= 20000);
            QVERIFY(m[824 + ch * 31 + b] >= 4 && m[824 + ch * 31 + b] <= 100);
        }
        const unsigned hpf = u16(1016 + 2 * ch), lpf = u16(1046 + 2 * ch);
        QVERIFY(hpf >= 20 && hpf <= 20000 && lpf >= 20 && lpf <= 20000);
        QVERIFY(m[1028 + ch] <= 7 && m[1058 + ch] <= 7 && m[1040 + ch] <= 2 && m[1070 + ch] <= 2);
        hpfOn += m[1034 + ch] == 0;
        lpfOn += m[1064 + ch] == 0;
        QVERIFY(u16(26 + 2 * ch) <= 600);
        QVERIFY(u16(44 + 2 * ch) <= 500);
        delayed += u16(44 + 2 * ch) != 0;
        QVERIFY(m[38 + ch] <= 1 && m[56 + ch] <= 1 && m[4 + ch] <= 20);
    }
    QVERIFY(shaped >= 6);
    QVERIFY(hpfOn > 0 && lpfOn > 0 && delayed > 0);
    int named = 0, empty = 0;
    for (int k = 1; k <= 9; ++k) {
        const std::uint8_t first = demo.scene(k).name[0];
        if (first >= 0x41 && first <= 0x7A) ++named;
        if (first == 0xFF) ++empty;
    }
    QVERIFY(named > 0 && empty > 0);
}

QTEST_APPLESS_MAIN(TestUnit)
#include "test_unit.moc"
