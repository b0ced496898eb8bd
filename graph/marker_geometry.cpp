#include "graph/marker_geometry.h"

#include "graph/response.h"
#include "graph/scale.h"
#include "model/param_image.h"

#include <algorithm>
#include <cmath>

namespace tarn {

int Gain_To_Marker_Y(int gain) {
    return Db_To_Py((gain - kGainFlat) / 10.0) - kMarkerCentre;
}

int Marker_Y_To_Gain_Exact(int y) {
    const double tenths = std::floor(Py_To_Db(y + kMarkerCentre) * 10.0 + 0.5);
    return static_cast<int>(std::clamp(tenths + kGainFlat, 0.0, 240.0));
}

int Marker_X_To_Freq(int x) {
    return Pos_To_Freq(x);
}

int Crossover_Marker_Top(double db) {
    const int row = std::clamp(Db_To_Py(db), kGraphTop, kGraphTop + kGraphHeight - 1);
    return row - kCrossoverMarkerSize / 2;
}

} // namespace tarn
