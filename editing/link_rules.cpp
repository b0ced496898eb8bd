#include "editing/link_rules.h"

namespace tarn {

LinkCopyChange Link_Parameter_Copy(ParamImage& image, int dst, int src, uint8_t mode) {
    LinkCopyChange change;
    change.eq = mode == LinkEqAndFilters || mode == LinkEqOnly;
    change.filters = mode != LinkEqOnly;
    if (change.filters) {
        for (const FilterFields* f : {&kHpfFields, &kLpfFields}) {
            image.setFilterOff(*f, dst, image.filterOff(*f, src));
            image.setFilterType(*f, dst, image.filterType(*f, src));
            image.setFilterFreq(*f, dst, image.filterFreq(*f, src));
            image.setFilterSlope(*f, dst, image.filterSlope(*f, src));
        }
    }
    if (change.eq) {
        change.bypass = image.EQ_Bypass(dst) != image.EQ_Bypass(src);
        image.set_EQ_Bypass(dst, image.EQ_Bypass(src));
        for (int b = 0; b < kBands; ++b) {
            const bool differs = image.EQ_Freq(dst, b) != image.EQ_Freq(src, b) ||
                                 image.EQ_Gain(dst, b) != image.EQ_Gain(src, b) ||
                                 image.EQ_Q(dst, b) != image.EQ_Q(src, b);
            if (differs) change.bands |= 1u << b;
            image.set_EQ_Freq(dst, b, image.EQ_Freq(src, b));
            image.set_EQ_Gain(dst, b, image.EQ_Gain(src, b));
            image.set_EQ_Q(dst, b, image.EQ_Q(src, b));
        }
    }
    return change;
}

} // namespace tarn
