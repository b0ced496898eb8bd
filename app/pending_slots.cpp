// Slots of subsystems that are not built yet. Whoever builds one removes its stub here.
#include "app/tarn80x.h"

namespace tarn {

void Tarn80X::Scene_Menu_Select(int) {}
void Tarn80X::Option_Sub2_Fun() {}
void Tarn80X::Option_Sub3_Fun() {}
void Tarn80X::Option_Sub5_Fun() {}

} // namespace tarn
