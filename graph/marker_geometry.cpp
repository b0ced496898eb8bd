#include "graph/marker_geometry.h"

#include "graph/response.h"

namespace tarn {

int Marker_Y_To_Gain(int y) {
    const double g = (kZeroDbY - y) * 0.2123 * 10 + 120;
    if (g > 240) return 240;
    if (g < 0) return 0;
    return static_cast<int>(g);
}

int Gain_To_Marker_Y(int gain) {
    return static_cast<int>(kZeroDbY - ((gain - 120) / 10.0) / 0.2127) - 5;
}

} // namespace tarn
