// Texts about reaching the unit and about the program itself, in both languages.
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

} // namespace tarn::txt
