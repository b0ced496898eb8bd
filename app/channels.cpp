// The edited channel across the views: a switch from the channel bar shows that channel on every
// page; and the noise gate of the option menu.
#include "app/tarn80x.h"
#include "model/param_image.h"

namespace tarn {

void Tarn80X::BT_CH_Switch(int ch) {
    channelBar_->switchTo(ch);
}

void Tarn80X::Channel_Refresh(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    Pc.Cur_CH = static_cast<uint8_t>(ch);
    Pc.Cur_Band = 0;
    Refresh_Widgets(RefreshChannel | RefreshEq | RefreshCrossover | RefreshOutputs);
}

void Tarn80X::Option_NoiseGate_Select(int level) {
    if (level < 0 || level > 6) return;
    // The exclusive group moves the mark when the user picks an entry; the refresh keeps it right
    // when the level is chosen any other way (undo, redo).
    Edit(RefreshNoiseGate, [&] { core->NoiseGate_Select(level); });
}

} // namespace tarn
