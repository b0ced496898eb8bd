#include "model/param_image.h"

#include <algorithm>

namespace tarn {

ParamImage Param_Image;
PcState Pc;

bool ParamImage::storeBlock(int n, const uint8_t* data20) {
    if (n < 0 || n >= kBlockCount) return false;
    std::copy(data20, data20 + kBlockSize, bytes_.begin() + n * kBlockSize);
    return true;
}

void Param_Init() {
    ParamImage& p = Param_Image;
    p.bytes().fill(0);
    static constexpr uint8_t kDefaultRoles[kChannels] = {3, 7, 11, 15, 16, 19};
    p.set_Input_Source(0);
    p.set_Total_Vol(kVolMax);
    p.set_NoiseGate(0);
    for (int ch = 0; ch < kChannels; ++ch) {
        p.set_CH_Name(ch, kDefaultRoles[ch]);
        p.set_CH_Vol(ch, kVolMax);
        p.set_CH_Mute(ch, 0);
        p.set_CH_Delay(ch, 0);
        p.set_CH_Phase(ch, 0);
        p.set_EQ_Bypass(ch, 0);
        for (int b = 0; b < kBands; ++b) {
            p.set_EQ_Freq(ch, b, kDefaultBandFreq[b]);
            p.set_EQ_Gain(ch, b, kGainFlat);
            p.set_EQ_Q(ch, b, kEqQDefault);
        }
        for (const FilterFields* f : {&kHpfFields, &kLpfFields}) {
            p.setFilterSlope(*f, ch, 3);
            p.setFilterOff(*f, ch, 1);
            p.setFilterType(*f, ch, 0);
        }
        p.set_HPF_Freq(ch, kFreqMin);
        p.set_LPF_Freq(ch, kFreqMax);
    }
    Pc = PcState{};
    for (auto& row : Pc.EQ_Gain_Saved)
        row.fill(kGainFlat);
}

bool Apply_Validity_Rules(ParamImage& p, PcState& pc) {
    if (p.Input_Source() > 2) p.set_Input_Source(0);
    if (p.Total_Vol() > kVolMax) p.set_Total_Vol(kVolMax);
    if (p.NoiseGate() > kNoiseGateMax) p.set_NoiseGate(0);
    bool allMuted = true;
    for (int ch = 0; ch < kChannels; ++ch)
        allMuted = allMuted && p.CH_Mute(ch) != 0;
    pc.Master_Mute = allMuted ? 1 : 0;

    auto outsideFreq = [](uint16_t f) { return f < kFreqMin || f > kFreqMax; };
    for (int ch = 0; ch < kChannels; ++ch) {
        for (int b = 0; b < kBands; ++b) {
            const uint16_t g = static_cast<uint16_t>(p.EQ_Gain(ch, b) - kGainUnitShift);
            const uint16_t pcGain = g <= 240 ? g : kGainFlat;
            p.set_EQ_Gain(ch, b, pcGain);
            pc.EQ_Gain_Saved[ch][b] = pcGain;
            if (outsideFreq(p.EQ_Freq(ch, b))) p.set_EQ_Freq(ch, b, kDefaultBandFreq[b]);
            if (p.EQ_Q(ch, b) < kEqQMin || p.EQ_Q(ch, b) > kEqQMax) p.set_EQ_Q(ch, b, kEqQDefault);
        }
        // The program takes any nonzero switch byte as on; the image says so plainly.
        if (p.EQ_Bypass(ch) > 1) p.set_EQ_Bypass(ch, 1);
        if (p.HPF_Off(ch) > 1) p.set_HPF_Off(ch, 1);
        if (p.LPF_Off(ch) > 1) p.set_LPF_Off(ch, 1);
        if (outsideFreq(p.HPF_Freq(ch))) p.set_HPF_Freq(ch, kFreqMin);
        if (p.HPF_Type(ch) > 2) p.set_HPF_Type(ch, 0);
        if (p.HPF_Slope(ch) > 7) p.set_HPF_Slope(ch, 3);
        if (outsideFreq(p.LPF_Freq(ch))) p.set_LPF_Freq(ch, kFreqMax);
        if (p.LPF_Type(ch) > 2) p.set_LPF_Type(ch, 0);
        if (p.LPF_Slope(ch) > 7) p.set_LPF_Slope(ch, 3);
        if (p.CH_Vol(ch) > kVolMax) p.set_CH_Vol(ch, kVolMax);
        // The editors allow delays up to 15.00 ms, so only values past that are reset.
        if (p.CH_Delay(ch) > kDelayMax) p.set_CH_Delay(ch, 0);
        if (p.CH_Phase(ch) > 1) p.set_CH_Phase(ch, 0);
        if (p.CH_Mute(ch) > 1) p.set_CH_Mute(ch, 0);
    }
    return allMuted;
}

} // namespace tarn
