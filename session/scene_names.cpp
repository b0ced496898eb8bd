#include "session/scene_names.h"

#include <QByteArray>
#include <algorithm>

namespace tarn {

std::array<uint8_t, 16> Scene_Name_Slot(const std::array<uint8_t, 16>& old, const QString& name) {
    std::array<uint8_t, 16> slot = old;
    const QByteArray bytes = name.toLatin1();
    int n = 0;
    while (n < kSceneNameBytes && n < bytes.size() && bytes[n] != '\0') {
        slot[static_cast<size_t>(n)] = static_cast<uint8_t>(bytes[n]);
        ++n;
    }
    if (n < kSceneNameBytes) slot[static_cast<size_t>(n)] = 0;
    return slot;
}

QString Scene_Name_Text(const std::array<uint8_t, 16>& slot) {
    const auto end = std::find(slot.begin(), slot.end(), uint8_t{0});
    return QString::fromLatin1(reinterpret_cast<const char*>(slot.data()),
                               static_cast<int>(end - slot.begin()));
}

bool Scene_Name_Acceptable(const QString& name) {
    if (name.isEmpty()) return false;
    const ushort first = name.at(0).unicode();
    return first >= 0x41 && first <= 0x7A;
}

} // namespace tarn

namespace tarn {

BilingualText Scene_Name_Refusal(const QString& name) {
    for (int i = 0; i < name.size();) {
        const char32_t c = name.at(i).isHighSurrogate() && i + 1 < name.size()
                               ? QChar::surrogateToUcs4(name.at(i), name.at(i + 1))
                               : name.at(i).unicode();
        const int width = c > 0xFFFF ? 2 : 1;
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
        if (c > 0xFF || control) {
            const QString code =
                QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
            // A control character is shown by its code alone.
            const QString shown = control ? QString() : name.mid(i, width);
            return Fill_Text(txt::SceneNameCharacter, {shown, code});
        }
        i += width;
    }
    if (!Scene_Name_Acceptable(name)) return Text_Of(txt::SceneNameFormat);
    if (name.size() > kSceneNameBytes) return Text_Of(txt::SceneNameTooLong);
    return {};
}

} // namespace tarn
