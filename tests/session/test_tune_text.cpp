// The tune text: image -> text -> image gives every byte back; a fixed image reads as the JSON a
// person expects; a hand edit the scene-file check would refuse is refused, naming the field,
// and no image comes out.
#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/tune_text.h"
#include "session/unit_files.h"
#include "sim/unit_sim.h"
#include "tune_fixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <random>

using namespace tarn;

namespace {

// Every field at a random value the scene-file check allows, every other byte random.
ParamImage::Bytes randomValidImage(std::mt19937& rng) {
    ParamImage p;
    std::uniform_int_distribution<int> byte(0, 255);
    for (uint8_t& b : p.bytes())
        b = static_cast<uint8_t>(byte(rng));
    auto pick = [&rng](ImageField field) {
        const FieldLimits l = Field_Limits(field);
        return std::uniform_int_distribution<int>(l.min, l.max)(rng);
    };
    auto u8 = [&](ImageField f) { return static_cast<uint8_t>(pick(f)); };
    auto u16 = [&](ImageField f) { return static_cast<uint16_t>(pick(f)); };
    p.set_FW_Version(std::uniform_int_distribution<uint32_t>()(rng));
    p.set_Input_Source(u8(ImageField::Input_Source));
    p.set_Total_Vol(u16(ImageField::Total_Vol));
    p.set_NoiseGate(u16(ImageField::NoiseGate));
    for (int ch = 0; ch < kChannels; ++ch) {
        p.set_CH_Name(ch, u8(ImageField::CH_Name));
        p.set_CH_Vol(ch, u16(ImageField::CH_Vol));
        p.set_CH_Mute(ch, u8(ImageField::CH_Mute));
        p.set_CH_Delay(ch, u16(ImageField::CH_Delay));
        p.set_CH_Phase(ch, u8(ImageField::CH_Phase));
        p.set_EQ_Bypass(ch, u8(ImageField::EQ_Bypass));
        for (int b = 0; b < kBands; ++b) {
            p.set_EQ_Freq(ch, b, u16(ImageField::EQ_Freq));
            p.set_EQ_Gain(ch, b, u16(ImageField::EQ_Gain));
            p.set_EQ_Q(ch, b, u8(ImageField::EQ_Q));
        }
        p.set_HPF_Freq(ch, u16(ImageField::HPF_Freq));
        p.set_HPF_Slope(ch, u8(ImageField::HPF_Slope));
        p.set_HPF_Off(ch, u8(ImageField::HPF_Off));
        p.set_HPF_Type(ch, u8(ImageField::HPF_Type));
        p.set_LPF_Freq(ch, u16(ImageField::LPF_Freq));
        p.set_LPF_Slope(ch, u8(ImageField::LPF_Slope));
        p.set_LPF_Off(ch, u8(ImageField::LPF_Off));
        p.set_LPF_Type(ch, u8(ImageField::LPF_Type));
    }
    return p.bytes();
}

// Every field at its lowest (or highest) allowed value, every other byte 0x00 (or 0xFF).
ParamImage::Bytes extremeImage(bool high) {
    ParamImage p;
    p.bytes().fill(high ? 0xFF : 0x00);
    p.set_FW_Version(high ? 0xFFFFFFFFu : 0u);
    // Every field starts outside its limits (all 00 or all FF) or at one; each refusal of the
    // check names one, which is set to its limit, until the check passes.
    while (const ImageViolation v = Check_Unit_Image(p.bytes().data())) {
        const FieldLimits l = Field_Limits(v.field);
        const int value = high ? l.max : l.min;
        const bool wide = v.field == ImageField::Total_Vol || v.field == ImageField::CH_Vol ||
                          v.field == ImageField::CH_Delay || v.field == ImageField::NoiseGate ||
                          v.field == ImageField::EQ_Freq || v.field == ImageField::EQ_Gain ||
                          v.field == ImageField::HPF_Freq || v.field == ImageField::LPF_Freq;
        if (wide)
            p.setU16(v.offset, static_cast<uint16_t>(value));
        else
            p.setU8(v.offset, static_cast<uint8_t>(value));
    }
    return p.bytes();
}

int firstDifference(const ParamImage::Bytes& a, const ParamImage::Bytes& b) {
    for (int i = 0; i < kImageSize; ++i)
        if (a[static_cast<size_t>(i)] != b[static_cast<size_t>(i)]) return i;
    return -1;
}

// The fixture's text with one value replaced (an undefined value removes the key).
QByteArray editedText(const QString& path, const QJsonValue& value) {
    const TuneTextResult written = Tune_Text_From_Scene(test::Tune_Fixture());
    const QJsonObject root = QJsonDocument::fromJson(written.text).object();
    const QStringList keys = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    std::function<QJsonObject(QJsonObject, int)> set = [&](QJsonObject o, int depth) {
        const QString& key = keys.at(depth);
        if (depth + 1 < keys.size())
            o.insert(key, set(o.value(key).toObject(), depth + 1));
        else if (value.isUndefined())
            o.remove(key);
        else
            o.insert(key, value);
        return o;
    };
    return QJsonDocument(set(root, 0)).toJson();
}

} // namespace

class TestTuneText : public QObject {
    Q_OBJECT

    // The row's text (text) is refused with the row's words (en, zh).
    void checkRefusal() {
        QFETCH(QByteArray, text);
        QFETCH(QString, en);
        QFETCH(QString, zh);
        const TuneSceneResult read = Scene_From_Tune_Text(text);
        QVERIFY(!read.scene.has_value());
        QCOMPARE(read.error.en, en);
        QCOMPARE(read.error.zh, zh);
    }

  private slots:
    void roundTripsEveryByte_data() {
        QTest::addColumn<QByteArray>("image");
        auto row = [](const char* name, const ParamImage::Bytes& bytes) {
            QTest::newRow(name) << QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                              kImageSize);
        };
        row("fixture", test::Tune_Fixture());
        row("all fields at their lowest, other bytes 00", extremeImage(false));
        row("all fields at their highest, other bytes FF", extremeImage(true));
        row("the simulated unit's factory memory", sim::Unit::factoryImage());
        sim::Unit tuned; // starts as the demo's tuned car
        row("the simulated unit's tuned car", tuned.memory());
        std::mt19937 rng(20240611);
        for (int i = 0; i < 300; ++i)
            row(qPrintable(QStringLiteral("random %1").arg(i)), randomValidImage(rng));
    }

    void roundTripsEveryByte() {
        QFETCH(QByteArray, image);
        ParamImage::Bytes bytes{};
        std::copy(image.cbegin(), image.cend(), bytes.begin());
        QVERIFY2(!Check_Unit_Image(bytes.data()), "the generator made an image the check refuses");

        const TuneTextResult written = Tune_Text_From_Scene(bytes);
        QVERIFY2(written.error.isEmpty(), qPrintable(written.error.en));
        const TuneSceneResult read = Scene_From_Tune_Text(written.text);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error.en));
        QVERIFY(read.scene.has_value());
        QVERIFY2(*read.scene == bytes, qPrintable(QStringLiteral("first different byte: %1")
                                                      .arg(firstDifference(*read.scene, bytes))));
        // Written again, the text is the same: nothing in it depends on more than the bytes.
        QCOMPARE(Tune_Text_From_Scene(*read.scene).text, written.text);
    }

    void fixtureReadsAsExpected_data() {
        QTest::addColumn<QByteArray>("excerpt");
        QTest::newRow("start: CH1 with its delay, band 1") << QByteArray(R"({
    "channels": {
        "CH1": {
            "delay_ms": 3.2,
            "eq": {
                "01": {
                    "freq_hz": 20,
                    "gain_db": 0,
                    "q": 3
                },
                "02": {
                    "freq_hz": 25,
)");
        QTest::newRow("CH1's settings after its bands") << QByteArray(R"(
            "eq_bypass": false,
            "high_pass": {
                "family": "butterworth",
                "freq_hz": 20,
                "on": false,
                "slope_db_oct": 24
            },
            "level_db": 0,
            "low_pass": {
                "family": "butterworth",
                "freq_hz": 20000,
                "on": false,
                "slope_db_oct": 24
            },
            "mute": false,
            "phase_inverted": false,
            "role": 3
        },
)");
        QTest::newRow("CH2 level") << QByteArray(R"(
            "level_db": -4.5,
)");
        QTest::newRow("CH3 band 10") << QByteArray(R"(
                "10": {
                    "freq_hz": 170,
                    "gain_db": 6,
                    "q": 3
                },
)");
        QTest::newRow("CH3 high-pass") << QByteArray(R"(
            "high_pass": {
                "family": "butterworth",
                "freq_hz": 80,
                "on": true,
                "slope_db_oct": 24
            },
)");
        QTest::newRow("CH6 phase and role")
            << QByteArray("            \"phase_inverted\": true,\n            \"role\": 19\n");
        QTest::newRow("unit-wide fields and the first reserved rows") << QByteArray(R"(
    "firmware_version": 20240131,
    "format": "tarn80x-tune",
    "input": "optical",
    "master_level_db": -10,
    "noise_gate": 2,
    "reserved": {
        "0x000B": "AB000000000000000000000000",
        "0x0046": "00000000000000000000",
        "0x03F2": "000000000000",
        "0x0434": "000000000000000000000000",
        "0x0440": "0000000000000000000000000000000000000000000000000000000000000000",
)");
        QTest::newRow("end") << QByteArray(R"(
        "0x0FE0": "000000000000000000000000000000000000000000000000000000000000005A"
    },
    "version": 1
}
)");
    }

    void fixtureReadsAsExpected() {
        QFETCH(QByteArray, excerpt);
        const TuneTextResult written = Tune_Text_From_Scene(test::Tune_Fixture());
        QVERIFY2(written.text.contains(excerpt), written.text.constData());
    }

    // Values at the edges of what the window allows, typed by hand, land in the image as the
    // window would have stored them.
    void acceptsHandEdits_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        // CH3 band 10 is element 2 x 31 + 9 = 71: gain at 452 + 142, Q at 824 + 71.
        QTest::newRow("highest gain +12.0 dB")
            << "/channels/CH3/eq/10/gain_db" << QJsonValue(12) << 594 << QByteArray("\x68\x01");
        QTest::newRow("lowest gain -12.0 dB")
            << "/channels/CH3/eq/10/gain_db" << QJsonValue(-12) << 594 << QByteArray("\x78\x00", 2);
        QTest::newRow("gain 0.3 dB, not exact in binary")
            << "/channels/CH3/eq/10/gain_db" << QJsonValue(0.3) << 594 << QByteArray("\xF3\x00", 2);
        QTest::newRow("Q 0.4") << "/channels/CH3/eq/10/q" << QJsonValue(0.4) << 895
                               << QByteArray("\x04");
        QTest::newRow("delay 15.00 ms")
            << "/channels/CH2/delay_ms" << QJsonValue(15) << 46 << QByteArray("\xDC\x05");
        QTest::newRow("delay 0.07 ms, not exact in binary")
            << "/channels/CH2/delay_ms" << QJsonValue(0.07) << 46 << QByteArray("\x07\x00", 2);
        QTest::newRow("level -60.0 dB")
            << "/channels/CH6/level_db" << QJsonValue(-60) << 36 << QByteArray("\x00\x00", 2);
        QTest::newRow("low-pass switched on: its off byte cleared")
            << "/channels/CH1/low_pass/on" << QJsonValue(true) << 1064 << QByteArray("\x00", 1);
        QTest::newRow("high-pass of CH2 link, -48dB/Oct, 5000 Hz")
            << "/channels/CH2/high_pass"
            << QJsonValue(QJsonObject{
                   {"family", "link"}, {"freq_hz", 5000}, {"on", false}, {"slope_db_oct", 48}})
            << 1018 << QByteArray("\x88\x13");
        QTest::newRow("reserved bytes in lower case hex")
            << "/reserved/0x000B" << QJsonValue("0123456789abcdefABCDEF0000") << 11
            << QByteArray("\x01\x23\x45\x67\x89\xAB\xCD\xEF\xAB\xCD\xEF\x00\x00", 13);
    }

    void acceptsHandEdits() {
        QFETCH(QString, path);
        QFETCH(QJsonValue, value);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        const TuneSceneResult read = Scene_From_Tune_Text(editedText(path, value));
        QVERIFY2(read.scene.has_value(), qPrintable(read.error.en));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(read.scene->data()) + offset,
                            static_cast<int>(bytes.size())),
                 bytes);
    }

    void refusesHandEdits_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QString>("en");
        QTest::addColumn<QString>("zh");
        const QJsonValue removed(QJsonValue::Undefined);
        QTest::newRow("gain above +12 dB")
            << "/channels/CH3/eq/10/gain_db" << QJsonValue(12.1)
            << "CH3 EQ band 10 gain: 12.1 dB is out of range (-12.0 to +12.0)"
            << "CH3 均衡第 10 段增益：12.1 dB 超出范围（-12.0 至 +12.0）";
        QTest::newRow("gain a typed entry once took, +14.5 dB")
            << "/channels/CH3/eq/10/gain_db" << QJsonValue(14.5)
            << "CH3 EQ band 10 gain: 14.5 dB is out of range (-12.0 to +12.0)"
            << "CH3 均衡第 10 段增益：14.5 dB 超出范围（-12.0 至 +12.0）";
        QTest::newRow("gain below -12 dB")
            << "/channels/CH3/eq/10/gain_db" << QJsonValue(-20.1)
            << "CH3 EQ band 10 gain: -20.1 dB is out of range (-12.0 to +12.0)"
            << "CH3 均衡第 10 段增益：-20.1 dB 超出范围（-12.0 至 +12.0）";
        QTest::newRow("gain between steps")
            << "/channels/CH3/eq/10/gain_db" << QJsonValue(3.25)
            << "CH3 EQ band 10 gain: 3.25 dB is not a multiple of 0.1 dB"
            << "CH3 均衡第 10 段增益：3.25 dB 不是 0.1 dB 的整数倍";
        QTest::newRow("Q below 0.4") << "/channels/CH1/eq/31/q" << QJsonValue(0.3)
                                     << "CH1 EQ band 31 Q: 0.3 is out of range (0.4 to 10.0)"
                                     << "CH1 均衡第 31 段 Q 值：0.3 超出范围（0.4 至 10.0）";
        QTest::newRow("level above 0 dB") << "/channels/CH2/level_db" << QJsonValue(0.5)
                                          << "CH2 level: 0.5 dB is out of range (-60.0 to 0.0)"
                                          << "CH2 音量：0.5 dB 超出范围（-60.0 至 0.0）";
        QTest::newRow("delay past 15 ms") << "/channels/CH1/delay_ms" << QJsonValue(15.01)
                                          << "CH1 delay: 15.01 ms is out of range (0.00 to 15.00)"
                                          << "CH1 延时：15.01 ms 超出范围（0.00 至 15.00）";
        QTest::newRow("crossover below 20 Hz")
            << "/channels/CH3/low_pass/freq_hz" << QJsonValue(19)
            << "CH3 low-pass frequency: 19 Hz is out of range (20 to 20000)"
            << "CH3 低通频率：19 Hz 超出范围（20 至 20000）";
        QTest::newRow("fractional frequency")
            << "/channels/CH3/high_pass/freq_hz" << QJsonValue(80.5)
            << "CH3 high-pass frequency: 80.5 Hz is not a whole number"
            << "CH3 高通频率：80.5 Hz 不是整数";
        QTest::newRow("role past a byte") << "/channels/CH4/role" << QJsonValue(256)
                                          << "CH4 speaker role: 256 is out of range (0 to 255)"
                                          << "CH4 扬声器角色：256 超出范围（0 至 255）";
        QTest::newRow("noise gate level 7")
            << "/noise_gate" << QJsonValue(7) << "noise gate: 7 is out of range (0 to 6)"
            << "噪声门：7 超出范围（0 至 6）";
        QTest::newRow("slope that does not exist")
            << "/channels/CH3/high_pass/slope_db_oct" << QJsonValue(20)
            << "CH3 high-pass slope: 20 is not one of: 6, 12, 18, 24, 30, 36, 42, 48"
            << "CH3 高通斜率：20 不是以下之一：6, 12, 18, 24, 30, 36, 42, 48";
        QTest::newRow("unknown family")
            << "/channels/CH3/high_pass/family" << QJsonValue("linkwitz")
            << R"(CH3 high-pass family: "linkwitz" is not one of: "butterworth", "link", "bessel")"
            << R"(CH3 高通类型："linkwitz" 不是以下之一："butterworth", "link", "bessel")";
        QTest::newRow("mute as text") << "/channels/CH3/mute" << QJsonValue("yes")
                                      << "CH3 mute: expected true or false, found a string"
                                      << "CH3 静音：应为布尔值（true 或 false），实际为字符串";
        QTest::newRow("frequency as text")
            << "/channels/CH3/eq/10/freq_hz" << QJsonValue("170")
            << "CH3 EQ band 10 frequency: expected a number, found a string"
            << "CH3 均衡第 10 段频率：应为数字，实际为字符串";
        QTest::newRow("band as a number") << "/channels/CH5/eq/02" << QJsonValue(3)
                                          << "CH5 EQ band 2: expected an object, found a number"
                                          << "CH5 均衡第 2 段：应为对象，实际为数字";
        QTest::newRow("Q missing")
            << "/channels/CH3/eq/10/q" << removed << "CH3 EQ band 10 Q: missing"
            << "CH3 均衡第 10 段 Q 值：缺少此项";
        QTest::newRow("channel missing") << "/channels/CH6" << removed << "CH6: missing"
                                         << "CH6：缺少此项";
        QTest::newRow("master volume missing")
            << "/master_level_db" << removed << "master volume: missing"
            << "总音量：缺少此项";
        QTest::newRow("misspelt key in a channel")
            << "/channels/CH1/Level_db" << QJsonValue(-3) << R"(CH1: unknown field "Level_db")"
            << R"(CH1：未知字段 "Level_db")";
        QTest::newRow("a field the image does not hold")
            << "/master_mute" << QJsonValue(true) << R"(tune file: unknown field "master_mute")"
            << R"(调音文件：未知字段 "master_mute")";
        QTest::newRow("band 32") << "/channels/CH2/eq/32" << QJsonValue(QJsonObject())
                                 << R"(CH2 EQ: unknown field "32")"
                                 << R"(CH2 均衡：未知字段 "32")";
        QTest::newRow("reserved row cut short")
            << "/reserved/0x0F00" << QJsonValue("00")
            << "reserved bytes 0x0F00–0x0F1F: expected 64 hex digits, found 2"
            << "保留字节 0x0F00–0x0F1F：应为 64 个十六进制数字，实际为 2 个";
        QTest::newRow("reserved row with a letter past F")
            << "/reserved/0x000B" << QJsonValue("AB0000000000000000000000G0")
            << R"(reserved bytes 0x000B–0x0017: "G" is not a hex digit)"
            << R"(保留字节 0x000B–0x0017："G" 不是十六进制数字)";
        QTest::newRow("reserved row missing")
            << "/reserved/0x0FE0" << removed << "reserved bytes 0x0FE0–0x0FFF: missing"
            << "保留字节 0x0FE0–0x0FFF：缺少此项";
        QTest::newRow("newer version")
            << "/version" << QJsonValue(2)
            << "version: 2 is not supported (this program reads version 1)"
            << "版本：2 不受支持（本程序读取版本 1）";
        QTest::newRow("version as text")
            << "/version" << QJsonValue("1") << "version: expected a number, found a string"
            << "版本：应为数字，实际为字符串";
        QTest::newRow("another format")
            << "/format" << QJsonValue("scene")
            << R"(format: "scene" is not the tune format (expected "tarn80x-tune"))"
            << R"(格式："scene" 不是调音文件格式（应为 "tarn80x-tune"）)";
    }

    void refusesHandEdits() {
        QFETCH(QString, path);
        QFETCH(QJsonValue, value);
        QFETCH(QString, en);
        QFETCH(QString, zh);
        const TuneSceneResult read = Scene_From_Tune_Text(editedText(path, value));
        QVERIFY(!read.scene.has_value());
        QCOMPARE(read.error.en, en);
        QCOMPARE(read.error.zh, zh);
    }

    void refusesWhatIsNotATune_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("en");
        QTest::addColumn<QString>("zh");
        QTest::newRow("an array") << QByteArray("[1, 2]")
                                  << "tune file: expected an object, found an array"
                                  << "调音文件：应为对象，实际为数组";
        QTest::newRow("an empty object") << QByteArray("{}") << "format: missing"
                                         << "格式：缺少此项";
        // A version 2 file may have fields this one does not know: the version is named first.
        QTest::newRow("a newer file with a new field")
            << QByteArray(R"({"format": "tarn80x-tune", "version": 2, "eq_presets": []})")
            << "version: 2 is not supported (this program reads version 1)"
            << "版本：2 不受支持（本程序读取版本 1）";
        // Text from the file is quoted with its control characters escaped: a terminal showing
        // the refusal gets no escape sequence, and no line of the file's making.
        QTest::newRow("a key holding terminal controls")
            << QByteArray(
                   "{\"format\": \"tarn80x-tune\", \"version\": 1, \"\\u001b]0;owned\\u0007\": 1}")
            << "tune file: unknown field \"\\x1B]0;owned\\x07\""
            << "调音文件：未知字段 \"\\x1B]0;owned\\x07\"";
        QTest::newRow("a value holding line breaks and C1 controls")
            << QByteArray("{\"format\": \"a\\r\\nb\\u2028c\\u009b2J\\t\", \"version\": 1}")
            << "format: \"a\\r\\nb\\u2028c\\x9B2J\\t\" is not the tune format (expected "
               "\"tarn80x-tune\")"
            << "格式：\"a\\r\\nb\\u2028c\\x9B2J\\t\" 不是调音文件格式（应为 \"tarn80x-tune\"）";
        QTest::newRow("a duplicate key holding an escape character")
            << QByteArray("{\"\\u001b[31m\": 1, \"\\u001b[31m\": 2}")
            << "/\\x1B[31m: the field appears twice"
            << "/\\x1B[31m：此字段出现了两次";
    }

    void refusesDuplicateKeys_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("en");
        QTest::addColumn<QString>("zh");
        // A band pasted twice: reading the last and ignoring the first would drop an edit.
        QTest::newRow("a band twice")
            << QByteArray(R"({"format": "tarn80x-tune", "version": 1, "channels": {"CH3": {"eq":
                   {"10": {"gain_db": 6}, "11": {}, "10": {"gain_db": 0}}}}})")
            << "/channels/CH3/eq/10: the field appears twice"
            << "/channels/CH3/eq/10：此字段出现了两次";
        QTest::newRow("in an array, after a string holding a colon and a quote")
            << QByteArray("{\"a\": \"x\\\":y\", \"b\": [1, {\"c\": 1, \"c\": {\"d\": 2}}]}")
            << "/b/1/c: the field appears twice"
            << "/b/1/c：此字段出现了两次";
        // The parser decodes a key before it keeps the last of two: so is it compared.
        QTest::newRow("the second written with an escape")
            << QByteArray(R"({"format": "tarn80x-tune", "version": 1, "channels": {"CH3": {"eq":
                   {"10": {"gain_db": 6, "gain\u005fdb": 0}}}}})")
            << "/channels/CH3/eq/10/gain_db: the field appears twice"
            << "/channels/CH3/eq/10/gain_db：此字段出现了两次";
        QTest::newRow("escapes in the path, upper case hex, a solidus")
            << QByteArray(R"({"ch\u00E4nnels": {"a\/b": 1, "a/b": 2}})")
            << "/ch\u00e4nnels/a/b: the field appears twice"
            << "/ch\u00e4nnels/a/b：此字段出现了两次";
        QTest::newRow("a character outside the first plane, as a surrogate pair")
            << QByteArray("{\"\\ud83c\\udfb5\": 1, \"\xF0\x9F\x8E\xB5\": 2}")
            << "/\U0001F3B5: the field appears twice"
            << "/\U0001F3B5：此字段出现了两次";
        QTest::newRow("an escaped quote and backslash")
            << QByteArray("{\"q\\\"\\\\\": 1, \"q\\u0022\\u005C\": 2}")
            << "/q\"\\: the field appears twice"
            << "/q\"\\：此字段出现了两次";
    }

    void refusesDuplicateKeys() { checkRefusal(); }
    void refusesWhatIsNotATune() { checkRefusal(); }

    void refusesBrokenJson() {
        // Qt words the syntax fault itself; the position and the refusal are ours.
        const TuneSceneResult read = Scene_From_Tune_Text("{\"format\": \"tarn80x-tune\",");
        QVERIFY(!read.scene.has_value());
        QVERIFY2(read.error.en.startsWith(QStringLiteral("not valid JSON (character ")),
                 qPrintable(read.error.en));
        QVERIFY2(read.error.zh.startsWith(QStringLiteral("不是有效的 JSON（第 ")),
                 qPrintable(read.error.zh));
    }

    // A scene or a tune text is told by its content, with or without its suffix: a scene of
    // firmware 20240507 (0x0134D87B) starts with '{', a text may start with a byte-order mark.
    void loadTuneFileByContent_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("refusal"); // English; empty: read, giving the scene
        ParamImage p;
        p.bytes() = test::Tune_Fixture();
        p.set_FW_Version(20240507);
        const QByteArray scene(reinterpret_cast<const char*>(p.bytes().data()), kImageSize);
        QVERIFY(scene.startsWith("{\xD8\x34\x01"));
        const QByteArray text = Tune_Text_From_Scene(p.bytes()).text;
        QVERIFY(text.startsWith("{\n"));
        QByteArray utf16("\xFF\xFE");
        for (const char c : text)
            utf16.append(c).append('\0');
        QTest::newRow("scene, .SCE") << "a.SCE" << scene << QString();
        QTest::newRow("scene, no suffix") << "a" << scene << QString();
        QTest::newRow("scene, other suffix") << "a.bak" << scene << QString();
        QTest::newRow("scene, named .json") << "a.json" << scene << QString();
        QTest::newRow("text, .json") << "a.json" << text << QString();
        QTest::newRow("text, no suffix") << "a" << text << QString();
        QTest::newRow("text, named .SCE") << "a.SCE" << text << QString();
        QTest::newRow("text with a byte-order mark, no suffix")
            << "a"
            << "\xEF\xBB\xBF" + text << QString();
        QTest::newRow("text with a byte-order mark, .json") << "a.json"
                                                            << "\xEF\xBB\xBF" + text << QString();
        QTest::newRow("text in UTF-16, no suffix") << "a" << utf16 << QString();
        const QString size = "Wrong scene file size (must be 4096 bytes); nothing was loaded!";
        QTest::newRow("text cut short, .SCE") << "a.SCE" << text.left(4000) << size;
        QTest::newRow("zeros, no suffix") << "a" << QByteArray(100, '\0') << size;
        QTest::newRow("text cut short, no suffix")
            << "a"
            << "\xEF\xBB\xBF" + text.left(22)
            << "The tune text was refused; nothing was loaded: not valid JSON (character 22: "
               "unterminated object)";
        // Not a JSON object: a scene file's check, not a JSON parser's, says what is wrong.
        QByteArray badScene = scene;
        badScene[off::Input_Source] = 7;
        QTest::newRow("scene with a value out of range, no suffix")
            << "a" << badScene
            << "A value in the file is out of range: input source (Input_Source) is 7, allowed "
               "0..2. Nothing was loaded or sent!";
    }
    void loadTuneFileByContent() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
        file.close();
        const FileLoad load = Load_Tune_File(file.fileName());
        QCOMPARE(load.refusal.en, refusal);
        if (!refusal.isEmpty()) return;
        ParamImage p;
        p.bytes() = test::Tune_Fixture();
        p.set_FW_Version(20240507);
        QCOMPARE(load.data,
                 QByteArray(reinterpret_cast<const char*>(p.bytes().data()), kImageSize));
    }

    // An image the scene-file load would refuse has no text: it could not be read back.
    void refusesToWriteAnImageOutsideTheCheck() {
        ParamImage p;
        p.bytes() = test::Tune_Fixture();
        p.set_CH_Vol(2, 700);
        const TuneTextResult written = Tune_Text_From_Scene(p.bytes());
        QVERIFY(written.text.isEmpty());
        QCOMPARE(written.error.en,
                 QStringLiteral("CH3 level: the stored value 700 is out of range (0 to 600)"));
        QCOMPARE(written.error.zh, QStringLiteral("CH3 音量：存储值 700 超出范围（0 至 600）"));
    }
};

QTEST_GUILESS_MAIN(TestTuneText)
#include "test_tune_text.moc"
