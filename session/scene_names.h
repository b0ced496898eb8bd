// The names of the unit's nine stored scenes: the bytes a name is stored as, and the rule a new
// name follows. Shared by the window's scene manager and the command line.
#pragma once

#include "session/text.h"

#include <QString>
#include <array>
#include <cstdint>

namespace tarn {

constexpr int kSceneNameBytes = 16;

namespace txt {
constexpr Bilingual SceneNameFormat{"场景名称格式不正确，要字母开头!",
                                    "A scene name must start with a letter!"};
// %1 the character, %2 its code ("U+4E2D").
constexpr Bilingual SceneNameCharacter{
    "场景名称中的字符“%1”（%2）无法存入设备：只能使用拉丁字母、数字和西欧字符（Latin-1）!",
    "The unit cannot store the character \"%1\" (%2) of the scene name: use Latin letters, "
    "digits and Western European (Latin-1) characters only!"};
constexpr Bilingual SceneNameTooLong{"场景名称最多 16 个字符!",
                                     "A scene name has at most 16 characters!"};
// %1 the place; nothing is sent.
constexpr Bilingual SceneRecallEmpty{"场景 %1 是空的，没有可调用的场景，未发送任何命令!",
                                     "Scene place %1 is empty: there is nothing to recall. "
                                     "Nothing was sent!"};
constexpr Bilingual SceneSaved{"场景保存成功!", "Scene saved!"};
constexpr Bilingual SceneRecalled{"场景加载成功，请耐心等待参数更新!",
                                  "Scene recalled. Please wait while the settings are read back!"};
} // namespace txt

// The 16 bytes of a scene-name slot after storing `name` in it: the Latin-1 bytes of the name, at
// most 16, up to a NUL; one NUL after a shorter name; the bytes after that keep what the slot
// held. The name has passed Scene_Name_Refusal.
std::array<uint8_t, 16> Scene_Name_Slot(const std::array<uint8_t, 16>& old, const QString& name);
// The text of a slot: its bytes up to the first NUL, as Latin-1.
QString Scene_Name_Text(const std::array<uint8_t, 16>& slot);
// Scene names start with a character from 'A' (0x41) to 'z' (0x7A).
bool Scene_Name_Acceptable(const QString& name);
// Why a new scene name cannot be stored, or empty when it can. The unit keeps one byte per
// character, shown as Latin-1: a character beyond Latin-1, or a control character (a NUL would
// end the name early), is named; then the first-letter rule; then the length.
BilingualText Scene_Name_Refusal(const QString& name);

} // namespace tarn
