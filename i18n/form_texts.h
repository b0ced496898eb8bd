// Texts of the main window's own widgets that switch with the language and depend on nothing but
// the language. Texts that also depend on state (link status, filter type and slope, phase,
// speaker roles) are set by their owners.
#pragma once

#include "session/text.h"

class QWidget;

namespace tarn {

struct FormText {
    const char* objectName;
    Bilingual text;
};

inline constexpr Bilingual kSyncTip{
    "同步：按下同步的各通道一起调节：音量（-60.0 至 0.0 dB）和延时（0.00 至 15.00 "
    "ms）按相同的量改变，"
    "相位和静音一起切换。",
    "Sync: channels with Sync engaged move together: level (-60.0 to 0.0 dB) and delay (0.00 to "
    "15.00 ms) change by the same amount, phase and mute switch together."};
inline constexpr Bilingual kUnitTip{
    "延时单位：毫秒（0.00 至 15.00 ms）或声音传播的距离（0 至 518 cm）。",
    "Unit of the delays: milliseconds (0.00 to 15.00 ms) or the distance sound travels in that "
    "time (0 to 518 cm)."};
inline constexpr Bilingual kFamilyTip{
    "滤波器类型：巴特沃斯（通带最平，转折点 -3 dB）、林克维茨-瑞利（转折点 -6 "
    "dB，高低通相加平直）、"
    "贝塞尔（相位最平缓，转折最柔和）。",
    "Filter family: Butterworth (flattest pass band, -3 dB at the corner), Linkwitz-Riley (-6 dB "
    "at the corner, so high- and low-pass add up flat) or Bessel (gentlest phase, softest knee)."};
inline constexpr Bilingual kSlopeTip{"斜率：每倍频程 -6 至 -48 dB，每级 6 dB；或关闭滤波器。",
                                     "Slope: -6 to -48 dB per octave in steps of 6 dB, or OFF "
                                     "(filter off)."};

inline constexpr FormText kFormTexts[] = {
    {"label_16", {"      总音量", "Master volume"}},
    {"BT_SENCE", {"  场景", "Scene"}},
    {"BT_OPTION", {"  选项", "Option"}},
    {"BT_MainMute", {"总静音", "Mute"}},
    {"BT_Mute_1", {"静音", "Mute"}},
    {"BT_Mute_2", {"静音", "Mute"}},
    {"BT_Mute_3", {"静音", "Mute"}},
    {"BT_Mute_4", {"静音", "Mute"}},
    {"BT_Mute_5", {"静音", "Mute"}},
    {"BT_Mute_6", {"静音", "Mute"}},
    {"BT_Sync_A011", {"同步", "Sync"}},
    {"BT_Sync_A021", {"同步", "Sync"}},
    {"BT_Sync_A031", {"同步", "Sync"}},
    {"BT_Sync_A041", {"同步", "Sync"}},
    {"BT_Sync_A051", {"同步", "Sync"}},
    {"BT_Sync_A061", {"同步", "Sync"}},
    {"checkBox", {"CH1曲线", "CH1 curve"}},
    {"checkBox_2", {"CH2曲线", "CH2 curve"}},
    {"checkBox_3", {"CH3曲线", "CH3 curve"}},
    {"checkBox_4", {"CH4曲线", "CH4 curve"}},
    {"checkBox_5", {"CH5曲线", "CH5 curve"}},
    {"checkBox_6", {"CH6曲线", "CH6 curve"}},
    {"BT_PEQ", {"参量均衡", "PEQ"}},
    {"BT_GEQ", {"图示均衡", "GEQ"}},
    {"BT_EQ_RESET", {"重置均衡", "Reset EQ"}},
    {"BT_EQ_BYPASS", {"直通均衡", "Bypass EQ"}},
    {"label_3", {"类型", "Type"}},
    {"label_7", {"类型", "Type"}},
    {"label_4", {"频率", "Freq"}},
    {"label_6", {"频率", "Freq"}},
    {"label_9", {"频率", "Freq"}},
    {"label_5", {"斜率", "Slope"}},
    {"label_8", {"斜率", "Slope"}},
    {"label_10", {"Q值", "Q"}},
    {"label_11", {"增益", "Gain"}},
    {"label", {"高通滤波器", "HPF"}},
    {"label_12", {"低通滤波器", "LPF"}},
    {"BT_INPUT_HI", {"高电平", "HI"}},
    {"BT_INPUT_LOW", {"低电平", "LOW"}},
    {"BT_INPUT_BT", {"蓝牙", "BT"}},
    {"BT_INPUT_OPT", {"光纤", "OPT"}},
    {"BT_INPUT_COAX", {"同轴", "COAX"}},
    {"BT_LINK", {"左右联调", "LR-Link"}},
    {"label_13", {"延时单位", "Unit"}},
    {"label_15", {"直通", "BYPASS"}},
};

// Tooltips of the controls whose captions are abbreviations or codes: what each does and its range.
inline constexpr FormText kFormTips[] = {
    {"BT_INPUT_HI",
     {"高电平输入：接主机的喇叭输出线（喇叭电平信号）。",
      "High-level input: the head unit's speaker outputs (speaker-level signal) feed the "
      "processor."}},
    {"BT_INPUT_OPT",
     {"光纤输入：数字音频从光纤（S/PDIF）接口输入。",
      "Optical input: digital audio through the optical (S/PDIF) socket."}},
    {"BT_Sync_A011", {kSyncTip.zh, kSyncTip.en}},
    {"BT_Sync_A021", {kSyncTip.zh, kSyncTip.en}},
    {"BT_Sync_A031", {kSyncTip.zh, kSyncTip.en}},
    {"BT_Sync_A041", {kSyncTip.zh, kSyncTip.en}},
    {"BT_Sync_A051", {kSyncTip.zh, kSyncTip.en}},
    {"BT_Sync_A061", {kSyncTip.zh, kSyncTip.en}},
    {"BT_LINK",
     {"左右联调：打开对话框，把一个通道的均衡和/或滤波器设置复制到与它配对的左/右通道，"
      "之后的修改也会同步过去。",
      "Left/right link: opens a dialog that copies a channel's EQ and/or filter settings to its "
      "left/right partner, now and with every later change."}},
    {"label_13", {kUnitTip.zh, kUnitTip.en}},
    {"BT_Unit", {kUnitTip.zh, kUnitTip.en}},
    {"BT_PEQ",
     {"参量均衡：31段的增益（-12.0 至 +12.0 dB）、频率（20 至 20000 Hz）和Q值（0.4 至 "
      "10.0）都可调。",
      "Parametric EQ: gain (-12.0 to +12.0 dB), frequency (20 to 20000 Hz) and Q (0.4 to 10.0) "
      "of each of the 31 bands can be set."}},
    {"BT_GEQ",
     {"图示均衡：只调31段的增益（-12.0 至 +12.0 dB），频率和Q值输入框锁定。",
      "Graphic EQ: only the gain of the 31 bands is set (-12.0 to +12.0 dB); the frequency and Q "
      "entries are locked."}},
    {"label_10",
     {"Q值：频段的宽窄，0.4（宽）至 10.0（窄）。",
      "Q: the width of a band, from 0.4 (wide) to 10.0 (narrow)."}},
    {"label",
     {"高通滤波器：只让转折频率（20 至 20000 Hz）以上的声音通过，斜率 -6 至 -48 "
      "dB/倍频程，或关闭。",
      "HPF, high-pass filter: lets through what lies above its corner frequency (20 to 20000 Hz), "
      "with a slope of -6 to -48 dB per octave, or OFF."}},
    {"label_12",
     {"低通滤波器：只让转折频率（20 至 20000 Hz）以下的声音通过，斜率 -6 至 -48 "
      "dB/倍频程，或关闭。",
      "LPF, low-pass filter: lets through what lies below its corner frequency (20 to 20000 Hz), "
      "with a slope of -6 to -48 dB per octave, or OFF."}},
    {"BT_HPF_TYPE", {kFamilyTip.zh, kFamilyTip.en}},
    {"BT_LPF_TYPE", {kFamilyTip.zh, kFamilyTip.en}},
    {"BT_HPF_SLOPE", {kSlopeTip.zh, kSlopeTip.en}},
    {"BT_LPF_SLOPE", {kSlopeTip.zh, kSlopeTip.en}},
};

// Sets every text of kFormTexts and every tooltip of kFormTips on the window's child of that
// object name, in English or Chinese. A name the window does not have is skipped.
void applyFormTexts(QWidget* window, bool english);

} // namespace tarn
