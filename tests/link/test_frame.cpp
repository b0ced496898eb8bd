// The frame in both directions: building the 32-byte report and its drop rules, and the scanner.
#include "link/frame.h"
#include "link/link_state.h"

#include <QtTest>

using namespace tarn;

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}
QByteArray report() {
    return QByteArray(reinterpret_cast<const char*>(Link.Tx_Report.data()), kReportSize);
}
void send(const QByteArray& payload) {
    Send_Frame(reinterpret_cast<const uint8_t*>(payload.constData()), payload.size());
}
void feed(const QByteArray& bytes) {
    Rx_Append(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size());
}
} // namespace

class TestFrame : public QObject {
    Q_OBJECT

    int accepted = 0;

  private slots:
    void init() {
        Link_Reset();
        accepted = 0;
        Link.replyHandler = [this] { ++accepted; };
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
        Link.Tx_Seq = static_cast<uint8_t>(seq);
        send(payload);
        QCOMPARE(report().left(expectedStart.size()), expectedStart);
        QCOMPARE(int(Link.Tx_Seq), (seq + 1) & 0xFF);
        QCOMPARE(int(Link.Idle_Count), 400);
    }

    void sequenceWrapsAfter256Frames() {
        const QByteArray ping = hex("0600");
        for (int i = 0; i < 255; ++i)
            send(ping);
        send(ping);
        QCOMPARE(int(Link.Tx_Report[4]), 0xFF);
        send(ping);
        QCOMPARE(int(Link.Tx_Report[4]), 0x00);
    }

    void dropRules() {
        Link.Tx_Seq = 5;
        Link.Send_Suppressed = 1;
        Link.Idle_Count = 3;
        send(hex("0616"));
        QCOMPARE(int(Link.Tx_Seq), 5);
        QCOMPARE(int(Link.Idle_Count), 400);

        Link.Send_Suppressed = 0;
        Link.Readback_Active = 1;
        send(hex("05C101"));
        QCOMPARE(int(Link.Tx_Seq), 5); // a write during the read-back is dropped
        send(hex("06AA03"));
        QCOMPARE(int(Link.Tx_Seq), 6); // a request still goes
        QCOMPARE(report().mid(6, 3), hex("06AA03"));
    }

    void refusesOversizedPayload() {
        const QByteArray tooLong(25, '\x05');
        const auto before = Link.Tx_Report;
        send(tooLong);
        Send_Frame_Raw(reinterpret_cast<const uint8_t*>(tooLong.constData()), -1);
        QVERIFY(Link.Tx_Report == before);
        QCOMPARE(int(Link.Tx_Seq), 0);
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
        Link.Rx_Read = Link.Rx_Write = static_cast<uint16_t>(start);
        feed(bytes);
        Parse_Frame();
        QCOMPARE(accepted, accept ? 1 : 0);
        if (accept) {
            QCOMPARE(int(Link.Reply_Code), code);
            QCOMPARE(int(Link.Reply_Data_Len), data.size());
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(Link.Reply_Data.data()), data.size()),
                     data);
        }
    }

    void oneFramePerCall() {
        const QByteArray frame = hex("FA2A0002 0241 69F5"); // code 0x02, data 41
        feed(frame + frame);
        Parse_Frame();
        QCOMPARE(accepted, 1);
        Parse_Frame();
        QCOMPARE(accepted, 2);
        Parse_Frame();
        QCOMPARE(accepted, 2);
    }

    void emptyPayloadKeepsCode() {
        Link.Reply_Code = 0x42;
        feed(hex("FA2A0500 29F5 000000"));
        Parse_Frame();
        QCOMPARE(accepted, 1);
        QCOMPARE(int(Link.Reply_Code), 0x42);
        QCOMPARE(int(Link.Reply_Data_Len), 0);
    }

    void wrongDirectionResumesAfterIt() {
        // FA A2 is skipped, the frame after it is found on the next call.
        feed(hex("FAA2") + hex("FA2A0703164142C7F5"));
        Parse_Frame();
        QCOMPARE(accepted, 0);
        Parse_Frame();
        QCOMPARE(accepted, 1);
    }
};

QTEST_MAIN(TestFrame)
#include "test_frame.moc"
