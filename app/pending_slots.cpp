// Slots of subsystems that are not built yet. Whoever builds one removes its stub here.
#include "app/tarn80x.h"

namespace tarn {

void Tarn80X::Editing_EventFilter(QObject*, QEvent*) {}
void Tarn80X::Filter_Type_Select(bool, int) {}
void Tarn80X::Filter_Slope_Select(bool, int) {}
void Tarn80X::BT_CH_Click() {}
void Tarn80X::BT_CH_Switch(int) {}
void Tarn80X::Show_Channel_Outputs() {}
void Tarn80X::Draw_Channel_Buttons_Off(int) {}
void Tarn80X::Draw_Phase_Button(int) {}
void Tarn80X::Draw_Mute_Button(int) {}
void Tarn80X::Show_Input_Buttons() {}
void Tarn80X::ms_Fun() {}
void Tarn80X::cm_Fun() {}
void Tarn80X::Option_NoiseGate_Select(int) {}

void Tarn80X::Role_Select(int, int) {}
void Tarn80X::Role_Refresh() {}

void Tarn80X::Scene_Menu_Select(int) {}
void Tarn80X::Option_Sub2_Fun() {}
void Tarn80X::Option_Sub3_Fun() {}
void Tarn80X::Option_Sub5_Fun() {}
void Tarn80X::Option_Sub6_Fun() {}
void Tarn80X::Option_Sub7_Fun() {}

} // namespace tarn
