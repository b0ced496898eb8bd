// Texts the graph writes: its legend and readouts.
#pragma once

#include "session/text.h"

namespace tarn::txt {

constexpr Bilingual GraphMeasured{"测量", "Measured"};
constexpr Bilingual GraphPredicted{"预测", "Predicted"};
// %1: the level at the pointer ("+2.0 dB").
constexpr Bilingual ReadoutMeasured{"测量 %1", "Measured %1"};
constexpr Bilingual ReadoutPredicted{"预测 %1", "Predicted %1"};
// While a band marker is dragged. %1: band number, %2: frequency, %3: gain, %4: Q.
constexpr Bilingual ReadoutBand{"第%1段  %2  %3  Q %4", "Band %1  %2  %3  Q %4"};
// While a crossover marker is dragged. %1: corner frequency.
constexpr Bilingual ReadoutHighPass{"高通  %1", "High-pass  %1"};
constexpr Bilingual ReadoutLowPass{"低通  %1", "Low-pass  %1"};

// The plot's tooltip: how to change the level range. %1: the range now ("±20 dB").
constexpr Bilingual GraphLevelRangeTip{"电平范围 %1：在图上滚动鼠标滚轮可放大或缩小",
                                       "Level range %1: scroll the mouse wheel over the graph to "
                                       "zoom in or out"};

} // namespace tarn::txt
