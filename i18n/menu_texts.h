// Texts of the drop-down menus, in both languages.
#pragma once

#include "i18n/text.h"

#include <array>

namespace tarn::txt {

constexpr Bilingual NoiseGateTitle{"噪声门", "Noise Gate"};
constexpr std::array<Bilingual, 7> NoiseGateLevel{{{"关闭", "OFF"},
                                                   {"1级", "L1"},
                                                   {"2级", "L2"},
                                                   {"3级", "L3"},
                                                   {"4级", "L4"},
                                                   {"5级", "L5"},
                                                   {"6级", "L6"}}};
constexpr Bilingual OptionUndo{"撤销", "Undo"};
constexpr Bilingual OptionRedo{"重做", "Redo"};
constexpr Bilingual OptionAbout{"关于本机", "About"};
constexpr Bilingual OptionReset{"系统复位", "System Reset"};
constexpr Bilingual OptionUpgrade{"机器固件升级", "Machine Upgrade"};
// The two language entries read the same in both languages.
constexpr Bilingual OptionChinese{"中文", "中文"};
constexpr Bilingual OptionEnglish{"English", "English"};

constexpr std::array<Bilingual, 5> SceneEntry{{{"机器场景管理", "Sence manage"},
                                               {"保存单个场景到电脑", "Save single sence"},
                                               {"加载电脑的单个场景", "Load single sence"},
                                               {"保存所有场景到电脑", "Save all sence"},
                                               {"加载电脑的全部场景", "Load all sence"}}};

constexpr std::array<Bilingual, 3> FilterType{
    {{"巴特沃斯", "Butterworth"}, {"宁克", "Link"}, {"贝塞尔", "Bessel"}}};
constexpr std::array<const char*, 8> FilterSlope{"-6dB/Oct",  "-12dB/Oct", "-18dB/Oct",
                                                 "-24dB/Oct", "-30dB/Oct", "-36dB/Oct",
                                                 "-42dB/Oct", "-48dB/Oct"};
constexpr Bilingual FilterOff{"关闭", "OFF"};

constexpr std::array<const char*, 2> DelayUnit{"ms", "cm"};

// Speaker-role menus: position submenus, the four entries of each, and the centre/subwoofer items.
constexpr std::array<Bilingual, 6> RolePosition{{{"前左", "FL"},
                                                 {"前右", "FR"},
                                                 {"后左", "SL"},
                                                 {"后右", "SR"},
                                                 {"中置", "CEN"},
                                                 {"超低", "SUB"}}};
constexpr std::array<Bilingual, 4> RoleBand{
    {{"全频", "FULL"}, {"高频", "Tweeter"}, {"中频", "Midrange"}, {"低频", "Woofer"}}};
constexpr Bilingual RoleCentre{"中置", "中置"};
constexpr std::array<Bilingual, 3> RoleSub{
    {{"左超低", "左超低"}, {"右超低", "右超低"}, {"单通道超低", "单通道超低"}}};
constexpr Bilingual RoleOff{"关闭", "OFF"};

constexpr const char* MenuStyle = "QMenu{background-color: rgb(15,16,18);color: rgb(255,255,255);}"
                                  "QMenu::item:selected{background-color: rgb(0,128,0);}";

} // namespace tarn::txt
