// Every user-visible text exists in Chinese and in English; the language is chosen when it is
// shown.
#pragma once

#include <QString>
#include <QStringList>

namespace tarn {

struct Bilingual {
    const char* zh;
    const char* en;
};

// A text composed at run time (a file name or a value filled in), in both languages.
struct BilingualText {
    QString zh;
    QString en;

    const QString& in(bool english) const { return english ? en : zh; }
    bool isEmpty() const { return zh.isEmpty() && en.isEmpty(); }
};

// The text in the current language (Pc.Lang_EN).
QString tr2(const Bilingual& text);
QString tr2(const Bilingual& text, bool english);
QString tr2(const BilingualText& text);

BilingualText Text_Of(const Bilingual& text);
// Both languages with %1, %2 ... replaced by the arguments, in order, their control characters
// escaped (withControlsEscaped).
BilingualText Fill_Text(const Bilingual& pattern, const QStringList& args);

// A text that came from a file, the unit or a command line, fit to be quoted in a message: its
// control characters and line breaks are written as escapes ("\x1B", "\n"), so that a name
// holding ESC or BEL cannot act on the terminal that shows it, nor start a line of its own. Every
// message that fills in such a text does so through this.
QString withControlsEscaped(const QString& text);

namespace txt {
// Notices.
constexpr Bilingual NoticeTitle{"提示", "Notice"};
constexpr Bilingual CommError{"机器通讯异常！", "Connection error!"};
constexpr Bilingual NameMismatch{"设备名称不匹配！", "The unit reports a wrong name!"};
constexpr Bilingual UnitSilent{"设备无响应，已断开，正在重新查找设备。",
                               "Unit not answering: disconnected, looking for it again."};
constexpr Bilingual UnitTrouble{"设备应答不正确，无法联机。请检查连接或重新插拔设备。",
                                "The unit does not answer correctly and cannot be connected. "
                                "Check the cable or plug the unit in again."};
constexpr Bilingual SeveralUnits{"检测到多台设备，仅使用先连接的一台。请拔下其余设备。",
                                 "Several units are attached; only the first one found is used. "
                                 "Unplug the others."};
// Link status on BT_CONNECT.
constexpr Bilingual StatusOffline{"已断开", "Offline"};
constexpr Bilingual StatusOnline{"已连接", "Online"};
// Tooltip of BT_CONNECT while the unit present keeps failing the handshake.
constexpr Bilingual StatusTrouble{"设备应答不正确", "The unit does not answer correctly"};
// Beside BT_CONNECT while no unit is connected, and after a file is saved (%1 its path).
constexpr Bilingual StatusOfflineNote{"未连接设备：修改只保存在电脑上的副本中。",
                                      "No unit connected: changes are made to the PC copy only."};
constexpr Bilingual StatusSavedTo{"文件已保存到 %1", "File saved to %1"};
// Beside the progress bar during a transfer.
constexpr Bilingual TransferCancel{"取消", "Cancel"};
constexpr Bilingual TransferCannotStop{"传输进行中，不能中断",
                                       "Transfer in progress, cannot be stopped"};
} // namespace txt

} // namespace tarn
