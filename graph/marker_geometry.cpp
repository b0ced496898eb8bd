#include "graph/marker_geometry.h"

#include "graph/response.h"
#include "model/param_image.h"

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

int Marker_X_To_Freq(int x) {
    const int f = Pos_To_Freq(x);
    if (f < kFreqMax && Freq_To_Pos(f + 1) - x < x - Freq_To_Pos(f)) return f + 1;
    return f;
}

int Marker_Y_To_Gain_Exact(int y) {
    // Higher gains sit higher (smaller y); every pixel in between holds two or three gains.
    if (y <= Gain_To_Marker_Y(240)) return 240;
    if (y >= Gain_To_Marker_Y(0)) return 0;
    int first = -1, last = -1;
    for (int g = 0; g <= 240; ++g) {
        if (Gain_To_Marker_Y(g) != y) continue;
        if (first < 0) first = g;
        last = g;
    }
    return (first + last) / 2;
}

} // namespace tarn
