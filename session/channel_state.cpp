#include "session/channel_state.h"

#include "session/output_format.h"

namespace tarn {

ChannelEditState Chan;

void Channel_State_Init() {
    Chan = ChannelEditState{};
}

QString delayDisplayText(int steps) {
    if (Chan.Delay_Unit == kDelayUnitMs) TARN_DIAG(QStringList{QString::number(steps)});
    return Delay_Text(steps, Chan.Delay_Unit);
}

} // namespace tarn
