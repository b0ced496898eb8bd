#include "graph/marker_geometry.h"

#include "dsp/response.h"
#include "model/param_image.h"

#include <algorithm>
#include <cmath>

namespace tarn {

int Gain_To_Marker_Y(int gain) {
    return Gain_To_Marker_Y(kBaseScale, gain);
}

int Marker_Y_To_Gain_Exact(int y) {
    return Marker_Y_To_Gain_Exact(kBaseScale, y);
}

int Marker_X_To_Freq(int x) {
    return Pos_To_Freq(x);
}

int Crossover_Marker_Top(double db) {
    return Crossover_Marker_Top(kBaseScale, db);
}

int Gain_To_Marker_Y(const GraphScale& scale, int gain) {
    return scale.dbToPy((gain - kGainFlat) / 10.0) - kMarkerCentre;
}

int Marker_Y_To_Gain_Exact(const GraphScale& scale, int y) {
    const double tenths = std::floor(scale.pyToDb(y + kMarkerCentre) * 10.0 + 0.5);
    return static_cast<int>(std::clamp(tenths + kGainFlat, 0.0, 240.0));
}

int Marker_X_To_Freq(const GraphScale& scale, int x) {
    return Pos_To_Freq(scale, x);
}

int Crossover_Marker_Top(const GraphScale& scale, double db) {
    const int row = std::clamp(scale.dbToPy(db), scale.top, scale.bottom());
    return row - kCrossoverMarkerSize / 2;
}

} // namespace tarn
