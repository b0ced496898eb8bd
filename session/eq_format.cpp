#include "session/eq_format.h"

#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/menu_texts.h"

#include <algorithm>
#include <cmath>

namespace tarn {

namespace {

constexpr int kGainSliderMax = 240;
constexpr int kQMin = 4;
constexpr int kQMax = 100;

std::optional<double> Parse_Decimal(const QString& text, double lo, double hi) {
    bool ok = false;
    const double d = text.toDouble(&ok);
    if (!ok || !(d >= lo && d <= hi)) return std::nullopt; // NaN fails the range test as well
    return d;
}

} // namespace

QString Eq_Gain_Text(int gain) {
    return QString::number((gain - 120) / 10.0, 'f', 1);
}
QString Eq_Freq_Text(int freq) {
    return QString::number(freq);
}
QString Eq_Q_Text(int q) {
    return QString::number(q / 10.0, 'f', 1);
}

std::optional<int> Parse_Eq_Gain(const QString& text) {
    const std::optional<double> d =
        Parse_Decimal(text, (kGainMin - kGainFlat) / 10.0, (kGainMax - kGainFlat) / 10.0);
    if (!d) return std::nullopt;
    return static_cast<int>(std::trunc(*d * 10 + kGainFlat)); // -0.05 dB gives 119
}

std::optional<int> Parse_Freq(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    if (!ok || n < kFreqMin || n > kFreqMax) return std::nullopt;
    return n;
}

std::optional<int> Parse_Eq_Q(const QString& text) {
    const std::optional<double> q = Parse_Decimal(text, 0.4, 10.0);
    if (!q) return std::nullopt;
    return static_cast<int>(std::trunc(*q * 10)); // 2.55 gives 25
}

BilingualText Eq_Entry_Refused(EqEntry entry, int band, const QString& typed) {
    static constexpr Bilingual kRefused[] = {
        {"第 %1 段增益：“%2”无效，增益范围为 -12.0 至 +12.0 dB。",
         "Band %1 gain: \"%2\" not taken; the gain is -12.0 to +12.0 dB."},
        {"第 %1 段频率：“%2”无效，频率范围为 20 至 20000 Hz（整数）。",
         "Band %1 frequency: \"%2\" not taken; the frequency is 20 to 20000 Hz (whole hertz)."},
        {"第 %1 段 Q 值：“%2”无效，Q 值范围为 0.4 至 10.0。",
         "Band %1 Q: \"%2\" not taken; Q is 0.4 to 10.0."},
    };
    return Fill_Text(kRefused[static_cast<int>(entry)], {QString::number(band + 1), typed});
}

int Eq_Gain_Step(int g, EqStep step) {
    int v = g;
    switch (step) {
    case EqStep::WheelForward:
    case EqStep::Up:
        v = std::min(g + 1, kGainSliderMax);
        break;
    case EqStep::UpHeld:
        v = std::min(g + 3, kGainSliderMax);
        break;
    case EqStep::WheelBack:
    case EqStep::Down:
        v = g != 0 ? g - 1 : g;
        break;
    case EqStep::DownHeld:
        v = std::max(g - 3, 0);
        break;
    }
    // A typed gain may lie outside the slider's range; the step goes through the slider.
    return std::clamp(v, 0, kGainSliderMax);
}

int Eq_Freq_Step(int f, EqStep step) {
    int v = f;
    switch (step) {
    case EqStep::WheelForward:
    case EqStep::Up:
        v = std::min(f + 1, int(kFreqMax));
        break;
    case EqStep::WheelBack:
    case EqStep::Down:
        v = f > kFreqMin ? f - 1 : f;
        break;
    case EqStep::UpHeld: {
        const int f1 = f + 1;
        if (f1 > kFreqMax)
            v = kFreqMax;
        else if (f1 < 1000)
            v = f + 11;
        else if (f1 < 19900)
            v = f + 101;
        else
            v = std::min(f + 2, int(kFreqMax));
        break;
    }
    case EqStep::DownHeld: {
        const int f1 = f > kFreqMin ? f - 1 : f;
        if (f1 >= 1001)
            v = f1 - 100;
        else if (f1 >= 101)
            v = f1 - 10;
        else if (f1 >= 21)
            v = f1 - 1;
        else
            v = kFreqMin;
        break;
    }
    }
    // The mirror's band frequencies get no range test on read-back; a step brings them back.
    return std::clamp(v, int(kFreqMin), int(kFreqMax));
}

int Eq_Q_Step(int q, EqStep step) {
    int v = q;
    switch (step) {
    case EqStep::WheelForward:
    case EqStep::Up:
        v = std::min(q + 1, kQMax);
        break;
    case EqStep::UpHeld:
        v = std::min(q + 3, kQMax);
        break;
    case EqStep::WheelBack:
    case EqStep::Down:
        v = q > kQMin ? q - 1 : q;
        break;
    case EqStep::DownHeld:
        v = q > kQMin ? std::max(q - 3, kQMin) : q;
        break;
    }
    return std::clamp(v, kQMin, kQMax);
}

int Crossover_Freq_Step(int f, bool up, bool fast) {
    if (up) {
        const int f1 = f < kFreqMax ? f + 1 : f;
        if (!fast) return f1;
        if (f < kFreqMax && f1 <= 999) return f + 11;
        if (f1 < 19900) return f1 + 100;
        return std::min(f1 + 1, int(kFreqMax));
    }
    const int f1 = f >= 21 ? f - 1 : f;
    if (!fast) return f1;
    if (f1 > 1000) return f1 - 100;
    if (f1 > 100) return f1 - 10;
    if (f1 >= 21) return f1 - 1;
    return kFreqMin;
}

QString Filter_Type_Text(int type, bool english) {
    if (type < 0 || type >= int(txt::FilterType.size())) return QString();
    return tr2(txt::FilterType[static_cast<size_t>(type)], english);
}

QString Filter_Slope_Text(int slope, bool off, bool english) {
    if (off) return tr2(txt::FilterOff, english);
    if (slope < 0 || slope >= int(txt::FilterSlope.size())) return QString();
    return QString::fromLatin1(txt::FilterSlope[static_cast<size_t>(slope)]);
}

} // namespace tarn
