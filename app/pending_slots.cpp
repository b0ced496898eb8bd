// Slots of subsystems that are not built yet. Whoever builds one removes its stub here.
#include "app/tarn80x.h"

namespace tarn {

// Scene manager, factory reset, About.
void Tarn80X::Sence_Sub1_Fun() {}
void Tarn80X::Option_Sub2_Fun() {}
void Tarn80X::Option_Sub3_Fun() {}

// Scene files and firmware upgrade.
void Tarn80X::Sence_Sub2_Fun() {}
void Tarn80X::Sence_Sub3_Fun() {}
void Tarn80X::Sence_Sub4_Fun() {}
void Tarn80X::Sence_Sub5_Fun() {}
void Tarn80X::Option_Sub5_Fun() {}

} // namespace tarn
