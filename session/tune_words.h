// The names of the image's fields and the texts of their values as a person reads them, shared by
// the tune text's refusals and the diff so that both name a field the same way.
#pragma once

#include "model/param_image.h"
#include "session/lang_text.h"

#include <QStringList>
#include <cstdint>
#include <vector>

namespace tarn::tune {

// A fixed text in both languages; %1, %2 ... are filled by Fill().
struct Words {
    const char* zh;
    const char* en;
};

// Replaces %1..%9 in one pass, so a filled-in value that itself holds "%2" stays as it is.
LangText Fill(const Words& pattern, const std::vector<LangText>& args);
LangText Same(const QString& text); // one text for both languages

// ---- field names ----
LangText Channel(int ch);                       // "CH3"
LangText Channel_Field(int ch, const Words& w); // "CH3 level" / "CH3 音量"
LangText Band(int ch, int b);                   // "CH3 EQ band 10" / "CH3 均衡第 10 段"
LangText Band_Field(int ch, int b, const Words& w);
LangText Reserved_Range(int offset, int size); // "reserved bytes 0x0F00–0x0F0F"
QString Hex_Offset(int offset);                // "0x0F00"

struct FilterWords {
    Words whole, family, slope, freq, on;
};
extern const FilterWords kHighPass;
extern const FilterWords kLowPass;

namespace words {
inline constexpr Words File{"调音文件", "tune file"};
inline constexpr Words Format{"格式", "format"};
inline constexpr Words Version{"版本", "version"};
inline constexpr Words Firmware{"固件版本", "firmware version"};
inline constexpr Words Input{"输入源", "input source"};
inline constexpr Words NoiseGate{"噪声门", "noise gate"};
inline constexpr Words Master{"总音量", "master volume"};
inline constexpr Words Channels{"通道", "channels"};
inline constexpr Words Reserved{"保留字节", "reserved bytes"};
inline constexpr Words Role{"扬声器角色", "speaker role"};
inline constexpr Words Level{"音量", "level"};
inline constexpr Words Mute{"静音", "mute"};
inline constexpr Words Delay{"延时", "delay"};
inline constexpr Words Phase{"相位", "phase"};
inline constexpr Words Bypass{"直通均衡", "EQ bypass"};
inline constexpr Words Eq{"均衡", "EQ"};
inline constexpr Words BandFreq{"频率", " frequency"};
inline constexpr Words BandGain{"增益", " gain"};
inline constexpr Words BandQ{" Q 值", " Q"};
} // namespace words

// ---- values ----
// n / 10^decimals with that many decimals; plus: a "+" before positive values.
QString Scaled(long long n, int decimals, bool plus = false);
// Values in the "*.SCE" encoding.
LangText Gain_Text(int fileGain); // "+6.0 dB"
LangText Level_Text(int vol);     // "-4.5 dB"
LangText Delay_Text(int steps);   // "3.20 ms"
LangText Freq_Text(int hz);       // "170 Hz"
LangText Q_Text(int q10);         // "3.0"
LangText On_Off_Text(int flag);   // "on" / "off"
LangText Phase_Text(int inverted);
LangText Input_Text(int source);
LangText Noise_Gate_Text(int level);
LangText Family_Text(int type);
LangText Slope_Text(int slope);
LangText Band_Text(int freq, int fileGain, int q10); // "+6.0 dB at 170 Hz, Q 3.0"
LangText Filter_Text(int type, int slope, int freq, int off);

// 0.0 dB of a level, and of an EQ gain in the file's encoding.
constexpr int kLevelZero = kVolMax;
constexpr int kFileGainZero = kGainFlat + kGainUnitShift;

} // namespace tarn::tune
