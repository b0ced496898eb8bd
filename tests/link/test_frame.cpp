// The frame in both directions: building the 32-byte report and the link's drop rules, the
// decoder over a byte span, and the ring scanner built on it.
#include "link/frame.h"
#include "link/link_machine.h"
#include "tests/support/window_fixture.h"

#include <QtTest>

using namespace tarn;

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}
QByteArray report() {
    return QByteArray(reinterpret_cast<const char*>(Link_Machine().txReport().data()), kReportSize);
}
void send(const QByteArray& payload) {
    Link_Machine().Send_Frame(reinterpret_cast<const uint8_t*>(payload.constData()),
                              static_cast<int>(payload.size()));
}
} // namespace

Q_DECLARE_METATYPE(tarn::DecodeStatus)

class TestFrame : public QObject {
    Q_OBJECT

    int accepted = 0;
    RxRing ring;
    Reply reply;

    void feed(const QByteArray& bytes) {
        ring.append(reinterpret_cast<const uint8_t*>(bytes.constData()),
                    static_cast<int>(bytes.size()));
    }
    void scan() {
        if (Scan_Ring(ring, reply)) ++accepted;
    }

  private slots:
    void init() {
        tarn::test::resetWorld();
        sim::unit().setPlugged(false); // frames are built, nothing is written
        accepted = 0;
        ring.clear();
        reply = Reply{};
    }

    void builds_data() {
        QTest::addColumn<int>("seq");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("expectedStart");

        QTest::newRow("name request, seq 0") << 0 << hex("0616") << hex("0020FAA2000206 16BAF5");
        QTest::newRow("empty payload") << 0x10 << QByteArray() << hex("0020FAA2100 0ACF5");
        QTest::newRow("empty payload, checksum wraps")
            << 0x70 << QByteArray() << hex("0020FAA27000 0CF5");
        QByteArray longest(24, '\x01');
        QTest::newRow("24-byte payload fills the report")
            << 1 << longest
            << hex("0020FAA20118") + longest +
                   QByteArray(1, char((0xFA + 0xA2 + 1 + 24 + 24) & 0xFF)) + hex("F5");
    }
    void builds() {
        QFETCH(int, seq);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, expectedStart);
        Link_Machine().setTxSeq(static_cast<uint8_t>(seq));
        send(payload);
        QCOMPARE(report().left(expectedStart.size()), expectedStart);
        QCOMPARE(int(Link_Machine().txSeq()), (seq + 1) & 0xFF);
        QCOMPARE(int(Link_Machine().idleCount()), 400);
    }

    void sequenceWrapsAfter256Frames() {
        const QByteArray ping = hex("0600");
        for (int i = 0; i < 255; ++i)
            send(ping);
        send(ping);
        QCOMPARE(int(Link_Machine().txReport()[4]), 0xFF);
        send(ping);
        QCOMPARE(int(Link_Machine().txReport()[4]), 0x00);
    }

    void dropRules() {
        Link_Machine().setTxSeq(5);
        Link_Machine().setSendSuppressed(1);
        Link_Machine().setIdleCount(3);
        send(hex("0616"));
        QCOMPARE(int(Link_Machine().txSeq()), 5);
        QCOMPARE(int(Link_Machine().idleCount()), 400);

        Link_Machine().setSendSuppressed(0);
        sim::unit().setPlugged(true);
        tarn::test::runTicks(1); // the name is accepted: the block read-back starts
        QVERIFY(Link_Machine().readingBlocks());
        Link_Machine().setTxSeq(5);
        send(hex("05C101"));
        QCOMPARE(int(Link_Machine().txSeq()), 5); // a write during the read-back is dropped
        send(hex("06AA03"));
        QCOMPARE(int(Link_Machine().txSeq()), 6); // a request still goes
        QCOMPARE(report().mid(6, 3), hex("06AA03"));
    }

    void refusesOversizedPayload() {
        const QByteArray tooLong(25, '\x05');
        const auto before = Link_Machine().txReport();
        send(tooLong);
        Link_Machine().Send_Frame_Raw(reinterpret_cast<const uint8_t*>(tooLong.constData()), -1);
        QVERIFY(Link_Machine().txReport() == before);
        QCOMPARE(int(Link_Machine().txSeq()), 0);
    }

    void scans_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("data");

        const QByteArray name = hex("FA2A070316 4142C7F5");
        QTest::newRow("accepted") << 0 << name << true << 0x16 << hex("4142");
        QTest::newRow("leading garbage skipped")
            << 0 << hex("00112399") + name << true << 0x16 << hex("4142");
        QTest::newRow("report position 1")
            << 0 << hex("20") + name + QByteArray(23, 0) << true << 0x16 << hex("4142");
        QTest::newRow("bad checksum")
            << 0 << hex("FA2A0703164142C8F5") << false << 0 << QByteArray();
        QTest::newRow("missing end marker")
            << 0 << hex("FA2A0703164142C7F4") << false << 0 << QByteArray();
        QTest::newRow("own direction marker")
            << 0 << hex("FAA20703164142C7F5") << false << 0 << QByteArray();
        QTest::newRow("six bytes wait") << 0 << hex("FA2A000024F5") << false << 0 << QByteArray();
        QTest::newRow("across the end of the ring")
            << 65531 << hex("00") + name << true << 0x16 << hex("4142");
        QTest::newRow("cut off") << 0 << hex("FA2A0703164142") << false << 0 << QByteArray();
    }
    void scans() {
        QFETCH(int, start);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accept);
        QFETCH(int, code);
        QFETCH(QByteArray, data);
        ring.read = ring.write = static_cast<uint16_t>(start);
        feed(bytes);
        scan();
        QCOMPARE(accepted, accept ? 1 : 0);
        if (accept) {
            QCOMPARE(int(reply.code), code);
            QCOMPARE(int(reply.length), data.size());
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(reply.data.data()), data.size()),
                     data);
        }
    }

    // The decoder alone: what it reports and how many bytes it used.
    void decodes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<DecodeStatus>("status");
        QTest::addColumn<int>("used");
        const QByteArray name = hex("FA2A0703164142C7F5");
        QTest::newRow("whole frame") << name << DecodeStatus::Ok << 9;
        QTest::newRow("garbage first") << hex("0011") + name << DecodeStatus::Ok << 11;
        QTest::newRow("only garbage") << hex("001122") << DecodeStatus::NeedMore << 3;
        QTest::newRow("cut off after garbage")
            << hex("00") + name.left(6) << DecodeStatus::NeedMore << 1;
        QTest::newRow("wrong direction") << hex("FAA2") + name << DecodeStatus::Bad << 2;
        QTest::newRow("bad checksum") << hex("FA2A0703164142C8F5") << DecodeStatus::Bad << 8;
        QTest::newRow("no end marker") << hex("FA2A0703164142C7F4") << DecodeStatus::Bad << 9;
        QTest::newRow("length past the bytes") << hex("FA2A07FF16") << DecodeStatus::NeedMore << 0;
    }
    void decodes() {
        QFETCH(QByteArray, bytes);
        QFETCH(DecodeStatus, status);
        QFETCH(int, used);
        Reply out;
        const DecodeResult r = Decode_Frame(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                            size_t(bytes.size()), out);
        QCOMPARE(r.status, status);
        QCOMPARE(int(r.used), used);
    }

    void oneFramePerCall() {
        const QByteArray frame = hex("FA2A0002 0241 69F5"); // code 0x02, data 41
        feed(frame + frame);
        scan();
        QCOMPARE(accepted, 1);
        scan();
        QCOMPARE(accepted, 2);
        scan();
        QCOMPARE(accepted, 2);
    }

    void emptyPayloadKeepsCode() {
        reply.code = 0x42;
        feed(hex("FA2A0500 29F5 000000"));
        scan();
        QCOMPARE(accepted, 1);
        QCOMPARE(int(reply.code), 0x42);
        QCOMPARE(int(reply.length), 0);
    }

    void wrongDirectionResumesAfterIt() {
        // FA A2 is skipped, the frame after it is found on the next call.
        feed(hex("FAA2") + hex("FA2A0703164142C7F5"));
        scan();
        QCOMPARE(accepted, 0);
        scan();
        QCOMPARE(accepted, 1);
    }
};

QTEST_MAIN(TestFrame)
#include "test_frame.moc"
