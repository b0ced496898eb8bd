// The texts of the unit's history: the reasons, the identity of a unit, the failures.
#pragma once

#include "session/text.h"

namespace tarn::history_text {

// The scene menu's entry and the window's title.
constexpr Bilingual MenuEntry{"历史记录", "History…"};
constexpr Bilingual Title{"历史记录", "History"};

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
    {"自动均衡前", "Before auto EQ"},
    {"测量前", "Before measurement"},
};

// The window's list, buttons and headings.
constexpr Bilingual Columns[] = {{"时间", "Time"},    {"设备", "Unit"},   {"原因", "Reason"},
                                 {"改动", "Changes"}, {"固定", "Pinned"}, {"备注", "Note"}};
constexpr Bilingual FirstOfUnit{"—", "—"};
constexpr Bilingual PinMark{"★", "★"};
constexpr Bilingual Restore{"恢复到设备", "Restore to unit"};
constexpr Bilingual SaveScene{"另存为 .SCE", "Save as .SCE"};
constexpr Bilingual SaveText{"另存为文本", "Save as text"};
constexpr Bilingual Pin{"固定", "Pin"};
constexpr Bilingual Unpin{"取消固定", "Unpin"};
constexpr Bilingual SaveNote{"保存备注", "Save note"};
constexpr Bilingual NotePlaceholder{"此快照的备注", "A note on this snapshot"};
constexpr Bilingual Close{"关闭", "Close"};
constexpr Bilingual ChooseSnapshot{"选择一个快照与设备比较，或选择两个快照互相比较。",
                                   "Choose one snapshot to compare with the unit, or two to "
                                   "compare with each other."};
// %1 the snapshot's number and time.
constexpr Bilingual AgainstUnit{"快照 %1 → 设备当前状态", "Snapshot %1 → the unit now"};
constexpr Bilingual AgainstPcCopy{"快照 %1 → 电脑上的副本（未连接设备）",
                                  "Snapshot %1 → the PC copy (no unit connected)"};
// %1 and %2 the two snapshots, older first.
constexpr Bilingual AgainstEachOther{"快照 %1 → 快照 %2", "Snapshot %1 → snapshot %2"};
constexpr Bilingual NoDifference{"没有差异。", "No differences."};
constexpr Bilingual ImageMissing{"该快照的数据文件已损坏或丢失。",
                                 "This snapshot's data file is damaged or missing."};
// %1 the snapshot's number and time.
constexpr Bilingual RestoreQuestion{
    "将快照 %1 写入设备？设备当前的设置会先保存为一个快照。",
    "Write snapshot %1 into the unit? The unit's present settings are kept as a snapshot first."};
constexpr Bilingual SaveSceneTitle{"快照另存为场景文件", "Save snapshot as scene file"};
constexpr Bilingual SaveTextTitle{"快照另存为文本", "Save snapshot as text"};
constexpr Bilingual TextFilter{"调音文本(*.json)", "Tune text (*.json)"};
// %1 why.
constexpr Bilingual NotChanged{"历史记录未更改（%1）。", "The history was not changed (%1)."};

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
constexpr Bilingual Busy{"另一个程序正在写入历史记录，请稍后再试",
                         "another program is writing the history; try again"};
constexpr Bilingual NoSuchSnapshot{"该快照已不存在", "that snapshot no longer exists"};
// %1 one of the above.
constexpr Bilingual SnapshotNotKept{
    "未能保存设备快照（%1）。操作照常进行，但此刻的状态不在历史记录中。",
    "No snapshot of the unit could be kept (%1). The act goes on, but this state is not in "
    "the history."};

} // namespace tarn::history_text
