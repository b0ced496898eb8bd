// The notices of the scene files and the firmware upgrade, in both languages.
#pragma once

#include "i18n/text.h"

namespace tarn::transfer_text {

constexpr Bilingual NotConnected{"请先联机！", "Please connect machine！"};

// Scene files.
constexpr Bilingual SingleLoadDone{"单个场景加载完成，确定后系统将自动同步数据",
                                   "load success,please wait update"};
constexpr Bilingual AllLoadDone{"全部场景加载完成，确定后系统将自动同步数据",
                                "load success,please wait update"};
constexpr Bilingual SceneFileSize{
    "场景文件大小不正确（应为 4096 字节），未加载！",
    "Wrong scene file size (must be 4096 bytes); nothing was loaded!"};
constexpr Bilingual AllFileSize{
    "全部场景文件大小不正确（应为 36864 字节），未加载！",
    "Wrong all-scenes file size (must be 36864 bytes); nothing was loaded!"};
constexpr Bilingual FileIsAllScenes{
    "这是全部场景文件（*.ALL），请用“加载电脑的全部场景”加载，未加载！",
    "This is an all-scenes file (*.ALL); load it with \"Load all sence\". Nothing was loaded!"};
constexpr Bilingual FileIsSingleScene{
    "这是单个场景文件（*.SCE），请用“加载电脑的单个场景”加载，未加载！",
    "This is a single-scene file (*.SCE); load it with \"Load single sence\". Nothing was loaded!"};
constexpr Bilingual SceneFileGains{
    "不是有效的场景文件（均衡增益超出范围），未加载！",
    "Not a valid scene file (EQ gains out of range); nothing was loaded!"};
constexpr Bilingual FileUnreadable{"无法读取文件，未加载！",
                                   "Cannot read the file; nothing was loaded!"};
constexpr Bilingual FileNotSaved{"文件保存失败，原有文件未改变！",
                                 "Could not save the file; any earlier file is unchanged!"};
constexpr Bilingual DownloadStopped{
    "机器无响应，场景读取已中止，未保存文件！",
    "The unit stopped answering; reading the scenes was stopped and no file was saved!"};
constexpr Bilingual LoadStopped{
    "机器无响应，场景加载已中止！机器将重新连接。",
    "The unit stopped answering; the scene load was stopped. The unit will be reconnected."};

// Firmware upgrade.
constexpr Bilingual FirmwareNotMatch{"升级固件不匹配！", "Firmware not match！"};
constexpr Bilingual FirmwareReadError{"升级固件读取不正确！", "Firmware error！"};
constexpr Bilingual FirmwareTooLarge{"升级固件过大（最大 512 KB），未升级！",
                                     "Firmware file too large (512 KB at most); nothing was sent!"};
constexpr Bilingual UpgradeDone{"升级文件传输完成，请耐心等待机器自动更新固件(5秒钟)!",
                                "Upgrade success，please wait update(5s)!"};
constexpr Bilingual UpgradeStopped{
    "机器无响应，固件升级已中止！请重新连接后再次升级。",
    "The unit stopped answering; the upgrade was stopped. Reconnect and run it again."};

} // namespace tarn::transfer_text
