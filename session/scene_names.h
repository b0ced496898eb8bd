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
constexpr Bilingual SceneSaved{"场景保存成功!", "Scene saved!"};
constexpr Bilingual SceneRecalled{"场景加载成功，请耐心等待参数更新!",
                                  "Scene recalled. Please wait while the settings are read back!"};
} // namespace txt

// The 16 bytes of a scene-name slot after storing `name` in it: the Latin-1 bytes of the name
// ('?' for characters outside Latin-1), at most 16, up to a NUL; one NUL after a shorter name;
// the bytes after that keep what the slot held.
std::array<uint8_t, 16> Scene_Name_Slot(const std::array<uint8_t, 16>& old, const QString& name);
// The text of a slot: its bytes up to the first NUL, as Latin-1.
QString Scene_Name_Text(const std::array<uint8_t, 16>& slot);
// Scene names start with a character from 'A' (0x41) to 'z' (0x7A).
bool Scene_Name_Acceptable(const QString& name);

} // namespace tarn
