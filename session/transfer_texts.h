// The notices of the scene files and the firmware upgrade, in both languages.
#pragma once

#include "session/text.h"

namespace tarn::transfer_text {

constexpr Bilingual NotConnected{"请先联机！", "Please connect the unit first!"};

// Scene files.
constexpr Bilingual SingleLoadDone{
    "单个场景加载完成，确定后系统将自动同步数据",
    "Scene loaded. After OK the settings are read back from the unit."};
constexpr Bilingual AllLoadDone{"全部场景加载完成，确定后系统将自动同步数据",
                                "All scenes loaded. After OK the settings are read back from the "
                                "unit."};
// After a restore from the history: the unit is read back on its own, whether or not the box is
// still open.
constexpr Bilingual RestoreDone{"快照已恢复到机器，机器的设置将自动读回。",
                                "The snapshot was restored to the unit; its settings are read "
                                "back automatically."};
constexpr Bilingual SceneFileSize{
    "场景文件大小不正确（应为 4096 字节），未加载！",
    "Wrong scene file size (must be 4096 bytes); nothing was loaded!"};
constexpr Bilingual AllFileSize{
    "全部场景文件大小不正确（应为 36864 字节），未加载！",
    "Wrong all-scenes file size (must be 36864 bytes); nothing was loaded!"};
constexpr Bilingual FileIsAllScenes{
    "这是全部场景文件（*.ALL），请用“加载电脑的全部场景”加载，未加载！",
    "This is an all-scenes file (*.ALL); load it with \"Load all scenes\". Nothing was loaded!"};
constexpr Bilingual FileIsSingleScene{
    "这是单个场景文件（*.SCE），请用“加载电脑的单个场景”加载，未加载！",
    "This is a single-scene file (*.SCE); load it with \"Load single scene\". Nothing was loaded!"};
// %1 where in the file ("场景 2，CH3，第 5 段，" / "scene 2, CH3, band 5, "), %2 the field, %3 its
// name in the image, %4 the value, %5 and %6 the limits.
constexpr Bilingual SceneFileField{
    "文件中的数值超出范围：%1%2（%3）为 %4，允许 %5..%6，未加载，未发送任何数据！",
    "A value in the file is out of range: %1%2 (%3) is %4, allowed %5..%6. Nothing was loaded "
    "or sent!"};
constexpr Bilingual FieldAtScene{"场景 %1，", "scene %1, "};
constexpr Bilingual FieldAtBand{"第 %1 段，", "band %1, "};
constexpr Bilingual FieldAtOffset{"第 %1 字节，", "byte %1, "};
// A load that brought gains an earlier version stored within the range; %1 how many, then the
// places ("CH3 EQ band 11 +20.0 dB → +12.0 dB").
constexpr Bilingual GainsLimited{
    "文件中有 %1 个均衡增益超出 -12.0 至 +12.0 dB，已限制到该范围（设备读回时会把超出的增益变为 "
    "0.0 dB）：",
    "%1 EQ gain(s) in the file beyond -12.0 to +12.0 dB were limited to that range (the unit would "
    "read them back as 0.0 dB): "};
constexpr Bilingual GainsLimitedMore{"；另有 %1 个", "; and %1 more"};
// The tune's text form; %1 the reader's words, naming the field.
constexpr Bilingual TuneTextRefused{"调音文本文件不正确，未加载：%1",
                                    "The tune text was refused; nothing was loaded: %1"};
constexpr Bilingual TuneTextTooLarge{"文件过大，不是调音文本文件，未加载！",
                                     "The file is far too large for a tune text; nothing was "
                                     "loaded!"};
constexpr Bilingual FileUnreadable{"无法读取文件，未加载！",
                                   "Cannot read the file; nothing was loaded!"};
constexpr Bilingual FileNotRegular{
    "所选的不是普通文件（例如管道、设备或文件夹），未读取！",
    "The chosen item is not a regular file (a pipe, a device or a folder, for instance); it was "
    "not read!"};
// The file dialogs' filter for one scene.
constexpr Bilingual SingleFilter{"场景文件(*.SCE)", "Scene file (*.SCE)"};
constexpr Bilingual FileNotSavedDiskFull{
    "磁盘空间不足，未保存任何内容，原有文件未改变！",
    "The disk is full: nothing was saved, and any earlier file is unchanged!"};
constexpr Bilingual FileNotSavedNoPermission{
    "没有写入该位置的权限，未保存任何内容，原有文件未改变！",
    "No permission to write there: nothing was saved, and any earlier file is unchanged!"};
// %1 the system's words for the failure.
constexpr Bilingual FileNotSaved{
    "文件保存失败（%1），未保存任何内容，原有文件未改变！",
    "Could not save the file (%1): nothing was saved, and any earlier file is unchanged!"};
constexpr Bilingual DownloadStopped{
    "机器无响应，场景读取已中止，未保存文件！",
    "The unit stopped answering; reading the scenes was stopped and no file was saved!"};
constexpr Bilingual LoadStopped{
    "机器无响应，场景加载已中止！机器将重新连接。",
    "The unit stopped answering; the scene load was stopped. The unit will be reconnected."};

// Firmware upgrade.
constexpr Bilingual FirmwareNotMatch{"升级固件不匹配！", "The firmware does not match this unit!"};
constexpr Bilingual FirmwareReadError{"升级固件读取不正确！", "The firmware file is not correct!"};
// %1 file name, %2 its size in bytes, %3 the unit's firmware version.
constexpr Bilingual FirmwareConfirm{
    "即将升级机器固件：\n文件：%1\n大小：%2 "
    "字节\n机器当前固件版本：%3\n升级过程中请勿断开机器。确定要升级吗？",
    "About to upgrade the unit's firmware:\nFile: %1\nSize: %2 bytes\nCurrent firmware version: "
    "%3\nDo not disconnect the unit during the upgrade. Upgrade now?"};
constexpr Bilingual FirmwareTooLarge{"升级固件过大（最大 512 KB），未升级！",
                                     "Firmware file too large (512 KB at most); nothing was sent!"};
constexpr Bilingual UpgradeDone{"升级文件传输完成，请耐心等待机器自动更新固件(5秒钟)!",
                                "Upgrade file sent. Please wait while the unit installs it (5 s)!"};
constexpr Bilingual UpgradeStopped{
    "机器无响应，固件升级已中止！请重新连接后再次升级。",
    "The unit stopped answering; the upgrade was stopped. Reconnect and run it again."};

} // namespace tarn::transfer_text
