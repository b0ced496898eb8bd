// Texts of the tuning workflow: option entries, file dialogs, the distance dialog and notices.
#pragma once

#include "session/text.h"

namespace tarn::txt {

constexpr Bilingual ImportMeasurement{"导入测量曲线", "Import measurement…"};
constexpr Bilingual ClearMeasurement{"清除测量曲线", "Clear measurement"};
constexpr Bilingual ImportEqFilters{"导入均衡滤波器", "Import EQ filters…"};
constexpr Bilingual DistanceAlignment{"距离延时计算", "Distance alignment"};
constexpr Bilingual AutoEq{"自动均衡…", "Auto EQ…"};

constexpr Bilingual MeasurementDialogTitle{"导入测量曲线", "Import measurement"};
constexpr Bilingual MeasurementFilter{"测量曲线 (*.txt *.frd *.csv *.dat);;所有文件 (*)",
                                      "Measurements (*.txt *.frd *.csv *.dat);;All files (*)"};
constexpr Bilingual FilterDialogTitle{"导入均衡滤波器", "Import EQ filters"};
constexpr Bilingual FilterFileFilter{"滤波器设置 (*.txt *.cfg);;所有文件 (*)",
                                     "Filter settings (*.txt *.cfg);;All files (*)"};

constexpr Bilingual FileUnreadable{"无法读取该文件！", "The file could not be read!"};
constexpr Bilingual FileTooLarge{"文件过大，不是测量曲线或滤波器设置！",
                                 "The file is too large for a measurement or filter settings!"};
// %1: line number.
constexpr Bilingual MeasurementBadLine{
    "测量曲线第%1行无法读取：每行应为频率(Hz)和电平(dB)，以空格、制表符或逗号分隔。未作任何更改。",
    "Line %1 of the measurement could not be read: each line must hold a frequency (Hz) and a "
    "level (dB), separated by spaces, tabs or commas. Nothing was changed."};
// %1: line number.
constexpr Bilingual MeasurementAmbiguousComma{
    "测量曲线第%"
    "1行无法确定读法：各列以空格分隔，数字中又有逗号，逗号可能是小数点，也可能是列分隔符。"
    "请导出时以制表符或分号分隔各列，或使用小数点。未作任何更改。",
    "Line %1 of the measurement cannot be read for certain: its columns are separated by spaces "
    "and its numbers hold commas, so a comma may be a decimal comma or a column separator. Export "
    "it with tabs or semicolons between the columns, or with decimal points. Nothing was changed."};
// %1: line number.
constexpr Bilingual MeasurementGroupedThousands{
    "测量曲线第%1行无法确定读法：数字可能带有千位分隔符（如 1,071.1 或 1.071,1），"
    "也可能是以逗号分隔的两列。请导出不带千位分隔符的数字。未作任何更改。",
    "Line %1 of the measurement cannot be read for certain: a number may have its thousands "
    "grouped (such as 1,071.1 or 1.071,1), or the commas may separate columns. Export the "
    "numbers without thousands separators. Nothing was changed."};
// %1: points found.
constexpr Bilingual MeasurementTooFew{
    "测量曲线在20Hz至20kHz之间至少需要10个点，该文件只有%1个。未作任何更改。",
    "A measurement needs at least 10 points between 20 Hz and 20 kHz; this file has %1. Nothing "
    "was changed."};
// %1: line number.
constexpr Bilingual FilterBadLine{
    "滤波器文件第%1行无法读取，不是已知的滤波器设置格式。未作任何更改。",
    "Line %1 of the filter file could not be read: it is not a known filter-settings format. "
    "Nothing was changed."};
constexpr Bilingual FilterNoFilters{
    "该文件中没有滤波器设置行（如“Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 2.00”）。未作任何更改。",
    "The file holds no filter lines (such as \"Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q "
    "2.00\"). Nothing was changed."};

// A file with channel sections. %1: the edited channel and its role.
constexpr Bilingual FilterChooseChannel{
    "该文件含有多个声道的滤波器。请选择导入到 %1 的声道：",
    "The file holds filters for several channels. Choose the channel whose filters go into %1:"};
// In the import summary. %1: the channel's name as the file gives it.
constexpr Bilingual FilterChannelTaken{"取自文件中声道 %1 的滤波器（及适用于所有声道的滤波器）。",
                                       "Taken from the file's filters for channel %1 (and those "
                                       "for every channel)."};
constexpr Bilingual FilterNothingToImport{
    "文件中没有可设置到均衡频段的峰值滤波器（仅导入已开启的 PK 滤波器）。未作任何更改。",
    "The file holds no peaking filter that can be set into the EQ bands (only PK filters that "
    "are ON are imported). Nothing was changed."};

// The distance dialog.
constexpr Bilingual DistanceTitle{"距离延时计算", "Distance alignment"};
constexpr Bilingual DistanceHint{"扬声器到听音位置的距离（厘米，0–2000，留空则不改变该通道）",
                                 "Distance from each speaker to the listener (cm, 0–2000; leave "
                                 "empty to keep a channel's delay)"};
constexpr Bilingual DistanceApply{"应用", "Apply"};
// %1: channel list.
constexpr Bilingual DistanceBadEntry{"%1 的距离应为0至2000之间的整数厘米。",
                                     "The distance of %1 must be a whole number of cm from 0 to "
                                     "2000."};
constexpr Bilingual DistanceNone{"请至少输入一个通道的距离。",
                                 "Enter the distance of at least one channel."};
// %1: channels over the limit, %2: the farthest channel.
constexpr Bilingual DistanceSpread{
    "距离差过大：%1 相对最远的 %2 需要超过15.00ms（1500步）的延时。未作任何更改。",
    "The distances are too far apart: %1 would need more than 15.00 ms (1500 steps) of delay "
    "against the farthest, %2. Nothing was changed."};

// The automatic equalisation dialog.
constexpr Bilingual AutoEqTitle{"自动均衡", "Auto EQ"};
constexpr Bilingual AutoEqNoMeasurement{"请先为该通道导入测量曲线。",
                                        "Import a measurement of this channel first."};
constexpr Bilingual AutoEqTarget{"目标", "Target"};
constexpr Bilingual AutoEqTargets[] = {
    {"平直", "Flat"},
    {"车内曲线（低频 +6 dB，高频 -1 dB/oct）", "House curve (+6 dB bass, -1 dB/oct treble)"}};
constexpr Bilingual AutoEqMode{"方式", "Mode"};
constexpr Bilingual AutoEqModes[] = {{"参量均衡", "PEQ"}, {"图示均衡", "GEQ"}};
constexpr Bilingual AutoEqMaxBoost{"最大提升 (dB)", "Largest boost (dB)"};
constexpr Bilingual AutoEqLegend{"蓝：预测响应　灰：目标（含分频）",
                                 "Blue: predicted response   Grey: target (with the crossovers)"};
constexpr Bilingual AutoEqChecks{"安全检查（仅为提醒）：", "Safety check (warnings only):"};
constexpr Bilingual AutoEqNothingFound{"没有发现问题。", "Nothing found."};
constexpr Bilingual AutoEqApply{"应用", "Apply"};

} // namespace tarn::txt
