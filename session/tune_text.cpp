#include "session/tune_text.h"

#include "model/scene_image.h"
#include "session/tune_words.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace tarn {

namespace {

using tune::Fill;
using tune::Same;
namespace words = tune::words;

// Enumerations in the text, by their value in the image.
constexpr const char* kInputNames[] = {"high-level", "low-level", "optical"};
constexpr const char* kFamilyNames[] = {"butterworth", "link", "bessel"};
constexpr int kSlopeCount = 8; // slope index i is 6 x (i + 1) dB per octave
constexpr int kSlopeStepDb = 6;
constexpr int kRowBytes = 32;

constexpr Bilingual kMissing{"%1：缺少此项", "%1: missing"};
constexpr Bilingual kWrongType{"%1：应为%2，实际为%3", "%1: expected %2, found %3"};
constexpr Bilingual kOutOfRange{"%1：%2 超出范围（%3 至 %4）", "%1: %2 is out of range (%3 to %4)"};
constexpr Bilingual kNotMultiple{"%1：%2 不是 %3 的整数倍", "%1: %2 is not a multiple of %3"};
constexpr Bilingual kNotWhole{"%1：%2 不是整数", "%1: %2 is not a whole number"};
constexpr Bilingual kNotOneOf{"%1：%2 不是以下之一：%3", "%1: %2 is not one of: %3"};
constexpr Bilingual kUnknownField{"%1：未知字段 \"%2\"", "%1: unknown field \"%2\""};
constexpr Bilingual kHexLength{"%1：应为 %2 个十六进制数字，实际为 %3 个",
                               "%1: expected %2 hex digits, found %3"};
constexpr Bilingual kNotHex{"%1：\"%2\" 不是十六进制数字", "%1: \"%2\" is not a hex digit"};
constexpr Bilingual kNotTune{"%1：\"%2\" 不是调音文件格式（应为 \"%3\"）",
                             "%1: \"%2\" is not the tune format (expected \"%3\")"};
constexpr Bilingual kUnknownVersion{"%1：%2 不受支持（本程序读取版本 %3）",
                                    "%1: %2 is not supported (this program reads version %3)"};
constexpr Bilingual kNotJson{"不是有效的 JSON（第 %1 个字符：%2）",
                             "not valid JSON (character %1: %2)"};
constexpr Bilingual kDuplicate{"%1：此字段出现了两次", "%1: the field appears twice"};
constexpr Bilingual kStoredOutOfRange{"%1：存储值 %2 超出范围（%3 至 %4）",
                                      "%1: the stored value %2 is out of range (%3 to %4)"};

constexpr Bilingual kNumber{"数字", "a number"};
constexpr Bilingual kBool{"布尔值（true 或 false）", "true or false"};
constexpr Bilingual kString{"字符串", "a string"};
constexpr Bilingual kObject{"对象", "an object"};

BilingualText text(const Bilingual& w) {
    return {QString::fromUtf8(w.zh), QString::fromUtf8(w.en)};
}

BilingualText typeOf(const QJsonValue& v) {
    switch (v.type()) {
    case QJsonValue::Bool:
        return text(kBool);
    case QJsonValue::Double:
        return text(kNumber);
    case QJsonValue::String:
        return text(kString);
    case QJsonValue::Array:
        return text({"数组", "an array"});
    case QJsonValue::Object:
        return text(kObject);
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return Same(QStringLiteral("null"));
}

QString bandKey(int b) {
    return QStringLiteral("%1").arg(b + 1, 2, 10, QLatin1Char('0'));
}
QString channelKey(int ch) {
    return QStringLiteral("CH%1").arg(ch + 1);
}
QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The reserved bytes in rows that never cross a 32-byte boundary, so an edit in one place of a
// long run changes one line of the text.
const std::vector<ByteRange>& reservedRows() {
    static const std::vector<ByteRange> rows = [] {
        std::vector<ByteRange> out;
        for (const ByteRange& r : kReservedRanges) {
            int at = r.offset;
            const int end = r.offset + r.size;
            while (at < end) {
                const int next = std::min(end, (at / kRowBytes + 1) * kRowBytes);
                out.push_back({at, next - at});
                at = next;
            }
        }
        return out;
    }();
    return rows;
}

// A number in the text: stored = value x 10^decimals + zero, within the stored limits.
struct Scale {
    long long min, max;
    int decimals;
    long long zero;
    bool plus;        // limits shown with "+" (gains)
    const char* unit; // after the value in a refusal; "" for none
};

Scale scaleOf(ImageField field, int decimals = 0, long long zero = 0, bool plus = false,
              const char* unit = "") {
    const FieldLimits limits = Field_Limits(field);
    return {limits.min, limits.max, decimals, zero, plus, unit};
}

Scale gainScale() {
    return scaleOf(ImageField::EQ_Gain, 1, tune::kFileGainZero, true, "dB");
}
Scale levelScale(ImageField field) {
    return scaleOf(field, 1, tune::kLevelZero, false, "dB");
}
Scale delayScale() {
    return scaleOf(ImageField::CH_Delay, 2, 0, false, "ms");
}
Scale freqScale(ImageField field) {
    return scaleOf(field, 0, 0, false, "Hz");
}
Scale qScale() {
    return scaleOf(ImageField::EQ_Q, 1);
}
Scale firmwareScale() {
    return {0, 0xFFFFFFFFLL, 0, 0, false, ""};
}

long long powerOfTen(int decimals) {
    long long p = 1;
    for (int i = 0; i < decimals; ++i)
        p *= 10;
    return p;
}

QJsonValue toText(long long stored, const Scale& s) {
    const long long n = stored - s.zero;
    if (s.decimals == 0) return QJsonValue(static_cast<double>(n));
    return QJsonValue(static_cast<double>(n) / static_cast<double>(powerOfTen(s.decimals)));
}

// ---------------------------------------------------------------------------------------------
// Writing.

QJsonObject filterText(const ParamImage& p, const FilterFields& f, int ch) {
    QJsonObject o;
    o.insert(QStringLiteral("family"), QLatin1String(kFamilyNames[p.filterType(f, ch)]));
    o.insert(QStringLiteral("slope_db_oct"), (p.filterSlope(f, ch) + 1) * kSlopeStepDb);
    o.insert(QStringLiteral("freq_hz"),
             toText(p.filterFreq(f, ch), freqScale(ImageField::HPF_Freq)));
    o.insert(QStringLiteral("on"), p.filterOff(f, ch) == 0);
    return o;
}

QJsonObject channelText(const ParamImage& p, int ch) {
    QJsonObject o;
    o.insert(QStringLiteral("role"), p.CH_Name(ch));
    o.insert(QStringLiteral("level_db"), toText(p.CH_Vol(ch), levelScale(ImageField::CH_Vol)));
    o.insert(QStringLiteral("mute"), p.CH_Mute(ch) != 0);
    o.insert(QStringLiteral("delay_ms"), toText(p.CH_Delay(ch), delayScale()));
    o.insert(QStringLiteral("phase_inverted"), p.CH_Phase(ch) != 0);
    o.insert(QStringLiteral("high_pass"), filterText(p, kHpfFields, ch));
    o.insert(QStringLiteral("low_pass"), filterText(p, kLpfFields, ch));
    o.insert(QStringLiteral("eq_bypass"), p.EQ_Bypass(ch) != 0);
    QJsonObject eq;
    for (int b = 0; b < kBands; ++b) {
        QJsonObject band;
        band.insert(QStringLiteral("freq_hz"),
                    toText(p.EQ_Freq(ch, b), freqScale(ImageField::EQ_Freq)));
        band.insert(QStringLiteral("gain_db"), toText(p.EQ_Gain(ch, b), gainScale()));
        band.insert(QStringLiteral("q"), toText(p.EQ_Q(ch, b), qScale()));
        eq.insert(bandKey(b), band);
    }
    o.insert(QStringLiteral("eq"), eq);
    return o;
}

BilingualText violationLabel(const ImageViolation& v) {
    using tune::Band_Field;
    using tune::Channel_Field;
    switch (v.field) {
    case ImageField::CH_Name:
        return Channel_Field(v.channel, words::Role);
    case ImageField::Input_Source:
        return text(words::Input);
    case ImageField::Total_Vol:
        return text(words::Master);
    case ImageField::CH_Vol:
        return Channel_Field(v.channel, words::Level);
    case ImageField::CH_Mute:
        return Channel_Field(v.channel, words::Mute);
    case ImageField::CH_Delay:
        return Channel_Field(v.channel, words::Delay);
    case ImageField::CH_Phase:
        return Channel_Field(v.channel, words::Phase);
    case ImageField::EQ_Bypass:
        return Channel_Field(v.channel, words::Bypass);
    case ImageField::NoiseGate:
        return text(words::NoiseGate);
    case ImageField::EQ_Freq:
        return Band_Field(v.channel, v.band, words::BandFreq);
    case ImageField::EQ_Gain:
        return Band_Field(v.channel, v.band, words::BandGain);
    case ImageField::EQ_Q:
        return Band_Field(v.channel, v.band, words::BandQ);
    case ImageField::HPF_Freq:
        return Channel_Field(v.channel, tune::kHighPass.freq);
    case ImageField::HPF_Slope:
        return Channel_Field(v.channel, tune::kHighPass.slope);
    case ImageField::HPF_Off:
        return Channel_Field(v.channel, tune::kHighPass.on);
    case ImageField::HPF_Type:
        return Channel_Field(v.channel, tune::kHighPass.family);
    case ImageField::LPF_Freq:
        return Channel_Field(v.channel, tune::kLowPass.freq);
    case ImageField::LPF_Slope:
        return Channel_Field(v.channel, tune::kLowPass.slope);
    case ImageField::LPF_Off:
        return Channel_Field(v.channel, tune::kLowPass.on);
    case ImageField::LPF_Type:
        return Channel_Field(v.channel, tune::kLowPass.family);
    case ImageField::Reserved:
    case ImageField::None:
        break;
    }
    return tune::Reserved_Range(v.offset, 1);
}

// The scene-file check in the text's words; the values are the image's own (file encoding).
BilingualText violationText(const ImageViolation& v) {
    const FieldLimits limits = Field_Limits(v.field);
    return Fill(kStoredOutOfRange,
                {violationLabel(v), Same(QString::number(v.value)),
                 Same(QString::number(limits.min)), Same(QString::number(limits.max))});
}

// ---------------------------------------------------------------------------------------------
// Reading. The first fault found ends the reading; the image is handed out only when there was
// none.

int hexDigit(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Reader {
  public:
    BilingualText error;
    bool failed() const { return !error.isEmpty(); }

    // Refuses keys the format does not have, so a misspelt key is named rather than ignored.
    bool onlyKnown(const QJsonObject& o, const BilingualText& label, const QStringList& known) {
        for (auto it = o.constBegin(); it != o.constEnd(); ++it) {
            if (known.contains(it.key())) continue;
            error = Fill(kUnknownField, {label, Same(it.key())});
            return false;
        }
        return true;
    }

    std::optional<QJsonValue> value(const QJsonObject& o, const QString& key,
                                    const BilingualText& label) {
        const auto it = o.constFind(key);
        if (it == o.constEnd()) {
            error = Fill(kMissing, {label});
            return std::nullopt;
        }
        return it.value();
    }

    std::optional<QJsonValue> typed(const QJsonObject& o, const QString& key,
                                    const BilingualText& label, QJsonValue::Type type,
                                    const Bilingual& expected) {
        const std::optional<QJsonValue> v = value(o, key, label);
        if (!v) return std::nullopt;
        if (v->type() != type) {
            error = Fill(kWrongType, {label, text(expected), typeOf(*v)});
            return std::nullopt;
        }
        return v;
    }

    std::optional<QJsonObject> object(const QJsonObject& o, const QString& key,
                                      const BilingualText& label, const QStringList& known) {
        const std::optional<QJsonValue> v = typed(o, key, label, QJsonValue::Object, kObject);
        if (!v) return std::nullopt;
        const QJsonObject inner = v->toObject();
        if (!onlyKnown(inner, label, known)) return std::nullopt;
        return inner;
    }

    std::optional<uint8_t> flag(const QJsonObject& o, const QString& key,
                                const BilingualText& label) {
        const std::optional<QJsonValue> v = typed(o, key, label, QJsonValue::Bool, kBool);
        if (!v) return std::nullopt;
        return static_cast<uint8_t>(v->toBool() ? 1 : 0);
    }

    // The stored value of a number, within its limits and on its steps.
    std::optional<long long> number(const QJsonObject& o, const QString& key,
                                    const BilingualText& label, const Scale& s) {
        const std::optional<QJsonValue> v = typed(o, key, label, QJsonValue::Double, kNumber);
        if (!v) return std::nullopt;
        const double d = v->toDouble();
        QString shown = QString::number(d, 'g', 12);
        if (*s.unit) shown += QLatin1Char(' ') + QLatin1String(s.unit);
        const double unit = static_cast<double>(powerOfTen(s.decimals));
        const double stored = d * unit + static_cast<double>(s.zero);
        constexpr double kSlack = 1e-6; // a value typed as 0.3 is 2.9999999999999996 steps
        if (!(stored >= static_cast<double>(s.min) - kSlack &&
              stored <= static_cast<double>(s.max) + kSlack)) {
            error = Fill(kOutOfRange, {label, Same(shown),
                                       Same(tune::Scaled(s.min - s.zero, s.decimals, s.plus)),
                                       Same(tune::Scaled(s.max - s.zero, s.decimals, s.plus))});
            return std::nullopt;
        }
        const long long n = std::llround(stored);
        if (std::fabs(stored - static_cast<double>(n)) > kSlack) {
            if (s.decimals == 0) {
                error = Fill(kNotWhole, {label, Same(shown)});
            } else {
                QString step = tune::Scaled(1, s.decimals);
                if (*s.unit) step += QLatin1Char(' ') + QLatin1String(s.unit);
                error = Fill(kNotMultiple, {label, Same(shown), Same(step)});
            }
            return std::nullopt;
        }
        return std::clamp(n, s.min, s.max);
    }

    // The index of a name in the list.
    template <size_t N>
    std::optional<uint8_t> choice(const QJsonObject& o, const QString& key,
                                  const BilingualText& label, const char* const (&names)[N]) {
        const std::optional<QJsonValue> v = typed(o, key, label, QJsonValue::String, kString);
        if (!v) return std::nullopt;
        const QString given = v->toString();
        QStringList allowed;
        for (size_t i = 0; i < N; ++i) {
            if (given == QLatin1String(names[i])) return static_cast<uint8_t>(i);
            allowed << quoted(QLatin1String(names[i]));
        }
        error =
            Fill(kNotOneOf, {label, Same(quoted(given)), Same(allowed.join(QStringLiteral(", ")))});
        return std::nullopt;
    }

    std::optional<uint8_t> slope(const QJsonObject& o, const QString& key,
                                 const BilingualText& label) {
        const std::optional<QJsonValue> v = typed(o, key, label, QJsonValue::Double, kNumber);
        if (!v) return std::nullopt;
        const double d = v->toDouble();
        QStringList allowed;
        for (int i = 0; i < kSlopeCount; ++i) {
            if (d == (i + 1) * kSlopeStepDb) return static_cast<uint8_t>(i);
            allowed << QString::number((i + 1) * kSlopeStepDb);
        }
        error = Fill(kNotOneOf, {label, Same(QString::number(d, 'g', 12)),
                                 Same(allowed.join(QStringLiteral(", ")))});
        return std::nullopt;
    }

    bool hex(const QString& given, const BilingualText& label, int size, uint8_t* out) {
        if (given.size() != 2 * size) {
            error = Fill(kHexLength, {label, Same(QString::number(2 * size)),
                                      Same(QString::number(given.size()))});
            return false;
        }
        for (int i = 0; i < given.size(); ++i) {
            const QChar c = given.at(i);
            const int digit = hexDigit(c.unicode());
            if (digit < 0) {
                error = Fill(kNotHex, {label, Same(QString(c))});
                return false;
            }
            if (i % 2 == 0)
                out[i / 2] = static_cast<uint8_t>(digit << 4);
            else
                out[i / 2] = static_cast<uint8_t>(out[i / 2] | digit);
        }
        return true;
    }
};

bool readFilter(Reader& r, const QJsonObject& channel, int ch, const char* key,
                const tune::FilterWords& w, const FilterFields& f, ImageField freqField,
                ParamImage& p) {
    const std::optional<QJsonObject> o =
        r.object(channel, QLatin1String(key), tune::Channel_Field(ch, w.whole),
                 {QStringLiteral("family"), QStringLiteral("slope_db_oct"),
                  QStringLiteral("freq_hz"), QStringLiteral("on")});
    if (!o) return false;
    const auto family =
        r.choice(*o, QStringLiteral("family"), tune::Channel_Field(ch, w.family), kFamilyNames);
    if (!family) return false;
    const auto slope =
        r.slope(*o, QStringLiteral("slope_db_oct"), tune::Channel_Field(ch, w.slope));
    if (!slope) return false;
    const auto freq = r.number(*o, QStringLiteral("freq_hz"), tune::Channel_Field(ch, w.freq),
                               freqScale(freqField));
    if (!freq) return false;
    const auto on = r.flag(*o, QStringLiteral("on"), tune::Channel_Field(ch, w.on));
    if (!on) return false;
    p.setFilterType(f, ch, *family);
    p.setFilterSlope(f, ch, *slope);
    p.setFilterFreq(f, ch, static_cast<uint16_t>(*freq));
    p.setFilterOff(f, ch, static_cast<uint8_t>(*on ? 0 : 1));
    return true;
}

bool readBands(Reader& r, const QJsonObject& channel, int ch, ParamImage& p) {
    QStringList keys;
    for (int b = 0; b < kBands; ++b)
        keys << bandKey(b);
    const std::optional<QJsonObject> eq =
        r.object(channel, QStringLiteral("eq"), tune::Channel_Field(ch, words::Eq), keys);
    if (!eq) return false;
    for (int b = 0; b < kBands; ++b) {
        const std::optional<QJsonObject> band =
            r.object(*eq, bandKey(b), tune::Band(ch, b),
                     {QStringLiteral("freq_hz"), QStringLiteral("gain_db"), QStringLiteral("q")});
        if (!band) return false;
        const auto freq =
            r.number(*band, QStringLiteral("freq_hz"), tune::Band_Field(ch, b, words::BandFreq),
                     freqScale(ImageField::EQ_Freq));
        if (!freq) return false;
        const auto gain = r.number(*band, QStringLiteral("gain_db"),
                                   tune::Band_Field(ch, b, words::BandGain), gainScale());
        if (!gain) return false;
        const auto q =
            r.number(*band, QStringLiteral("q"), tune::Band_Field(ch, b, words::BandQ), qScale());
        if (!q) return false;
        p.set_EQ_Freq(ch, b, static_cast<uint16_t>(*freq));
        p.set_EQ_Gain(ch, b, static_cast<uint16_t>(*gain));
        p.set_EQ_Q(ch, b, static_cast<uint8_t>(*q));
    }
    return true;
}

bool readChannel(Reader& r, const QJsonObject& channels, int ch, ParamImage& p) {
    const std::optional<QJsonObject> o = r.object(
        channels, channelKey(ch), tune::Channel(ch),
        {QStringLiteral("role"), QStringLiteral("level_db"), QStringLiteral("mute"),
         QStringLiteral("delay_ms"), QStringLiteral("phase_inverted"), QStringLiteral("high_pass"),
         QStringLiteral("low_pass"), QStringLiteral("eq_bypass"), QStringLiteral("eq")});
    if (!o) return false;
    // Any code loads, as in a scene file: the unit only keeps the PC's label of the channel.
    const auto role = r.number(*o, QStringLiteral("role"), tune::Channel_Field(ch, words::Role),
                               {0, 0xFF, 0, 0, false, ""});
    if (!role) return false;
    const auto level =
        r.number(*o, QStringLiteral("level_db"), tune::Channel_Field(ch, words::Level),
                 levelScale(ImageField::CH_Vol));
    if (!level) return false;
    const auto mute = r.flag(*o, QStringLiteral("mute"), tune::Channel_Field(ch, words::Mute));
    if (!mute) return false;
    const auto delay = r.number(*o, QStringLiteral("delay_ms"),
                                tune::Channel_Field(ch, words::Delay), delayScale());
    if (!delay) return false;
    const auto phase =
        r.flag(*o, QStringLiteral("phase_inverted"), tune::Channel_Field(ch, words::Phase));
    if (!phase) return false;
    p.set_CH_Name(ch, static_cast<uint8_t>(*role));
    p.set_CH_Vol(ch, static_cast<uint16_t>(*level));
    p.set_CH_Mute(ch, *mute);
    p.set_CH_Delay(ch, static_cast<uint16_t>(*delay));
    p.set_CH_Phase(ch, *phase);
    if (!readFilter(r, *o, ch, "high_pass", tune::kHighPass, kHpfFields, ImageField::HPF_Freq, p))
        return false;
    if (!readFilter(r, *o, ch, "low_pass", tune::kLowPass, kLpfFields, ImageField::LPF_Freq, p))
        return false;
    const auto bypass =
        r.flag(*o, QStringLiteral("eq_bypass"), tune::Channel_Field(ch, words::Bypass));
    if (!bypass) return false;
    p.set_EQ_Bypass(ch, *bypass);
    return readBands(r, *o, ch, p);
}

bool readReserved(Reader& r, const QJsonObject& root, ParamImage& p) {
    QStringList keys;
    for (const ByteRange& row : reservedRows())
        keys << tune::Hex_Offset(row.offset);
    const std::optional<QJsonObject> o =
        r.object(root, QStringLiteral("reserved"), text(words::Reserved), keys);
    if (!o) return false;
    for (const ByteRange& row : reservedRows()) {
        const BilingualText label = tune::Reserved_Range(row.offset, row.size);
        const auto v =
            r.typed(*o, tune::Hex_Offset(row.offset), label, QJsonValue::String, kString);
        if (!v) return false;
        if (!r.hex(v->toString(), label, row.size,
                   p.bytes().data() + static_cast<size_t>(row.offset)))
            return false;
    }
    return true;
}

// A key as the parser reads it, its escapes decoded ("gain\u005fdb" is "gain_db"), so that one
// key written two ways is still one key. An escape that does not decode is kept as written: the
// parser refuses the text anyway.
QString decodedKey(const char* p, qsizetype size) {
    if (!std::memchr(p, '\\', static_cast<size_t>(size)))
        return QString::fromUtf8(p, static_cast<int>(size));
    QByteArray plain; // UTF-8 runs between the escapes
    QString out;
    const auto hex4 = [&](qsizetype at, char16_t& unit) {
        if (at + 4 > size) return false;
        unit = 0;
        for (qsizetype k = at; k < at + 4; ++k) {
            const int digit = hexDigit(p[k]);
            if (digit < 0) return false;
            unit = static_cast<char16_t>(unit << 4 | digit);
        }
        return true;
    };
    for (qsizetype i = 0; i < size; ++i) {
        if (p[i] != '\\' || i + 1 >= size) {
            plain += p[i];
            continue;
        }
        out += QString::fromUtf8(plain);
        plain.clear();
        const char e = p[++i];
        static const char kFrom[] = "\"\\/bfnrt";
        static const char kTo[] = "\"\\/\b\f\n\r\t";
        if (const char* at = std::strchr(kFrom, e); at && e != '\0') {
            out += QLatin1Char(kTo[at - kFrom]);
        } else if (char16_t unit = 0; e == 'u' && hex4(i + 1, unit)) {
            out += QChar(unit); // a surrogate pair comes as two escapes, each one unit
            i += 4;
        } else {
            plain += '\\';
            plain += e;
        }
    }
    return out + QString::fromUtf8(plain);
}

// The JSON pointer of the first key that appears twice in one object. The parser keeps the last
// of the two without a word, so a person who edited the first would see the edit ignored (and
// Qt 5's parser leaks the value it drops). Looked for before parsing; a text that is not JSON
// may give a wrong answer here, but is refused either way.
std::optional<QString> duplicateKey(const QByteArray& text) {
    struct Level {
        bool object;
        QSet<QString> keys;
        QString current; // the key being read, in an object
        int index;       // the element being read, in an array
    };
    std::vector<Level> stack;
    const char* p = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = p[i];
        if (c == '"') {
            const qsizetype start = ++i;
            while (i < n && p[i] != '"')
                i += p[i] == '\\' ? 2 : 1;
            if (i >= n) return std::nullopt;
            qsizetype after = i + 1;
            while (after < n &&
                   (p[after] == ' ' || p[after] == '\n' || p[after] == '\r' || p[after] == '\t'))
                ++after;
            if (after >= n || p[after] != ':' || stack.empty() || !stack.back().object) continue;
            const QString key = decodedKey(p + start, i - start);
            Level& level = stack.back();
            if (level.keys.contains(key)) {
                QString path;
                for (size_t k = 0; k + 1 < stack.size(); ++k)
                    path += QLatin1Char('/') +
                            (stack[k].object ? stack[k].current : QString::number(stack[k].index));
                return path + QLatin1Char('/') + key;
            }
            level.keys.insert(key);
            level.current = key;
        } else if (c == '{' || c == '[') {
            stack.push_back({c == '{', {}, {}, 0});
        } else if ((c == '}' || c == ']') && !stack.empty()) {
            stack.pop_back();
        } else if (c == ',' && !stack.empty() && !stack.back().object) {
            ++stack.back().index;
        }
    }
    return std::nullopt;
}

bool readHeader(Reader& r, const QJsonObject& root) {
    const BilingualText format = text(words::Format);
    const auto f = r.typed(root, QStringLiteral("format"), format, QJsonValue::String, kString);
    if (!f) return false;
    if (f->toString() != QLatin1String(kTuneFormat)) {
        r.error = Fill(kNotTune, {format, Same(f->toString()), Same(QLatin1String(kTuneFormat))});
        return false;
    }
    const BilingualText version = text(words::Version);
    const auto v = r.typed(root, QStringLiteral("version"), version, QJsonValue::Double, kNumber);
    if (!v) return false;
    if (v->toDouble() != kTuneVersion) {
        r.error = Fill(kUnknownVersion, {version, Same(QString::number(v->toDouble(), 'g', 12)),
                                         Same(QString::number(kTuneVersion))});
        return false;
    }
    return true;
}

bool readTune(Reader& r, const QJsonObject& root, ParamImage& p) {
    if (!readHeader(r, root)) return false;
    if (!r.onlyKnown(root, text(words::File),
                     {QStringLiteral("format"), QStringLiteral("version"),
                      QStringLiteral("firmware_version"), QStringLiteral("input"),
                      QStringLiteral("noise_gate"), QStringLiteral("master_level_db"),
                      QStringLiteral("channels"), QStringLiteral("reserved")}))
        return false;
    const auto firmware =
        r.number(root, QStringLiteral("firmware_version"), text(words::Firmware), firmwareScale());
    if (!firmware) return false;
    const auto input = r.choice(root, QStringLiteral("input"), text(words::Input), kInputNames);
    if (!input) return false;
    const auto gate = r.number(root, QStringLiteral("noise_gate"), text(words::NoiseGate),
                               scaleOf(ImageField::NoiseGate));
    if (!gate) return false;
    const auto master = r.number(root, QStringLiteral("master_level_db"), text(words::Master),
                                 levelScale(ImageField::Total_Vol));
    if (!master) return false;
    p.set_FW_Version(static_cast<uint32_t>(*firmware));
    p.set_Input_Source(*input);
    p.set_NoiseGate(static_cast<uint16_t>(*gate));
    p.set_Total_Vol(static_cast<uint16_t>(*master));

    QStringList channelKeys;
    for (int ch = 0; ch < kChannels; ++ch)
        channelKeys << channelKey(ch);
    const std::optional<QJsonObject> channels =
        r.object(root, QStringLiteral("channels"), text(words::Channels), channelKeys);
    if (!channels) return false;
    for (int ch = 0; ch < kChannels; ++ch)
        if (!readChannel(r, *channels, ch, p)) return false;
    return readReserved(r, root, p);
}

} // namespace

TuneTextResult Tune_Text_From_Scene(const ParamImage::Bytes& scene) {
    if (const ImageViolation v = Check_Unit_Image(scene.data())) return {{}, violationText(v)};
    ParamImage p;
    p.bytes() = scene;

    QJsonObject root;
    root.insert(QStringLiteral("format"), QLatin1String(kTuneFormat));
    root.insert(QStringLiteral("version"), kTuneVersion);
    root.insert(QStringLiteral("firmware_version"), toText(p.FW_Version(), firmwareScale()));
    root.insert(QStringLiteral("input"), QLatin1String(kInputNames[p.Input_Source()]));
    root.insert(QStringLiteral("noise_gate"), p.NoiseGate());
    root.insert(QStringLiteral("master_level_db"),
                toText(p.Total_Vol(), levelScale(ImageField::Total_Vol)));
    QJsonObject channels;
    for (int ch = 0; ch < kChannels; ++ch)
        channels.insert(channelKey(ch), channelText(p, ch));
    root.insert(QStringLiteral("channels"), channels);
    QJsonObject reserved;
    for (const ByteRange& row : reservedRows()) {
        const QByteArray bytes(reinterpret_cast<const char*>(scene.data()) + row.offset, row.size);
        reserved.insert(tune::Hex_Offset(row.offset), QString::fromLatin1(bytes.toHex().toUpper()));
    }
    root.insert(QStringLiteral("reserved"), reserved);
    return {QJsonDocument(root).toJson(QJsonDocument::Indented), {}};
}

TuneSceneResult Scene_From_Tune_Text(const QByteArray& data) {
    if (const std::optional<QString> twice = duplicateKey(data))
        return {std::nullopt, Fill(kDuplicate, {Same(*twice)})};
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parse);
    if (parse.error != QJsonParseError::NoError)
        return {std::nullopt,
                Fill(kNotJson, {Same(QString::number(parse.offset)), Same(parse.errorString())})};
    Reader r;
    if (!doc.isObject()) {
        const QJsonValue top = doc.isArray() ? QJsonValue(doc.array()) : QJsonValue();
        return {std::nullopt, Fill(kWrongType, {text(words::File), text(kObject), typeOf(top)})};
    }
    ParamImage p;
    if (!readTune(r, doc.object(), p)) return {std::nullopt, r.error};
    // Every field was read within the check's limits; the check once more keeps a fault here from
    // ever handing out an image a scene-file load would refuse.
    if (const ImageViolation v = Check_Unit_Image(p.bytes().data()))
        return {std::nullopt, violationText(v)};
    return {p.bytes(), {}};
}

} // namespace tarn
