// Command payloads, byte for byte.
#include "model/commands.h"
#include "model/param_image.h"

#include <QtTest>

using namespace tarn;

namespace {
QByteArray bytes(const Payload& p) {
    return QByteArray(reinterpret_cast<const char*>(p.bytes.data()), p.size);
}
QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}
const uint8_t kData[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
} // namespace

class TestCommands : public QObject {
    Q_OBJECT

  private slots:
    void init() { Param_Init(); }

    void eqBandGainEncoding_data() {
        QTest::addColumn<int>("pcGain");
        QTest::addColumn<QByteArray>("wireGain");
        QTest::newRow("flat") << 120 << hex("F000");
        QTest::newRow("lowest slider value") << 0 << hex("7800");
        QTest::newRow("highest slider value") << 240 << hex("6801");
        QTest::newRow("typed -20.0 dB") << -80 << hex("2800");
        QTest::newRow("typed +20.0 dB") << 320 << hex("B801");
    }
    void eqBandGainEncoding() {
        QFETCH(int, pcGain);
        QFETCH(QByteArray, wireGain);
        Param_Image.set_EQ_Gain(1, 4, static_cast<uint16_t>(pcGain));
        Param_Image.set_EQ_Freq(1, 4, 20000);
        Param_Image.set_EQ_Q(1, 4, 30);
        QCOMPARE(bytes(Make_EQ_Band(Param_Image, 1, 4)),
                 hex("0508 0104 204E") + wireGain + hex("1E"));
    }

    void payloads_data() {
        QTest::addColumn<QByteArray>("actual");
        QTest::addColumn<QByteArray>("expected");
        auto row = [](const char* name, const Payload& p, const char* expected) {
            QTest::newRow(name) << bytes(p) << hex(expected);
        };
        row("HPF CH3 Butterworth 80 Hz -24 active", Make_HPF(2, 0, 80, 3, 0),
            "0506 0200 5000 0300");
        row("LPF CH6 Bessel 20000 Hz off", Make_LPF(5, 2, 20000, 7, 1), "0507 0502 204E 0701");
        row("factory reset", Make_Factory_Reset(), "0501 01");
        row("input optical", Make_Input_Source(2), "0502 02");
        row("channel volume", Make_CH_Vol(1, 555), "0504 01 2B02");
        row("mute", Make_CH_Mute(3, 1), "0505 0301");
        row("delay", Make_CH_Delay(0, 1500), "0509 00 DC05");
        row("phase", Make_CH_Phase(4, 1), "050A 0401");
        row("master volume", Make_Total_Vol(600), "050D 5802");
        row("noise gate off", Make_NoiseGate(0), "0513 0000");
        row("noise gate level 1", Make_NoiseGate(1), "0513 0101");
        row("noise gate level 6", Make_NoiseGate(6), "0513 0601");
        row("scene call", Make_Scene_Call(9), "050F 09");
        row("scene delete", Make_Scene_Delete(1), "0511 01");
        row("close", Make_Close(), "05C1 01");
        row("ping", Make_Ping(), "0600");
        row("device name", Make_Device_Name_Request(), "0616");
        row("block 54", Make_Block_Request(54), "06AA 36");
        row("scene name 3", Make_Scene_Name_Request(3), "0610 03");
        row("scene block", Make_Scene_Block_Request(2, 55), "0615 0237");
        row("image block", Make_Image_Block(54, kData),
            "0541 36 0102030405060708090A0B0C0D0E0F1011121314");
        row("scene block write", Make_Scene_Block(9, 0, kData),
            "0515 0900 0102030405060708090A0B0C0D0E0F1011121314");
        row("upgrade frame high byte first", Make_Upgrade_Frame(0x0102, kData),
            "05B0 0102 0102030405060708090A0B0C0D0E0F10");
        const uint8_t name[16] = {'C', 'a', 'r', 0};
        row("scene save", Make_Scene_Save(4, name), "050E 04 43617200000000000000000000000000");
    }
    void payloads() {
        QFETCH(QByteArray, actual);
        QFETCH(QByteArray, expected);
        QCOMPARE(actual, expected);
        QVERIFY(actual.size() <= 24);
    }

    void mirrorBuilders() {
        Param_Image.set_EQ_Bypass(2, 1);
        QCOMPARE(bytes(Make_EQ_Bypass(Param_Image, 2)), hex("050B 0201"));
        QCOMPARE(bytes(Make_CH_Name(Param_Image)), hex("0517 03070B0F1013"));
    }
};

QTEST_APPLESS_MAIN(TestCommands)
#include "test_commands.moc"
