#include "session/tune_words.h"

#include <cstdlib>

namespace tarn::tune {

const FilterWords kHighPass{{"高通滤波器", "high-pass"},
                            {"高通类型", "high-pass family"},
                            {"高通斜率", "high-pass slope"},
                            {"高通频率", "high-pass frequency"},
                            {"高通开关", "high-pass on"}};
const FilterWords kLowPass{{"低通滤波器", "low-pass"},
                           {"低通类型", "low-pass family"},
                           {"低通斜率", "low-pass slope"},
                           {"低通频率", "low-pass frequency"},
                           {"低通开关", "low-pass on"}};

namespace {

QString fillOne(const QString& pattern, const std::vector<BilingualText>& args, bool english) {
    QString out;
    out.reserve(pattern.size() + 48);
    const QChar* text = pattern.constData();
    const int size = static_cast<int>(pattern.size());
    int copied = 0;
    for (int i = 0; i + 1 < size; ++i) {
        if (text[i] != QLatin1Char('%')) continue;
        const int n = text[i + 1].unicode() - '0';
        if (n < 1 || n > static_cast<int>(args.size())) continue;
        out.append(text + copied, i - copied);
        out += withControlsEscaped(args[static_cast<size_t>(n - 1)].in(english));
        copied = i + 2;
        ++i;
    }
    out.append(text + copied, size - copied);
    return out;
}

BilingualText pick(int value, const Bilingual* table, int count) {
    if (value >= 0 && value < count)
        return {QString::fromUtf8(table[value].zh), QString::fromUtf8(table[value].en)};
    return Same(QString::number(value)); // not a value the window has a name for
}

constexpr Bilingual kOnOff[] = {{"关", "off"}, {"开", "on"}};
constexpr Bilingual kPhase[] = {{"正相", "0°"}, {"反相", "180°"}};
constexpr Bilingual kInput[] = {{"高电平", "HI"}, {"低电平", "LOW"}, {"光纤", "OPT"}};
constexpr Bilingual kGate[] = {{"关闭", "OFF"}, {"1级", "L1"}, {"2级", "L2"}, {"3级", "L3"},
                               {"4级", "L4"},   {"5级", "L5"}, {"6级", "L6"}};
constexpr Bilingual kFamily[] = {
    {"巴特沃斯", "Butterworth"}, {"宁克", "Link"}, {"贝塞尔", "Bessel"}};
constexpr Bilingual kSlope[] = {{"-6dB/Oct", "-6dB/Oct"},   {"-12dB/Oct", "-12dB/Oct"},
                                {"-18dB/Oct", "-18dB/Oct"}, {"-24dB/Oct", "-24dB/Oct"},
                                {"-30dB/Oct", "-30dB/Oct"}, {"-36dB/Oct", "-36dB/Oct"},
                                {"-42dB/Oct", "-42dB/Oct"}, {"-48dB/Oct", "-48dB/Oct"}};

template <size_t N> constexpr int countOf(const Bilingual (&)[N]) {
    return static_cast<int>(N);
}

BilingualText withUnit(const QString& number, const char* unit) {
    return Same(number + QLatin1Char(' ') + QLatin1String(unit));
}

} // namespace

BilingualText Fill(const Bilingual& pattern, const std::vector<BilingualText>& args) {
    return {fillOne(QString::fromUtf8(pattern.zh), args, false),
            fillOne(QString::fromUtf8(pattern.en), args, true)};
}

BilingualText Same(const QString& text) {
    return {text, text};
}

BilingualText Channel(int ch) {
    return Same(QStringLiteral("CH%1").arg(ch + 1));
}

BilingualText Channel_Field(int ch, const Bilingual& w) {
    return Fill({"%1 %2", "%1 %2"},
                {Channel(ch), {QString::fromUtf8(w.zh), QString::fromUtf8(w.en)}});
}

BilingualText Band(int ch, int b) {
    return Fill({"%1 均衡第 %2 段", "%1 EQ band %2"}, {Channel(ch), Same(QString::number(b + 1))});
}

BilingualText Band_Field(int ch, int b, const Bilingual& w) {
    const BilingualText band = Band(ch, b);
    return {band.zh + QString::fromUtf8(w.zh), band.en + QString::fromUtf8(w.en)};
}

BilingualText Reserved_Range(int offset, int size) {
    const QString first = Hex_Offset(offset);
    return Fill({"保留字节 %1", "reserved bytes %1"},
                {Same(size == 1 ? first : first + QChar(0x2013) + Hex_Offset(offset + size - 1))});
}

QString Hex_Offset(int offset) {
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(offset, 4, 16, QLatin1Char('0')).toUpper();
}

QString Scaled(long long n, int decimals, bool plus) {
    long long unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    const long long magnitude = std::llabs(n);
    QString text = n < 0 ? QStringLiteral("-") : (plus && n > 0 ? QStringLiteral("+") : QString());
    text += QString::number(magnitude / unit);
    if (decimals > 0)
        text += QLatin1Char('.') +
                QStringLiteral("%1").arg(magnitude % unit, decimals, 10, QLatin1Char('0'));
    return text;
}

BilingualText Gain_Text(int fileGain) {
    return withUnit(Scaled(fileGain - kFileGainZero, 1, true), "dB");
}
BilingualText Level_Text(int vol) {
    return withUnit(Scaled(vol - kLevelZero, 1), "dB");
}
BilingualText Delay_Text(int steps) {
    return withUnit(Scaled(steps, 2), "ms");
}
BilingualText Freq_Text(int hz) {
    return withUnit(QString::number(hz), "Hz");
}
BilingualText Q_Text(int q10) {
    return Same(Scaled(q10, 1));
}
BilingualText On_Off_Text(int flag) {
    return pick(flag, kOnOff, countOf(kOnOff));
}
BilingualText Phase_Text(int inverted) {
    return pick(inverted, kPhase, countOf(kPhase));
}
BilingualText Input_Text(int source) {
    return pick(source, kInput, countOf(kInput));
}
BilingualText Noise_Gate_Text(int level) {
    return pick(level, kGate, countOf(kGate));
}
BilingualText Family_Text(int type) {
    return pick(type, kFamily, countOf(kFamily));
}
BilingualText Slope_Text(int slope) {
    return pick(slope, kSlope, countOf(kSlope));
}

BilingualText Band_Text(int freq, int fileGain, int q10) {
    return Fill({"%2 处 %1，Q %3", "%1 at %2, Q %3"},
                {Gain_Text(fileGain), Freq_Text(freq), Q_Text(q10)});
}

BilingualText Filter_Text(int type, int slope, int freq, int off) {
    const BilingualText settings =
        Fill({"%1，%2，%3", "%1, %2, %3"}, {Family_Text(type), Slope_Text(slope), Freq_Text(freq)});
    if (off == 0) return settings;
    if (off == 1) return Fill({"关闭（%1）", "OFF (%1)"}, {settings});
    return Fill({"开关 %2（%1）", "switch %2 (%1)"}, {settings, Same(QString::number(off))});
}

} // namespace tarn::tune
