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
};

// The text in the current language (Pc.Lang_EN).
QString tr2(const Bilingual& text);
QString tr2(const Bilingual& text, bool english);
QString tr2(const BilingualText& text);

BilingualText Text_Of(const Bilingual& text);
// Both languages with %1, %2 ... replaced by the arguments, in order.
BilingualText Fill_Text(const Bilingual& pattern, const QStringList& args);

namespace txt {
// Notices.
constexpr Bilingual NoticeTitle{"提示", "Notice"};
constexpr Bilingual CommError{"机器通讯异常！", "Connect error！"};
constexpr Bilingual NameMismatch{"设备名称不匹配！", "Connect error！"};
// Link status on BT_CONNECT.
constexpr Bilingual StatusOffline{"已断开", "OFF"};
constexpr Bilingual StatusOnline{"已连接", "Online"};
} // namespace txt

} // namespace tarn
