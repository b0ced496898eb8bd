// The distances typed into the distance dialog, remembered between runs.
#pragma once

#include "model/param_image.h"

#include <QString>
#include <array>

namespace tarn {

using DistanceTexts = std::array<QString, kChannels>;

DistanceTexts Load_Distances();
void Save_Distances(const DistanceTexts& texts);

} // namespace tarn
