#include "session/safety_check.h"

#include "dsp/response.h"
#include "model/param_image.h"
#include "session/roles.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tarn {

namespace {

constexpr int kTweeterMinHz = 2000;
constexpr int kMidrangeMinHz = 100;
constexpr int kBandBoostMax = 60; // tenths of a dB
// Corners of a pair further apart than this (in octaves) are set differently.
constexpr double kPairCornerOct = 1.0 / 6.0;

constexpr Bilingual kRuleNames[] = {
    {"高音单元的高通", "Tweeter high-pass"},     {"中低音单元的高通", "Low high-pass"},
    {"超低音的低通", "Subwoofer low-pass"},      {"高通以下的提升", "Boost below the high-pass"},
    {"单段提升过大", "Band boost too large"},    {"余量不足", "Headroom"},
    {"左右设置不一致", "Left and right differ"},
};

// CH%1 %2 · %3: %4. %5  (channel, role, rule, value, advice)
constexpr Bilingual kFinding{"CH%1 %2 · %3：%4。%5", "CH%1 %2 · %3: %4. %5"};

constexpr Bilingual kHighPassOff{"高通关闭", "the high-pass is off"};
constexpr Bilingual kHighPassAt{"高通 %1 Hz", "the high-pass is at %1 Hz"};
constexpr Bilingual kHighPassSixDb{"高通斜率 6 dB/oct", "the high-pass is at 6 dB/oct"};
constexpr Bilingual kTweeterAdvice{"请打开高通，设在 2000 Hz 以上，斜率至少 12 dB/oct",
                                   "Switch on a high-pass at 2000 Hz or above, 12 dB/oct or "
                                   "steeper"};
constexpr Bilingual kMidrangeAdvice{"请打开高通，设在 100 Hz 以上",
                                    "Switch on a high-pass at 100 Hz or above"};
constexpr Bilingual kWithSubwoofer{"高通关闭，而 CH%1 是超低音",
                                   "the high-pass is off while CH%1 is a subwoofer"};
constexpr Bilingual kWithSubwooferAdvice{
    "请打开高通，设在超低音的低通附近（%1 Hz），把低频留给超低音",
    "Switch on a high-pass near the subwoofer's low-pass (%1 Hz) and leave the bass to it"};
constexpr Bilingual kLowPassOff{"低通关闭", "the low-pass is off"};
constexpr Bilingual kLowPassAdvice{"请打开低通，设在 120 Hz 以下",
                                   "Switch on a low-pass at 120 Hz or below"};
constexpr Bilingual kBoostBelow{"第 %1 段在 %2 Hz 提升 %3 dB，低于高通 %4 Hz",
                                "band %1 boosts %3 dB at %2 Hz, below the high-pass at %4 Hz"};
constexpr Bilingual kBoostBelowAdvice{"请把这一段设为 0 dB 或更低，或移到高通以上",
                                      "Set this band to 0 dB or below, or move it above the "
                                      "high-pass"};
constexpr Bilingual kBandBoost{"第 %1 段在 %2 Hz 提升 %3 dB", "band %1 boosts %3 dB at %2 Hz"};
constexpr Bilingual kBandBoostAdvice{"请把提升降到 +6.0 dB 以内",
                                     "Keep the boost to +6.0 dB or less"};
constexpr Bilingual kHeadroom{"音量 %1 dB 加上均衡最大提升 %2 dB（%3 Hz），超出 0 dB %4 dB",
                              "the level %1 dB plus the largest EQ boost %2 dB (at %3 Hz) is "
                              "%4 dB above 0 dB"};
constexpr Bilingual kHeadroomAdvice{"设备可能削波：请把 CH%1 的音量至少降低 %2 dB（到 %3 dB）",
                                    "The unit can clip: lower the level of CH%1 by at least %2 dB "
                                    "(to %3 dB)"};
constexpr Bilingual kPairPolarity{"与 CH%1 极性不同（%2 / %3）",
                                  "the polarity differs from CH%1 (%2 / %3)"};
constexpr Bilingual kPairPolarityAdvice{"请把两侧设为同一极性，除非测量表明需要反相",
                                        "Set both sides to the same polarity unless a measurement "
                                        "calls for the inversion"};
constexpr Bilingual kPairOnOff{"%1与 CH%2 不同（%3 / %4）", "the %1 differs from CH%2 (%3 / %4)"};
constexpr Bilingual kPairFamily{"%1类型与 CH%2 不同（%3 / %4）",
                                "the %1 family differs from CH%2 (%3 / %4)"};
constexpr Bilingual kPairSlope{"%1斜率与 CH%2 不同（%3 / %4 dB/oct）",
                               "the %1 slope differs from CH%2 (%3 / %4 dB/oct)"};
constexpr Bilingual kPairCorner{"%1与 CH%2 相差超过 1/6 倍频程（%3 Hz / %4 Hz）",
                                "the %1 is more than 1/6 octave from CH%2's (%3 Hz / %4 Hz)"};
constexpr Bilingual kPairAdvice{"请把左右两侧设为相同", "Set both sides the same"};
constexpr Bilingual kHighPassWord{"高通", "high-pass"};
constexpr Bilingual kLowPassWord{"低通", "low-pass"};
constexpr Bilingual kOn{"开", "on"};
constexpr Bilingual kOff{"关", "off"};
constexpr Bilingual kFamilies[] = {
    {"巴特沃斯", "Butterworth"}, {"宁克", "Link"}, {"贝塞尔", "Bessel"}};
constexpr Bilingual kUnknownFamily{"未知", "unknown"};
constexpr Bilingual kPolarity[] = {{"正相", "0°"}, {"反相", "180°"}};

enum class Kind { Tweeter, Midrange, Woofer, Full, Centre, Subwoofer, Off };

Kind kindOf(uint8_t code) {
    if (code <= 15) {
        constexpr Kind kByBand[] = {Kind::Tweeter, Kind::Midrange, Kind::Woofer, Kind::Full};
        return kByBand[code % 4];
    }
    if (code == 16) return Kind::Centre;
    if (code >= 17 && code <= 19) return Kind::Subwoofer;
    return Kind::Off;
}

QString num(double v, int decimals = 1) {
    return QString::number(v, 'f', decimals);
}
QString signedDb(double v) {
    return (v > 0 ? QStringLiteral("+") : QString()) + num(v);
}

// Both languages of a pattern whose arguments are themselves bilingual words.
BilingualText fillWords(const Bilingual& pattern, const QList<BilingualText>& args) {
    QStringList zh, en;
    for (const BilingualText& a : args) {
        zh.append(a.zh);
        en.append(a.en);
    }
    return {Fill_Text(pattern, zh).zh, Fill_Text(pattern, en).en};
}
BilingualText plain(const QString& s) {
    return {s, s};
}

class Checker {
  public:
    explicit Checker(const ParamImage& p) : p_(p) {}

    void add(int ch, SafetyRule rule, const BilingualText& value, const BilingualText& advice,
             int band = -1, int other = -1) {
        SafetyFinding f;
        f.channel = ch;
        f.other = other;
        f.band = band;
        f.rule = rule;
        f.value = value;
        f.advice = advice;
        f.text =
            fillWords(kFinding, {plain(QString::number(ch + 1)), Text_Of(Role_Name(p_.CH_Name(ch))),
                                 Text_Of(Safety_Rule_Name(rule)), value, advice});
        found.push_back(std::move(f));
    }

    std::vector<SafetyFinding> found;

  private:
    const ParamImage& p_;
};

bool hpfOn(const ParamImage& p, int ch) {
    return p.HPF_Off(ch) == 0;
}
bool lpfOn(const ParamImage& p, int ch) {
    return p.LPF_Off(ch) == 0;
}

// The largest level of the channel's bands together, and where, on a 1/48-octave grid.
void largestBoost(const ParamImage& p, int ch, double& db, double& at) {
    Biquad sections[kBands];
    for (int b = 0; b < kBands; ++b)
        sections[b] = EQ_Band_Section(p.EQ_Gain_Signed(ch, b), p.EQ_Freq(ch, b), p.EQ_Q(ch, b));
    db = 0;
    at = 1000;
    constexpr int kPoints = 479;
    for (int i = 0; i < kPoints; ++i) {
        const double f = 20.0 * std::pow(1000.0, i / double(kPoints - 1));
        double power = 1.0;
        for (const Biquad& s : sections)
            power *= Section_Power(s, f);
        const double level = 10.0 * std::log10(power);
        if (level > db) {
            db = level;
            at = f;
        }
    }
    // The bands' own centres, where a narrow peak lies between grid points.
    for (int b = 0; b < kBands; ++b) {
        const double f = p.EQ_Freq(ch, b);
        double power = 1.0;
        for (const Biquad& s : sections)
            power *= Section_Power(s, f);
        const double level = 10.0 * std::log10(power);
        if (level > db) {
            db = level;
            at = f;
        }
    }
}

void checkPair(Checker& c, const ParamImage& p, int left, int right) {
    const BilingualText l = plain(QString::number(left + 1));
    const BilingualText r = plain(QString::number(right + 1));
    const int phaseL = p.CH_Phase(left) ? 1 : 0, phaseR = p.CH_Phase(right) ? 1 : 0;
    if (phaseL != phaseR)
        c.add(right, SafetyRule::PairMismatch,
              fillWords(kPairPolarity, {l, Text_Of(kPolarity[phaseR]), Text_Of(kPolarity[phaseL])}),
              Text_Of(kPairPolarityAdvice), -1, left);
    for (const FilterFields* f : {&kHpfFields, &kLpfFields}) {
        const BilingualText word = Text_Of(f == &kHpfFields ? kHighPassWord : kLowPassWord);
        const bool onL = p.filterOff(*f, left) == 0, onR = p.filterOff(*f, right) == 0;
        const auto add = [&](const Bilingual& pattern, const BilingualText& a,
                             const BilingualText& b) {
            c.add(right, SafetyRule::PairMismatch, fillWords(pattern, {word, l, a, b}),
                  Text_Of(kPairAdvice), -1, left);
        };
        if (onL != onR) {
            add(kPairOnOff, Text_Of(onR ? kOn : kOff), Text_Of(onL ? kOn : kOff));
            continue;
        }
        if (!onL) continue;
        const auto family = [](uint8_t t) {
            return Text_Of(t <= 2 ? kFamilies[t] : kUnknownFamily);
        };
        if (p.filterType(*f, left) != p.filterType(*f, right))
            add(kPairFamily, family(p.filterType(*f, right)), family(p.filterType(*f, left)));
        if (p.filterSlope(*f, left) != p.filterSlope(*f, right))
            add(kPairSlope, plain(QString::number(6 * (p.filterSlope(*f, right) + 1))),
                plain(QString::number(6 * (p.filterSlope(*f, left) + 1))));
        const double fl = p.filterFreq(*f, left), fr = p.filterFreq(*f, right);
        if (fl > 0 && fr > 0 && std::fabs(std::log2(fr / fl)) > kPairCornerOct + 1e-9)
            add(kPairCorner, plain(QString::number(fr)), plain(QString::number(fl)));
    }
}

} // namespace

const Bilingual& Safety_Rule_Name(SafetyRule rule) {
    const int i = static_cast<int>(rule) - 1;
    return kRuleNames[i >= 0 && i < 7 ? i : 0];
}

std::vector<SafetyFinding> Safety_Check(const ParamImage& p) {
    Checker c(p);
    int subwoofer = -1;
    for (int ch = 0; ch < kChannels && subwoofer < 0; ++ch)
        if (kindOf(p.CH_Name(ch)) == Kind::Subwoofer) subwoofer = ch;

    for (int ch = 0; ch < kChannels; ++ch) {
        const Kind kind = kindOf(p.CH_Name(ch));
        const int hpf = p.HPF_Freq(ch);
        const BilingualText hpfAt = Fill_Text(kHighPassAt, {QString::number(hpf)});
        // 1. Tweeters.
        if (kind == Kind::Tweeter) {
            if (!hpfOn(p, ch))
                c.add(ch, SafetyRule::TweeterHighPass, Text_Of(kHighPassOff),
                      Text_Of(kTweeterAdvice));
            else if (hpf < kTweeterMinHz)
                c.add(ch, SafetyRule::TweeterHighPass, hpfAt, Text_Of(kTweeterAdvice));
            else if (p.HPF_Slope(ch) == 0)
                c.add(ch, SafetyRule::TweeterHighPass, Text_Of(kHighPassSixDb),
                      Text_Of(kTweeterAdvice));
        }
        // 2. Midranges; woofers and full-range speakers beside a subwoofer.
        if (kind == Kind::Midrange) {
            if (!hpfOn(p, ch))
                c.add(ch, SafetyRule::LowHighPass, Text_Of(kHighPassOff), Text_Of(kMidrangeAdvice));
            else if (hpf < kMidrangeMinHz)
                c.add(ch, SafetyRule::LowHighPass, hpfAt, Text_Of(kMidrangeAdvice));
        }
        if ((kind == Kind::Woofer || kind == Kind::Full) && p.CH_Name(ch) <= 15 && subwoofer >= 0 &&
            !hpfOn(p, ch)) {
            const int lowPass = lpfOn(p, subwoofer) ? p.LPF_Freq(subwoofer) : 80;
            c.add(ch, SafetyRule::LowHighPass,
                  Fill_Text(kWithSubwoofer, {QString::number(subwoofer + 1)}),
                  Fill_Text(kWithSubwooferAdvice, {QString::number(lowPass)}));
        }
        // 3. Subwoofers.
        if (kind == Kind::Subwoofer && !lpfOn(p, ch))
            c.add(ch, SafetyRule::SubwooferLowPass, Text_Of(kLowPassOff), Text_Of(kLowPassAdvice));
        // 4 and 5. Bands.
        for (int b = 0; b < kBands; ++b) {
            const int gain = p.EQ_Gain_Signed(ch, b) - kGainFlat;
            if (gain <= 0) continue;
            const QStringList args{QString::number(b + 1), QString::number(p.EQ_Freq(ch, b)),
                                   signedDb(gain / 10.0), QString::number(hpf)};
            if (hpfOn(p, ch) && p.EQ_Freq(ch, b) < hpf)
                c.add(ch, SafetyRule::BoostBelowHighPass, Fill_Text(kBoostBelow, args),
                      Text_Of(kBoostBelowAdvice), b);
            if (gain > kBandBoostMax)
                c.add(ch, SafetyRule::BandBoost, Fill_Text(kBandBoost, args),
                      Text_Of(kBandBoostAdvice), b);
        }
        // 6. Headroom.
        double boost = 0, at = 1000;
        largestBoost(p, ch, boost, at);
        const double level = p.CH_Vol(ch) / 10.0 - 60.0;
        // In the level's own steps, rounded up: lowering by the figure shown is enough.
        const double over = std::ceil((level + boost) * 10.0 - 1e-6) / 10.0;
        if (over > 0)
            c.add(ch, SafetyRule::Headroom,
                  Fill_Text(kHeadroom, {num(level), signedDb(boost),
                                        QString::number(std::lround(at)), num(over)}),
                  Fill_Text(kHeadroomAdvice,
                            {QString::number(ch + 1), num(over), num(level - over)}));
    }
    // 7. Pairs: the first channel of each left role against the first of its right one.
    const auto channelOf = [&p](uint8_t code) {
        for (int ch = 0; ch < kChannels; ++ch)
            if (p.CH_Name(ch) == code) return ch;
        return -1;
    };
    for (int left : {0, 1, 2, 3, 8, 9, 10, 11, 17}) {
        const int right = left == 17 ? 18 : left + 4;
        const int l = channelOf(static_cast<uint8_t>(left));
        const int r = channelOf(static_cast<uint8_t>(right));
        if (l >= 0 && r >= 0) checkPair(c, p, l, r);
    }
    std::stable_sort(c.found.begin(), c.found.end(),
                     [](const SafetyFinding& a, const SafetyFinding& b) {
                         return a.channel != b.channel ? a.channel < b.channel : a.rule < b.rule;
                     });
    return c.found;
}

} // namespace tarn
