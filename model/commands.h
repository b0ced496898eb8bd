// Every command payload the unit understands. The Make_* functions build a payload and touch
// nothing else (pure); link/send.h sends them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarn {

class ParamImage;

struct Payload {
    std::array<uint8_t, 24> bytes{};
    int size = 0;

    Payload& add(uint8_t v) {
        bytes.at(static_cast<std::size_t>(size++)) = v;
        return *this;
    }
    Payload& add16(uint16_t v) {
        return add(static_cast<uint8_t>(v & 0xFF)).add(static_cast<uint8_t>(v >> 8));
    }
    Payload& addBytes(const uint8_t* data, int n) {
        for (int i = 0; i < n; ++i)
            add(data[i]);
        return *this;
    }
};

// Write commands (class 0x05; firmware frames are class 0xB0).
Payload Make_Factory_Reset();
Payload Make_Input_Source(uint8_t source);
Payload Make_CH_Vol(int ch, uint16_t vol);
Payload Make_CH_Mute(int ch, uint8_t mute);
Payload Make_HPF(int ch, uint8_t type, uint16_t freq, uint8_t slope, uint8_t off);
Payload Make_LPF(int ch, uint8_t type, uint16_t freq, uint8_t slope, uint8_t off);
Payload Make_HPF(const ParamImage& image, int ch); // the channel's fields from the image
Payload Make_LPF(const ParamImage& image, int ch);
Payload Make_EQ_Band(const ParamImage& image, int ch, int band);
Payload Make_CH_Delay(int ch, uint16_t delay);
Payload Make_CH_Phase(int ch, uint8_t phase);
Payload Make_EQ_Bypass(const ParamImage& image, int ch);
Payload Make_Total_Vol(uint16_t vol);
Payload Make_Scene_Save(int scene, const uint8_t* name16);
Payload Make_Scene_Call(int scene);
Payload Make_Scene_Delete(int scene);
Payload Make_NoiseGate(uint8_t level);
Payload Make_Scene_Block(int scene, int block, const uint8_t* data20);
Payload Make_CH_Name(const ParamImage& image);
Payload Make_Image_Block(int block, const uint8_t* data20);
Payload Make_Upgrade_Frame(uint16_t frame, const uint8_t* data16);
Payload Make_Close();

// Requests (class 0x06).
Payload Make_Ping();
Payload Make_Scene_Name_Request(int scene);
Payload Make_Scene_Block_Request(int scene, int block);
Payload Make_Device_Name_Request();
Payload Make_Block_Request(int block);

} // namespace tarn
