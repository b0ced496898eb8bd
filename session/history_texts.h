// The texts of the unit's history: the reasons, the identity of a unit, the failures.
#pragma once

#include "session/text.h"

namespace tarn::history_text {

// In the order of SnapshotReason.
constexpr Bilingual Reason[] = {
    {"联机读取", "Read from unit"},
    {"调用场景前", "Before scene recall"},
    {"加载场景文件前", "Before scene file load"},
    {"加载全部场景前", "Before all-scenes load"},
    {"删除场景前", "Before scene delete"},
    {"恢复出厂前", "Before factory reset"},
    {"固件升级前", "Before firmware upgrade"},
    {"关闭程序时", "Window closed"},
    {"设备断开时", "Unit unplugged"},
    {"恢复快照前", "Before restore"},
};

// %1 the serial number.
constexpr Bilingual UnitSerial{"序列号 %1", "serial %1"};
// %1 the unit's name, %2 its firmware version: a unit that reports no serial number.
constexpr Bilingual UnitNoSerial{"%1（无序列号，固件 %2）", "%1 (no serial, firmware %2)"};

// Why nothing was kept (in the notice below).
constexpr Bilingual DiskFull{"磁盘空间不足", "the disk is full"};
constexpr Bilingual NoPermission{"没有写入历史记录文件夹的权限",
                                 "no permission to write the history folder"};
// %1 the system's words.
constexpr Bilingual OtherFailure{"写入历史记录失败：%1", "the history could not be written: %1"};
constexpr Bilingual NoSuchSnapshot{"该快照已不存在", "that snapshot no longer exists"};
// %1 one of the above.
constexpr Bilingual SnapshotNotKept{
    "未能保存设备快照（%1）。操作照常进行，但此刻的状态不在历史记录中。",
    "No snapshot of the unit could be kept (%1). The act goes on, but this state is not in "
    "the history."};

} // namespace tarn::history_text
