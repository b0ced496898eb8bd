// The diff of two scene images: the lines in both languages, their order, and what an entry
// carries besides its line.
#include "model/param_image.h"
#include "session/tune_diff.h"
#include "tune_fixture.h"

#include <QtTest>
#include <functional>

using namespace tarn;

// Changes to the fixture, in the "*.SCE" encoding (EQ gain = dB x 10 + 240).
using ImageEdit = std::function<void(ParamImage&)>;
Q_DECLARE_METATYPE(ImageEdit)

namespace {

ParamImage::Bytes edited(const ImageEdit& edit) {
    ParamImage p;
    p.bytes() = test::Tune_Fixture();
    edit(p);
    return p.bytes();
}

} // namespace

class TestTuneDiff : public QObject {
    Q_OBJECT

  private slots:
    void lines_data() {
        QTest::addColumn<ImageEdit>("edit");
        QTest::addColumn<QStringList>("en");
        QTest::addColumn<QStringList>("zh");
        QTest::newRow("identical")
            << ImageEdit([](ParamImage&) {}) << QStringList() << QStringList();
        QTest::newRow("a band's gain and frequency: one entry")
            << ImageEdit([](ParamImage& p) {
                   p.set_EQ_Freq(2, 9, 160);
                   p.set_EQ_Gain(2, 9, 240);
               })
            << QStringList{"CH3 EQ band 10: +6.0 dB at 170 Hz, Q 3.0 → 0.0 dB at 160 Hz, Q 3.0"}
            << QStringList{"CH3 均衡第 10 段：170 Hz 处 +6.0 dB，Q 3.0 → 160 Hz 处 0.0 dB，Q 3.0"};
        QTest::newRow("unit-wide first, then channel by channel in the window's order")
            << ImageEdit([](ParamImage& p) {
                   p.set_CH_Mute(2, 1);
                   p.set_CH_Delay(0, 0);
                   p.set_Total_Vol(600);
                   p.set_CH_Name(0, 7);
                   p.set_Input_Source(0);
               })
            << QStringList{"input source: OPT → HI", "master volume: -10.0 dB → 0.0 dB",
                           "CH1 speaker role: FL-FULL → FR-FULL", "CH1 delay: 3.20 ms → 0.00 ms",
                           "CH3 mute: off → on"}
            << QStringList{"输入源：光纤 → 高电平", "总音量：-10.0 dB → 0.0 dB",
                           "CH1 扬声器角色：前左全频 → 前右全频", "CH1 延时：3.20 ms → 0.00 ms",
                           "CH3 静音：关 → 开"};
        QTest::newRow("a crossover filter: one entry")
            << ImageEdit([](ParamImage& p) {
                   p.set_HPF_Off(1, 0);
                   p.set_HPF_Type(1, 2);
                   p.set_HPF_Slope(1, 1);
                   p.set_HPF_Freq(1, 80);
               })
            << QStringList{"CH2 high-pass: OFF (Butterworth, -24dB/Oct, 20 Hz) → Bessel, "
                           "-12dB/Oct, 80 Hz"}
            << QStringList{"CH2 高通滤波器：关闭（巴特沃斯，-24dB/Oct，20 Hz） → 贝塞尔，"
                           "-12dB/Oct，80 Hz"};
        QTest::newRow("noise gate, level, EQ bypass")
            << ImageEdit([](ParamImage& p) {
                   p.set_EQ_Bypass(1, 1);
                   p.set_CH_Vol(1, 600);
                   p.set_NoiseGate(0);
               })
            << QStringList{"noise gate: L2 → OFF", "CH2 level: -4.5 dB → 0.0 dB",
                           "CH2 EQ bypass: off → on"}
            << QStringList{"噪声门：2级 → 关闭", "CH2 音量：-4.5 dB → 0.0 dB",
                           "CH2 直通均衡：关 → 开"};
        QTest::newRow("phase, and a typed gain past -12 dB")
            << ImageEdit([](ParamImage& p) {
                   p.set_EQ_Gain(5, 0, 40);
                   p.set_CH_Phase(5, 0);
               })
            << QStringList{"CH6 phase: 180° → 0°",
                           "CH6 EQ band 1: 0.0 dB at 20 Hz, Q 3.0 → -20.0 dB at 20 Hz, Q 3.0"}
            << QStringList{"CH6 相位：反相 → 正相",
                           "CH6 均衡第 1 段：20 Hz 处 0.0 dB，Q 3.0 → 20 Hz 处 -20.0 dB，Q 3.0"};
        QTest::newRow("firmware version")
            << ImageEdit([](ParamImage& p) { p.set_FW_Version(20240201); })
            << QStringList{"firmware version: 20240131 → 20240201"}
            << QStringList{"固件版本：20240131 → 20240201"};
        QTest::newRow("reserved runs, beside fields and at the end")
            << ImageEdit([](ParamImage& p) {
                   for (int i = 0x0F00; i <= 0x0F0F; ++i)
                       p.setU8(i, 0x11);
                   p.setU8(0x0FFE, 1);
                   p.setU8(0x0FFF, 1);
                   p.setU8(12, 1);
                   p.setU8(23, 1);    // last reserved byte before the master volume
                   p.setU8(24, 0xF5); // master volume 500 -> 501
                   p.setU8(1015, 1);  // last reserved byte before the crossovers
                   p.set_HPF_Freq(0, 21);
               })
            << QStringList{"master volume: -10.0 dB → -9.9 dB",
                           "CH1 high-pass: OFF (Butterworth, -24dB/Oct, 20 Hz) → OFF "
                           "(Butterworth, -24dB/Oct, 21 Hz)",
                           "reserved byte 0x000C: 00 → 01",
                           "reserved byte 0x0017: 00 → 01",
                           "reserved byte 0x03F7: 00 → 01",
                           "reserved bytes 0x0F00–0x0F0F: 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                           "00 00 00 → "
                           "11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11",
                           "reserved bytes 0x0FFE–0x0FFF: 00 5A → 01 01"}
            << QStringList{
                   "总音量：-10.0 dB → -9.9 dB",
                   "CH1 高通滤波器：关闭（巴特沃斯，-24dB/Oct，20 Hz） → "
                   "关闭（巴特沃斯，-24dB/Oct，21 Hz）",
                   "保留字节 0x000C：00 → 01",
                   "保留字节 0x0017：00 → 01",
                   "保留字节 0x03F7：00 → 01",
                   "保留字节 0x0F00–0x0F0F：00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 → "
                   "11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11",
                   "保留字节 0x0FFE–0x0FFF：00 5A → 01 01"};
        QTest::newRow("values the window has no name for, shown as stored")
            << ImageEdit([](ParamImage& p) {
                   p.set_Input_Source(7);
                   p.set_LPF_Off(3, 2);
                   p.set_LPF_Type(3, 3);
                   p.set_LPF_Slope(3, 9);
                   p.set_CH_Name(3, 255);
               })
            << QStringList{"input source: OPT → 7", "CH4 speaker role: RR-FULL → unknown (255)",
                           "CH4 low-pass: OFF (Butterworth, -24dB/Oct, 20000 Hz) → switch 2 (3, "
                           "9, 20000 Hz)"}
            << QStringList{"输入源：光纤 → 7", "CH4 扬声器角色：后右全频 → 未知（255）",
                           "CH4 低通滤波器：关闭（巴特沃斯，-24dB/Oct，20000 Hz） → 开关 2（3，9，"
                           "20000 Hz）"};
    }

    void lines() {
        QFETCH(ImageEdit, edit);
        QFETCH(QStringList, en);
        QFETCH(QStringList, zh);
        const TuneDiff diff = Diff_Scenes(test::Tune_Fixture(), edited(edit));
        QCOMPARE(diff.lines(true), en);
        QCOMPARE(diff.lines(false), zh);
        QCOMPARE(diff.count(), en.size());
    }

    // What the command line's machine-readable output and the history take from an entry.
    void entriesCarryIdAndValues() {
        const TuneDiff diff = Diff_Scenes(test::Tune_Fixture(), edited([](ParamImage& p) {
                                              p.set_EQ_Gain(2, 9, 225);
                                              p.setU8(0x0F00, 0x12);
                                              p.setU8(0x0F01, 0xAB);
                                          }));
        QCOMPARE(diff.count(), 2);
        const TuneDiffEntry& band = diff.entries.at(0);
        QCOMPARE(band.id, QStringLiteral("/channels/CH3/eq/10"));
        QCOMPARE(band.label.en, QStringLiteral("CH3 EQ band 10"));
        QCOMPARE(band.before.en, QStringLiteral("+6.0 dB at 170 Hz, Q 3.0"));
        QCOMPARE(band.after.en, QStringLiteral("-1.5 dB at 170 Hz, Q 3.0"));
        QCOMPARE(band.after.zh, QStringLiteral("170 Hz 处 -1.5 dB，Q 3.0"));
        const TuneDiffEntry& run = diff.entries.at(1);
        QCOMPARE(run.id, QStringLiteral("/reserved/0x0F00-0x0F01"));
        QCOMPARE(run.before.en, QStringLiteral("0000"));
        QCOMPARE(run.after.en, QStringLiteral("12AB"));
        QVERIFY(!run.beforeCode && !band.afterCode);

        const TuneDiff roles =
            Diff_Scenes(test::Tune_Fixture(), edited([](ParamImage& p) { p.set_CH_Name(0, 200); }));
        const TuneDiffEntry& role = roles.entries.at(0);
        QCOMPARE(role.id, QStringLiteral("/channels/CH1/role"));
        QCOMPARE(role.before.en, QStringLiteral("FL-FULL"));
        QCOMPARE(role.after.en, QStringLiteral("unknown (200)"));
        QCOMPARE(role.beforeCode, std::optional<int>(3));
        QCOMPARE(role.afterCode, std::optional<int>(200));
    }

    // The other way round, every entry keeps its place and swaps its values.
    void reversedDiffSwapsValues() {
        const ParamImage::Bytes a = test::Tune_Fixture();
        const ParamImage::Bytes b = edited([](ParamImage& p) {
            p.set_CH_Delay(4, 1500);
            p.set_EQ_Q(0, 30, 100);
            p.set_Total_Vol(0);
        });
        const QStringList forward = Diff_Scenes(a, b).lines(true);
        const QStringList backward = Diff_Scenes(b, a).lines(true);
        QCOMPARE(forward, (QStringList{"master volume: -10.0 dB → -60.0 dB",
                                       "CH1 EQ band 31: 0.0 dB at 20000 Hz, Q 3.0 → 0.0 dB at "
                                       "20000 Hz, Q 10.0",
                                       "CH5 delay: 0.00 ms → 15.00 ms"}));
        QCOMPARE(backward, (QStringList{"master volume: -60.0 dB → -10.0 dB",
                                        "CH1 EQ band 31: 0.0 dB at 20000 Hz, Q 10.0 → 0.0 dB at "
                                        "20000 Hz, Q 3.0",
                                        "CH5 delay: 15.00 ms → 0.00 ms"}));
    }
};

QTEST_GUILESS_MAIN(TestTuneDiff)
#include "test_tune_diff.moc"
