// The parameter image: layout, start-up defaults and the rules applied after a read-back.
#include "model/param_image.h"

#include <QtTest>

using namespace tarn;

class TestParamImage : public QObject {
    Q_OBJECT

  private slots:
    void init() { Param_Init(); }

    void layoutIsLittleEndianAtFixedOffsets() {
        Param_Image.set_CH_Vol(5, 0x1234);
        QCOMPARE(int(Param_Image.bytes()[36]), 0x34);
        QCOMPARE(int(Param_Image.bytes()[37]), 0x12);
        Param_Image.set_EQ_Gain(5, 30, 0xABCD); // last band of the last channel: bytes 822, 823
        QCOMPARE(int(Param_Image.bytes()[822]), 0xCD);
        QCOMPARE(int(Param_Image.bytes()[823]), 0xAB);
        Param_Image.set_LPF_Type(5, 2);
        QCOMPARE(int(Param_Image.bytes()[1075]), 2);
        Param_Image.bytes()[0] = 0x78;
        Param_Image.bytes()[1] = 0x56;
        Param_Image.bytes()[2] = 0x34;
        Param_Image.bytes()[3] = 0x12;
        QCOMPARE(Param_Image.FW_Version(), 0x12345678u);
    }

    void defaults() {
        const ParamImage& p = Param_Image;
        const int roles[6] = {3, 7, 11, 15, 16, 19};
        for (int ch = 0; ch < kChannels; ++ch) {
            QCOMPARE(int(p.CH_Name(ch)), roles[ch]);
            QCOMPARE(int(p.CH_Vol(ch)), 600);
            QCOMPARE(int(p.HPF_Freq(ch)), 20);
            QCOMPARE(int(p.LPF_Freq(ch)), 20000);
            QCOMPARE(int(p.HPF_Slope(ch)), 3);
            QCOMPARE(int(p.HPF_Off(ch)), 1);
            QCOMPARE(int(p.LPF_Off(ch)), 1);
            QCOMPARE(int(p.EQ_Freq(ch, 2)), 32);
            QCOMPARE(int(p.EQ_Freq(ch, 30)), 20000);
            QCOMPARE(int(p.EQ_Gain(ch, 7)), 120);
            QCOMPARE(int(p.EQ_Q(ch, 7)), 30);
            QCOMPARE(int(Pc.EQ_Gain_Saved[ch][7]), 120);
        }
        QCOMPARE(int(p.Total_Vol()), 600);
        for (int i = 1076; i < kImageSize; ++i)
            QCOMPARE(int(p.bytes()[i]), 0);
    }

    void validityRules_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("normalised");
        auto row = [](const char* name, int offset, int size, int raw, int normalised) {
            QTest::newRow(name) << offset << size << raw << normalised;
        };
        const int gain = 452 + 2 * (1 * 31 + 4); // CH2 band 5
        row("gain 240 is flat", gain, 2, 240, 120);
        row("gain 119 wraps and is reset", gain, 2, 119, 120);
        row("gain 120 is the lowest", gain, 2, 120, 0);
        row("gain 360 is the highest", gain, 2, 360, 240);
        row("gain 361 is reset", gain, 2, 361, 120);
        row("HPF 19 Hz", 1016 + 2, 2, 19, 20);
        row("HPF 20001 Hz", 1016 + 2, 2, 20001, 20);
        row("HPF 0 Hz", 1016 + 2, 2, 0, 20);
        row("LPF 0 Hz", 1046 + 2, 2, 0, 20000);
        row("LPF 25000 Hz", 1046 + 2, 2, 25000, 20000);
        row("LPF 20000 Hz kept", 1046 + 2, 2, 20000, 20000);
        row("HPF slope 8", 1028 + 1, 1, 8, 3);
        row("HPF slope 9", 1028 + 1, 1, 9, 3);
        row("LPF slope 7 kept", 1058 + 1, 1, 7, 7);
        row("LPF type 3", 1070 + 1, 1, 3, 0);
        row("HPF type 2 kept", 1040 + 1, 1, 2, 2);
        row("volume 601", 26 + 2, 2, 601, 600);
        row("delay 1500 kept (15.00 ms)", 44 + 2, 2, 1500, 1500);
        row("delay 1000 kept (10.00 ms)", 44 + 2, 2, 1000, 1000);
        row("delay 1501 reset", 44 + 2, 2, 1501, 0);
        row("phase 2", 56 + 1, 1, 2, 0);
        row("input 5", 10, 1, 5, 0);
        row("input 2 kept", 10, 1, 2, 2);
        row("master volume 601", 24, 2, 601, 600);
        row("master volume 600 kept", 24, 2, 600, 600);
        row("noise gate 7", 68, 2, 7, 0);
        row("noise gate 6 kept", 68, 2, 6, 6);
        const int freq = 80 + 2 * (2 * 31 + 2); // CH3 band 3
        row("band 3 at 0 Hz", freq, 2, 0, 32);
        row("band 3 at 19 Hz", freq, 2, 19, 32);
        row("band 3 at 20001 Hz", freq, 2, 20001, 32);
        row("band 3 at 20 Hz kept", freq, 2, 20, 20);
        const int q = 824 + 5 * 31 + 30; // CH6 band 31
        row("Q 0", q, 1, 0, 30);
        row("Q 0.3", q, 1, 3, 30);
        row("Q 0.4 kept", q, 1, 4, 4);
        row("Q 10.0 kept", q, 1, 100, 100);
        row("Q 10.1", q, 1, 101, 30);
        row("bypass 2 is on", 62 + 3, 1, 2, 1);
        row("HPF off 255 is off", 1034 + 1, 1, 255, 1);
        row("LPF off 2 is off", 1064 + 4, 1, 2, 1);
        row("LPF off 0 kept", 1064 + 4, 1, 0, 0);
    }
    void validityRules() {
        QFETCH(int, offset);
        QFETCH(int, size);
        QFETCH(int, raw);
        QFETCH(int, normalised);
        // Every gain arrives in the unit's encoding: start from a flat unit image.
        for (int ch = 0; ch < kChannels; ++ch)
            for (int b = 0; b < kBands; ++b)
                Param_Image.set_EQ_Gain(ch, b, 240);
        if (size == 2)
            Param_Image.setU16(offset, static_cast<uint16_t>(raw));
        else
            Param_Image.setU8(offset, static_cast<uint8_t>(raw));
        Apply_Validity_Rules(Param_Image, Pc);
        QCOMPARE(size == 2 ? int(Param_Image.u16(offset)) : int(Param_Image.u8(offset)),
                 normalised);
        if (offset >= 452 && offset < 824) {
            const int index = (offset - 452) / 2;
            QCOMPARE(int(Pc.EQ_Gain_Saved[index / 31][index % 31]), normalised);
        }
    }

    void masterMuteJudgedBeforeMuteLimit() {
        for (int ch = 0; ch < kChannels; ++ch)
            Param_Image.set_CH_Mute(ch, 2);
        QVERIFY(Apply_Validity_Rules(Param_Image, Pc));
        QCOMPARE(int(Pc.Master_Mute), 1);
        for (int ch = 0; ch < kChannels; ++ch)
            QCOMPARE(int(Param_Image.CH_Mute(ch)), 0);

        Param_Init();
        Param_Image.set_CH_Mute(3, 1);
        QVERIFY(!Apply_Validity_Rules(Param_Image, Pc));
        QCOMPARE(int(Pc.Master_Mute), 0);
    }

    void blockStoreCoversOnlyTheReadBackArea() {
        uint8_t block[20];
        std::fill(std::begin(block), std::end(block), 0xEE);
        QVERIFY(Param_Image.storeBlock(54, block));
        QCOMPARE(int(Param_Image.bytes()[1080]), 0xEE);
        QCOMPARE(int(Param_Image.bytes()[1099]), 0xEE);
        QCOMPARE(int(Param_Image.bytes()[1100]), 0);
        const auto before = Param_Image.bytes();
        QVERIFY(!Param_Image.storeBlock(55, block));
        QVERIFY(!Param_Image.storeBlock(255, block));
        QVERIFY(Param_Image.bytes() == before);
    }

    void unmappedBytesSurviveTheRules() {
        Param_Image.bytes()[15] = 0x5A;
        Param_Image.bytes()[75] = 0x5B;
        Param_Image.bytes()[1012] = 0x5C;
        Param_Image.bytes()[1090] = 0x5D;
        Param_Image.bytes()[4095] = 0x5E;
        Apply_Validity_Rules(Param_Image, Pc);
        QCOMPARE(int(Param_Image.bytes()[15]), 0x5A);
        QCOMPARE(int(Param_Image.bytes()[75]), 0x5B);
        QCOMPARE(int(Param_Image.bytes()[1012]), 0x5C);
        QCOMPARE(int(Param_Image.bytes()[1090]), 0x5D);
        QCOMPARE(int(Param_Image.bytes()[4095]), 0x5E);
    }
};

QTEST_APPLESS_MAIN(TestParamImage)
#include "test_param_image.moc"
