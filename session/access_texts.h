// What the window and the command line say about reaching the unit, in both languages.
#pragma once

#include "session/text.h"

namespace tarn::txt {

// BT_CONNECT's tooltip while offline; %1 is hid_error's text.
constexpr Bilingual AccessSearching{"正在查找调音设备（USB 1a86:e010）",
                                    "Looking for the DSP unit (USB 1a86:e010)"};
constexpr Bilingual AccessLockedTip{"已找到调音设备，但无法打开：%1",
                                    "Unit found but could not be opened: %1"};
constexpr Bilingual AccessOpened{"已打开调音设备（USB 1a86:e010）", "Unit opened (USB 1a86:e010)"};
// Told once per attachment of a unit that cannot be opened; %1 is hid_error's text.
constexpr Bilingual AccessLocked{
    "已找到调音设备，但当前用户没有权限打开它。\n\n"
    "原因：%1\n\n"
    "解决办法：安装本程序的软件包（tarn80x），它带有设备权限规则；"
    "或者把 70-tarn80x.rules 复制到 /etc/udev/rules.d/，执行\n"
    "sudo udevadm control --reload-rules\n"
    "然后拔下设备再重新插上。\n\n"
    "以 root 身份运行本程序并不是解决办法。",
    "The DSP unit is on the USB bus, but this user is not allowed to open it.\n\n"
    "Reason: %1\n\n"
    "Fix: install the tarn80x package, which brings the device access rule; "
    "or copy 70-tarn80x.rules to /etc/udev/rules.d/, run\n"
    "sudo udevadm control --reload-rules\n"
    "then unplug the unit and plug it in again.\n\n"
    "Running this program as root is not the fix."};
// The unit is held by the other program of this package (the window or the command line); %1
// names it and its process.
constexpr Bilingual AccessInUseTip{"调音设备正被另一个程序使用：%1",
                                   "The unit is in use by another program: %1"};
constexpr Bilingual AccessInUse{
    "调音设备正被另一个程序使用：%1。\n\n"
    "同一时间只能有一个程序（调音窗口或命令行 tarn80x-cli）连接设备。"
    "请等它完成或关闭它；设备空闲后窗口会自动连接。",
    "The DSP unit is in use by another program: %1.\n\n"
    "Only one program at a time (the tuning window or the command line tarn80x-cli) can hold "
    "the unit. Wait for it to finish or close it; the window connects by itself once the unit "
    "is free."};

} // namespace tarn::txt
