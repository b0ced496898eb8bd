// A scene image with a little of everything set, in the "*.SCE" encoding (EQ gain = dB x 10 +
// 240), for the tune text and diff tests.
#pragma once

#include "model/param_image.h"
#include "model/scene_image.h"

namespace tarn::test {

inline ParamImage::Bytes Tune_Fixture() {
    Param_Init();
    ParamImage p;
    p.bytes() = Scene_File_From_Mirror(Param_Image);
    p.set_FW_Version(20240131);
    p.set_Input_Source(2);
    p.set_NoiseGate(2);
    p.set_Total_Vol(500);   // -10.0 dB
    p.set_CH_Delay(0, 320); // 3.20 ms
    p.set_CH_Vol(1, 555);   // -4.5 dB
    p.set_HPF_Freq(2, 80);  // CH3 high-pass on: Butterworth, -24dB/Oct, 80 Hz
    p.set_HPF_Off(2, 0);
    p.set_EQ_Freq(2, 9, 170); // CH3 band 10: +6.0 dB at 170 Hz, Q 3.0
    p.set_EQ_Gain(2, 9, 300);
    p.set_CH_Phase(5, 1);
    p.bytes()[11] = 0xAB;
    p.bytes()[4095] = 0x5A;
    return p.bytes();
}

} // namespace tarn::test
