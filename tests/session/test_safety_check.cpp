// The safety check of a tune: each rule with a case that finds it and one that does not, on a
// tune that is otherwise sound, and the words of a finding in both languages.
#include "model/param_image.h"
#include "session/safety_check.h"

#include <QtTest>
#include <functional>

using namespace tarn;

using Edit = std::function<void(ParamImage&)>;
Q_DECLARE_METATYPE(Edit)

namespace {

void filter(ParamImage& p, const FilterFields& f, int ch, bool on, int freq, int slope = 3,
            int type = 1) {
    p.setFilterOff(f, ch, on ? 0 : 1);
    p.setFilterFreq(f, ch, static_cast<uint16_t>(freq));
    p.setFilterSlope(f, ch, static_cast<uint8_t>(slope));
    p.setFilterType(f, ch, static_cast<uint8_t>(type));
}

void band(ParamImage& p, int ch, int b, int freq, int gainTenths, int q = 30) {
    p.set_EQ_Freq(ch, b, static_cast<uint16_t>(freq));
    p.set_EQ_Gain(ch, b, static_cast<uint16_t>(kGainFlat + gainTenths));
    p.set_EQ_Q(ch, b, static_cast<uint8_t>(q));
}

// Front tweeters (3 kHz, LR 24 dB/oct), front woofers (60 Hz..3 kHz), a centre (300 Hz..3 kHz) and
// a subwoofer (25..80 Hz); levels at 0 dB, every band flat: nothing to find.
ParamImage soundTune() {
    Param_Init();
    ParamImage p = Param_Image;
    const uint8_t roles[kChannels] = {0, 4, 2, 6, 16, 19};
    for (int ch = 0; ch < kChannels; ++ch) {
        p.set_CH_Name(ch, roles[ch]);
        p.set_CH_Vol(ch, 600);
        p.set_CH_Phase(ch, 0);
    }
    for (int ch : {0, 1}) {
        filter(p, kHpfFields, ch, true, 3000);
        filter(p, kLpfFields, ch, false, 20000);
    }
    for (int ch : {2, 3}) {
        filter(p, kHpfFields, ch, true, 60);
        filter(p, kLpfFields, ch, true, 3000);
    }
    filter(p, kHpfFields, 4, true, 300);
    filter(p, kLpfFields, 4, true, 3000);
    filter(p, kHpfFields, 5, true, 25);
    filter(p, kLpfFields, 5, true, 80);
    return p;
}

// "channel:rule" of every finding, channels from 1.
QStringList found(const ParamImage& p) {
    QStringList out;
    for (const SafetyFinding& f : Safety_Check(p))
        out.append(QStringLiteral("%1:%2").arg(f.channel + 1).arg(static_cast<int>(f.rule)));
    return out;
}

} // namespace

class TestSafetyCheck : public QObject {
    Q_OBJECT

  private slots:
    void soundTuneFindsNothing() { QCOMPARE(found(soundTune()), QStringList()); }

    void rules_data() {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QStringList>("expected");
        const auto both = [](const std::function<void(ParamImage&, int)>& e) {
            return Edit([e](ParamImage& p) {
                e(p, 0);
                e(p, 1);
            });
        };
        // 1. Tweeters.
        QTest::newRow("1: tweeters' high-pass off")
            << both([](ParamImage& p, int ch) { p.set_HPF_Off(ch, 1); })
            << QStringList{"1:1", "2:1"};
        QTest::newRow("1: tweeters at 1800 Hz")
            << both([](ParamImage& p, int ch) { p.set_HPF_Freq(ch, 1800); })
            << QStringList{"1:1", "2:1"};
        QTest::newRow("1: tweeters at 6 dB/oct")
            << both([](ParamImage& p, int ch) { p.set_HPF_Slope(ch, 0); })
            << QStringList{"1:1", "2:1"};
        QTest::newRow("1: tweeters at 2000 Hz, 12 dB/oct: sound")
            << both([](ParamImage& p, int ch) {
                   p.set_HPF_Freq(ch, 2000);
                   p.set_HPF_Slope(ch, 1);
               })
            << QStringList{};
        // 2. Midranges, and woofers beside a subwoofer.
        const auto midranges = [](int freq, bool on) {
            return Edit([freq, on](ParamImage& p) {
                p.set_CH_Name(2, 1);
                p.set_CH_Name(3, 5);
                for (int ch : {2, 3})
                    filter(p, kHpfFields, ch, on, freq);
            });
        };
        QTest::newRow("2: midranges at 90 Hz") << midranges(90, true) << QStringList{"3:2", "4:2"};
        QTest::newRow("2: midranges' high-pass off")
            << midranges(300, false) << QStringList{"3:2", "4:2"};
        QTest::newRow("2: midranges at 100 Hz: sound") << midranges(100, true) << QStringList{};
        QTest::newRow("2: woofers without high-pass beside the subwoofer")
            << Edit([](ParamImage& p) {
                   p.set_HPF_Off(2, 1);
                   p.set_HPF_Off(3, 1);
               })
            << QStringList{"3:2", "4:2"};
        QTest::newRow("2: woofers without high-pass, no subwoofer: sound")
            << Edit([](ParamImage& p) {
                   p.set_HPF_Off(2, 1);
                   p.set_HPF_Off(3, 1);
                   p.set_CH_Name(5, 20); // OFF
               })
            << QStringList{};
        // 3. Subwoofers.
        QTest::newRow("3: subwoofer's low-pass off")
            << Edit([](ParamImage& p) { p.set_LPF_Off(5, 1); }) << QStringList{"6:3"};
        QTest::newRow("3: subwoofer at 120 Hz: sound")
            << Edit([](ParamImage& p) { p.set_LPF_Freq(5, 120); }) << QStringList{};
        // 4. Boost below the high-pass (the level lowered: no headroom finding).
        QTest::newRow("4: +3 dB at 40 Hz below the 60 Hz high-pass") << Edit([](ParamImage& p) {
            band(p, 2, 0, 40, 30);
            p.set_CH_Vol(2, 500);
        }) << QStringList{"3:4"};
        QTest::newRow("4: +3 dB at 80 Hz, -3 dB at 40 Hz: sound") << Edit([](ParamImage& p) {
            band(p, 2, 0, 40, -30);
            band(p, 2, 1, 80, 30);
            p.set_CH_Vol(2, 500);
        }) << QStringList{};
        QTest::newRow("4: +3 dB at 40 Hz, high-pass off: sound") << Edit([](ParamImage& p) {
            band(p, 4, 0, 40, 30);
            p.set_HPF_Off(4, 1);
            p.set_CH_Vol(4, 500);
        }) << QStringList{};
        // 5. One band above +6 dB.
        QTest::newRow("5: +6.5 dB") << Edit([](ParamImage& p) {
            band(p, 4, 17, 1000, 65);
            p.set_CH_Vol(4, 500);
        }) << QStringList{"5:5"};
        QTest::newRow("5: +6.0 dB: sound") << Edit([](ParamImage& p) {
            band(p, 4, 17, 1000, 60);
            p.set_CH_Vol(4, 500);
        }) << QStringList{};
        // 6. Headroom.
        QTest::newRow("6: +3 dB at 0 dB level")
            << Edit([](ParamImage& p) { band(p, 4, 17, 1000, 30); }) << QStringList{"5:6"};
        QTest::newRow("6: two overlapping +2 dB bands at -3 dB level") << Edit([](ParamImage& p) {
            band(p, 4, 17, 1000, 20);
            band(p, 4, 18, 1100, 20);
            p.set_CH_Vol(4, 570);
        }) << QStringList{"5:6"};
        QTest::newRow("6: +3 dB at -3 dB level: sound") << Edit([](ParamImage& p) {
            band(p, 4, 17, 1000, 30);
            p.set_CH_Vol(4, 570);
        }) << QStringList{};
        // 7. The two sides of a pair.
        QTest::newRow("7: polarity")
            << Edit([](ParamImage& p) { p.set_CH_Phase(1, 1); }) << QStringList{"2:7"};
        QTest::newRow("7: both inverted: sound") << Edit([](ParamImage& p) {
            p.set_CH_Phase(0, 1);
            p.set_CH_Phase(1, 1);
        }) << QStringList{};
        QTest::newRow("7: high-pass family")
            << Edit([](ParamImage& p) { p.set_HPF_Type(1, 0); }) << QStringList{"2:7"};
        QTest::newRow("7: high-pass slope")
            << Edit([](ParamImage& p) { p.set_HPF_Slope(1, 4); }) << QStringList{"2:7"};
        QTest::newRow("7: corners 0.18 octave apart")
            << Edit([](ParamImage& p) { p.set_HPF_Freq(1, 3400); }) << QStringList{"2:7"};
        QTest::newRow("7: corners 0.16 octave apart: sound")
            << Edit([](ParamImage& p) { p.set_HPF_Freq(1, 3350); }) << QStringList{};
        QTest::newRow("7: one woofer's low-pass off")
            << Edit([](ParamImage& p) { p.set_LPF_Off(3, 1); }) << QStringList{"4:7"};
        QTest::newRow("7: both tweeters' low-pass off, set differently: sound")
            << Edit([](ParamImage& p) { p.set_LPF_Slope(1, 6); }) << QStringList{};
    }
    void rules() {
        QFETCH(Edit, edit);
        QFETCH(QStringList, expected);
        ParamImage p = soundTune();
        edit(p);
        QCOMPARE(found(p), expected);
    }

    // A finding names the channel, the rule, the value and what to do, in both languages.
    void words_data() {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("zh");
        QTest::addColumn<QString>("en");
        QTest::newRow("tweeter") << Edit([](ParamImage& p) {
            p.set_HPF_Freq(0, 1800);
            p.set_HPF_Freq(1, 1800);
        })
                                 << "CH1 前左高频 · 高音单元的高通：高通 1800 Hz。"
                                    "请打开高通，设在 2000 Hz 以上，斜率至少 12 dB/oct"
                                 << "CH1 FL-Tweeter · Tweeter high-pass: the high-pass is at 1800 "
                                    "Hz. Switch on a high-pass at 2000 Hz or above, 12 dB/oct or "
                                    "steeper";
        QTest::newRow("headroom")
            << Edit([](ParamImage& p) {
                   band(p, 4, 17, 1000, 30);
                   p.set_CH_Vol(4, 590);
               })
            << "CH5 中置 · 余量不足：音量 -1.0 dB 加上均衡最大提升 +3.0 dB（1000 Hz），超出 0 dB "
               "2.0 dB。设备可能削波：请把 CH5 的音量至少降低 2.0 dB（到 -3.0 dB）"
            << "CH5 CEN-FULL · Headroom: the level -1.0 dB plus the largest EQ boost +3.0 dB (at "
               "1000 Hz) is 2.0 dB above 0 dB. The unit can clip: lower the level of CH5 by at "
               "least 2.0 dB (to -3.0 dB)";
        QTest::newRow("pair corner")
            << Edit([](ParamImage& p) { p.set_HPF_Freq(1, 3400); })
            << "CH2 前右高频 · 左右设置不一致：高通与 CH1 相差超过 1/6 倍频程（3400 Hz / 3000 "
               "Hz）。请把左右两侧设为相同"
            << "CH2 FR-Tweeter · Left and right differ: the high-pass is more than 1/6 octave "
               "from CH1's (3400 Hz / 3000 Hz). Set both sides the same";
    }
    void words() {
        QFETCH(Edit, edit);
        QFETCH(QString, zh);
        QFETCH(QString, en);
        ParamImage p = soundTune();
        edit(p);
        const std::vector<SafetyFinding> f = Safety_Check(p);
        QVERIFY(!f.empty());
        QCOMPARE(f[0].text.zh, zh);
        QCOMPARE(f[0].text.en, en);
    }
};

QTEST_APPLESS_MAIN(TestSafetyCheck)
#include "test_safety_check.moc"
