#include "tuning/bulk_edits.h"

namespace tarn {

ChannelBands Bands_Of(int ch) {
    ChannelBands bands;
    for (int b = 0; b < kBands; ++b)
        bands[b] = BandSetting{Param_Image.EQ_Freq(ch, b), Param_Image.EQ_Gain(ch, b),
                               Param_Image.EQ_Q(ch, b)};
    return bands;
}

ChannelDelays Delays_Now() {
    ChannelDelays delays;
    for (int ch = 0; ch < kChannels; ++ch)
        delays[ch] = Param_Image.CH_Delay(ch);
    return delays;
}

} // namespace tarn
