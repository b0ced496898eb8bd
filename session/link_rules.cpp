#include "session/link_rules.h"

namespace tarn {

bool Copy_Band(ParamImage& image, int dst, int src, int band) {
    const bool differs = image.EQ_Freq(dst, band) != image.EQ_Freq(src, band) ||
                         image.EQ_Gain(dst, band) != image.EQ_Gain(src, band) ||
                         image.EQ_Q(dst, band) != image.EQ_Q(src, band);
    image.set_EQ_Freq(dst, band, image.EQ_Freq(src, band));
    image.set_EQ_Gain(dst, band, image.EQ_Gain(src, band));
    image.set_EQ_Q(dst, band, image.EQ_Q(src, band));
    return differs;
}

void Copy_Filter(ParamImage& image, const FilterFields& f, int dst, int src) {
    image.setFilterOff(f, dst, image.filterOff(f, src));
    image.setFilterType(f, dst, image.filterType(f, src));
    image.setFilterFreq(f, dst, image.filterFreq(f, src));
    image.setFilterSlope(f, dst, image.filterSlope(f, src));
}

LinkPairing Link_Pairing(const ParamImage& image, int ch, bool leftBased) {
    const uint8_t role = image.CH_Name(ch);
    // Every other channel whose role pairs with ch's, ch on the reference side of the pair or on
    // the other side; the reference side is looked for first.
    const auto paired = [&](bool editedIsReference) {
        std::vector<int> found;
        for (const LrPair& pair : LR_Pairs) {
            const uint8_t reference = leftBased ? pair.left : pair.right;
            const uint8_t partner = leftBased ? pair.right : pair.left;
            if (role != (editedIsReference ? reference : partner)) continue;
            for (int j = 0; j < kChannels; ++j)
                if (j != ch && image.CH_Name(j) == (editedIsReference ? partner : reference))
                    found.push_back(j);
        }
        return found;
    };
    LinkPairing pairing;
    pairing.channels = paired(true);
    if (!pairing.channels.empty()) return pairing;
    pairing.editedIsReference = false;
    pairing.channels = paired(false);
    return pairing;
}

LinkCopyChange Link_Parameter_Copy(ParamImage& image, int dst, int src, uint8_t mode) {
    LinkCopyChange change;
    change.eq = mode == LinkEqAndFilters || mode == LinkEqOnly;
    change.filters = mode != LinkEqOnly;
    if (change.filters) {
        for (const FilterFields* f : {&kHpfFields, &kLpfFields})
            Copy_Filter(image, *f, dst, src);
    }
    if (change.eq) {
        change.bypass = image.EQ_Bypass(dst) != image.EQ_Bypass(src);
        image.set_EQ_Bypass(dst, image.EQ_Bypass(src));
        for (int b = 0; b < kBands; ++b)
            if (Copy_Band(image, dst, src, b)) change.bands |= 1u << b;
    }
    return change;
}

} // namespace tarn
