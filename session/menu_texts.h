// Texts of the drop-down menus, in both languages.
#pragma once

#include "session/text.h"

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
// What each gate level does. The levels differ only in the threshold below which the outputs are
// muted; the unit does not report the thresholds in dB.
constexpr std::array<Bilingual, 7> NoiseGateLevelTip{
    {{"噪声门关闭：输出从不因信号太小而静音。",
      "Noise gate off: the outputs are never muted for a low signal."},
     {"1级（门限最低，共6级）：输入信号低于门限时输出静音，只切掉最轻的底噪。",
      "Level 1 of 6 (lowest threshold): the outputs are muted while the input stays below the "
      "threshold; only the faintest hiss is cut."},
     {"2级（共6级）：门限比1级高。", "Level 2 of 6: a higher threshold than level 1."},
     {"3级（共6级）：门限比2级高。", "Level 3 of 6: a higher threshold than level 2."},
     {"4级（共6级）：门限比3级高。", "Level 4 of 6: a higher threshold than level 3."},
     {"5级（共6级）：门限比4级高。", "Level 5 of 6: a higher threshold than level 4."},
     {"6级（门限最高，共6级）：较小的信号也会被静音，可能切掉轻柔的音乐。",
      "Level 6 of 6 (highest threshold): quieter signals are muted too, which may cut soft "
      "passages of music."}}};
constexpr Bilingual OptionUndo{"撤销", "Undo"};
constexpr Bilingual OptionRedo{"重做", "Redo"};
constexpr Bilingual OptionAbout{"关于本机", "About"};
constexpr Bilingual OptionReset{"系统复位", "System Reset"};
constexpr Bilingual OptionUpgrade{"机器固件升级", "Firmware Upgrade"};
// The two language entries read the same in both languages.
constexpr Bilingual OptionChinese{"中文", "中文"};
constexpr Bilingual OptionEnglish{"English", "English"};

constexpr std::array<Bilingual, 5> SceneEntry{{{"机器场景管理", "Scene manager"},
                                               {"保存单个场景到电脑", "Save single scene"},
                                               {"加载电脑的单个场景", "Load single scene"},
                                               {"保存所有场景到电脑", "Save all scenes"},
                                               {"加载电脑的全部场景", "Load all scenes"}}};

constexpr std::array<Bilingual, 3> FilterType{
    {{"巴特沃斯", "Butterworth"}, {"宁克", "Linkwitz"}, {"贝塞尔", "Bessel"}}};
constexpr std::array<Bilingual, 3> FilterTypeTip{
    {{"巴特沃斯：通带最平，转折频率处 -3 dB。",
      "Butterworth: the flattest pass band, -3 dB at the corner frequency."},
     {"林克维茨-瑞利：转折频率处 -6 dB，同一频率的高通和低通相加平直。",
      "Linkwitz-Riley: -6 dB at the corner frequency, so a high-pass and a low-pass at the same "
      "frequency add up flat."},
     {"贝塞尔：相位变化最平缓，转折最柔和。",
      "Bessel: the gentlest phase change and the softest knee."}}};
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
