// Texts of the main window's own widgets that switch with the language and depend on nothing but
// the language. Texts that also depend on state (link status, filter type and slope, phase,
// speaker roles) are set by their owners.
#pragma once

#include "i18n/text.h"

class QWidget;

namespace tarn {

struct FormText {
    const char* objectName;
    Bilingual text;
};

inline constexpr FormText kFormTexts[] = {
    {"label_16", {"      总音量", "    MasterVol"}},
    {"BT_SENCE", {"  场景", "Sence"}},
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
    {"checkBox", {"CH1曲线", "CH1-Line"}},
    {"checkBox_2", {"CH2曲线", "CH2-Line"}},
    {"checkBox_3", {"CH3曲线", "CH3-Line"}},
    {"checkBox_4", {"CH4曲线", "CH4-Line"}},
    {"checkBox_5", {"CH5曲线", "CH5-Line"}},
    {"checkBox_6", {"CH6曲线", "CH6-Line"}},
    {"BT_PEQ", {"参量均衡", "PEQ"}},
    {"BT_GEQ", {"图示均衡", "GEQ"}},
    {"BT_EQ_RESET", {"重置均衡", "ResetEQ"}},
    {"BT_EQ_BYPASS", {"直通均衡", "BypassEQ"}},
    {"label_3", {"类型", "Type"}},
    {"label_7", {"类型", "Type"}},
    {"label_4", {"频率", "Freq"}},
    {"label_6", {"频率", "Freq"}},
    {"label_9", {"频率", "Freq"}},
    {"label_5", {"斜率", "Slope"}},
    {"label_8", {"斜率", "Slope"}},
    {"label_10", {"Q值", "Q"}},
    {"label_11", {"增益", "Gain"}},
    {"label", {"高通滤波器", "    HPF"}},
    {"label_12", {"低通滤波器", "    LPF"}},
    {"BT_INPUT_HI", {"高电平", "HI"}},
    {"BT_INPUT_LOW", {"低电平", "LOW"}},
    {"BT_INPUT_BT", {"蓝牙", "BT"}},
    {"BT_INPUT_OPT", {"光纤", "OPT"}},
    {"BT_INPUT_COAX", {"同轴", "COAX"}},
    {"BT_LINK", {"左右联调", "LR-Link"}},
    {"label_13", {"延时单位", "Unit"}},
    {"label_15", {"直通", "BYPASS"}},
};

// Sets every text of kFormTexts on the window's child of that object name, in English or Chinese.
// A name the window does not have is skipped.
void applyFormTexts(QWidget* window, bool english);

} // namespace tarn
