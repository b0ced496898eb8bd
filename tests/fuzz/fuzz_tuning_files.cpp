// Feeds arbitrary bytes to the two text loaders of the tuning workflow: as a measurement (read,
// put on the grid, levelled) and as filter settings (read, fitted, summarised).
#include "dsp/measurement.h"
#include "dsp/response.h"
#include "session/filter_file.h"

#include <QByteArray>
#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn;
    static const bool ready = (Param_Init(), true);
    (void)ready;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<int>(size));

    MeasurementRead read = Read_Measurement(text);
    if (read.error == MeasurementRead::Error::None) {
        const Measurement m = Measurement_On_Grid(std::move(read.points));
        for (int i = 0; i < kCurvePoints; ++i)
            if (m.covered[i] && !std::isfinite(m.level[i])) std::abort();
    }

    const FilterFile file = Read_Filter_File(text);
    if (file.ok) {
        const FilterFit fit = Fit_Filters(file);
        for (const BandSetting& b : fit.bands)
            if (b.freq < 20 || b.freq > 20000 || b.gain > 240 || b.q < 4 || b.q > 100) std::abort();
        if (!std::isfinite(fit.worstDb)) std::abort();
        (void)Filter_Import_Summary(file, fit, 0, true);
    }
    return 0;
}
