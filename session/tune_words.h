// The names of the image's fields and the texts of their values as a person reads them, shared by
// the tune text's refusals and the diff so that both name a field the same way.
#pragma once

#include "model/param_image.h"
#include "session/text.h"

#include <QStringList>
#include <cstdint>
#include <vector>

namespace tarn::tune {

// Replaces %1..%9 in one pass, so a filled-in value that itself holds "%2" stays as it is.
BilingualText Fill(const Bilingual& pattern, const std::vector<BilingualText>& args);
BilingualText Same(const QString& text); // one text for both languages

// ---- field names ----
BilingualText Channel(int ch);                           // "CH3"
BilingualText Channel_Field(int ch, const Bilingual& w); // "CH3 level" / "CH3 音量"
BilingualText Band(int ch, int b); // "CH3 EQ band 10" / "CH3 均衡第 10 段"
BilingualText Band_Field(int ch, int b, const Bilingual& w);
BilingualText Reserved_Range(int offset, int size); // "reserved bytes 0x0F00–0x0F0F"
QString Hex_Offset(int offset);                     // "0x0F00"

struct FilterWords {
    Bilingual whole, family, slope, freq, on;
};
extern const FilterWords kHighPass;
extern const FilterWords kLowPass;

namespace words {
inline constexpr Bilingual File{"调音文件", "tune file"};
inline constexpr Bilingual Format{"格式", "format"};
inline constexpr Bilingual Version{"版本", "version"};
inline constexpr Bilingual Firmware{"固件版本", "firmware version"};
inline constexpr Bilingual Input{"输入源", "input source"};
inline constexpr Bilingual NoiseGate{"噪声门", "noise gate"};
inline constexpr Bilingual Master{"总音量", "master volume"};
inline constexpr Bilingual Channels{"通道", "channels"};
inline constexpr Bilingual Reserved{"保留字节", "reserved bytes"};
inline constexpr Bilingual Role{"扬声器角色", "speaker role"};
inline constexpr Bilingual Level{"音量", "level"};
inline constexpr Bilingual Mute{"静音", "mute"};
inline constexpr Bilingual Delay{"延时", "delay"};
inline constexpr Bilingual Phase{"相位", "phase"};
inline constexpr Bilingual Bypass{"直通均衡", "EQ bypass"};
inline constexpr Bilingual Eq{"均衡", "EQ"};
inline constexpr Bilingual BandFreq{"频率", " frequency"};
inline constexpr Bilingual BandGain{"增益", " gain"};
inline constexpr Bilingual BandQ{" Q 值", " Q"};
} // namespace words

// ---- values ----
// n / 10^decimals with that many decimals; plus: a "+" before positive values.
QString Scaled(long long n, int decimals, bool plus = false);
// Values in the "*.SCE" encoding.
BilingualText Gain_Text(int fileGain); // "+6.0 dB"
BilingualText Level_Text(int vol);     // "-4.5 dB"
BilingualText Delay_Text(int steps);   // "3.20 ms"
BilingualText Freq_Text(int hz);       // "170 Hz"
BilingualText Q_Text(int q10);         // "3.0"
BilingualText On_Off_Text(int flag);   // "on" / "off"
BilingualText Phase_Text(int inverted);
BilingualText Input_Text(int source);
BilingualText Noise_Gate_Text(int level);
BilingualText Family_Text(int type);
BilingualText Slope_Text(int slope);
BilingualText Band_Text(int freq, int fileGain, int q10); // "+6.0 dB at 170 Hz, Q 3.0"
BilingualText Filter_Text(int type, int slope, int freq, int off);

// 0.0 dB of a level, and of an EQ gain in the file's encoding.
constexpr int kLevelZero = kVolMax;
constexpr int kFileGainZero = kGainFlat + kGainUnitShift;

} // namespace tarn::tune
