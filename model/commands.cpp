#include "model/commands.h"

#include "model/param_image.h"

namespace tarn {

namespace {
constexpr uint8_t kWrite = 0x05;
constexpr uint8_t kRequest = 0x06;

Payload write(uint8_t code) {
    return Payload{}.add(kWrite).add(code);
}
Payload request(uint8_t code) {
    return Payload{}.add(kRequest).add(code);
}
uint8_t u8(int v) {
    return static_cast<uint8_t>(v);
}

Payload filter(uint8_t code, int ch, uint8_t type, uint16_t freq, uint8_t slope, uint8_t off) {
    return write(code).add(u8(ch)).add(type).add16(freq).add(slope).add(off);
}
Payload filterFromImage(uint8_t code, const ParamImage& p, const FilterFields& f, int ch) {
    return filter(code, ch, p.filterType(f, ch), p.filterFreq(f, ch), p.filterSlope(f, ch),
                  p.filterOff(f, ch));
}
} // namespace

Payload Make_Factory_Reset() {
    return write(0x01).add(1);
}
Payload Make_Input_Source(uint8_t source) {
    return write(0x02).add(source);
}
Payload Make_CH_Vol(int ch, uint16_t vol) {
    return write(0x04).add(u8(ch)).add16(vol);
}
Payload Make_CH_Mute(int ch, uint8_t mute) {
    return write(0x05).add(u8(ch)).add(mute);
}
Payload Make_HPF(int ch, uint8_t type, uint16_t freq, uint8_t slope, uint8_t off) {
    return filter(0x06, ch, type, freq, slope, off);
}
Payload Make_LPF(int ch, uint8_t type, uint16_t freq, uint8_t slope, uint8_t off) {
    return filter(0x07, ch, type, freq, slope, off);
}
Payload Make_HPF(const ParamImage& image, int ch) {
    return filterFromImage(0x06, image, kHpfFields, ch);
}
Payload Make_LPF(const ParamImage& image, int ch) {
    return filterFromImage(0x07, image, kLpfFields, ch);
}
Payload Make_EQ_Band(const ParamImage& image, int ch, int band) {
    // The unit's gain is the PC value + 120, carried modulo 65536 for typed gains below -12 dB.
    const uint16_t unitGain = static_cast<uint16_t>(image.EQ_Gain(ch, band) + kGainUnitShift);
    return write(0x08)
        .add(u8(ch))
        .add(u8(band))
        .add16(image.EQ_Freq(ch, band))
        .add16(unitGain)
        .add(image.EQ_Q(ch, band));
}
Payload Make_CH_Delay(int ch, uint16_t delay) {
    return write(0x09).add(u8(ch)).add16(delay);
}
Payload Make_CH_Phase(int ch, uint8_t phase) {
    return write(0x0A).add(u8(ch)).add(phase);
}
Payload Make_EQ_Bypass(const ParamImage& image, int ch) {
    return write(0x0B).add(u8(ch)).add(image.EQ_Bypass(ch));
}
Payload Make_Total_Vol(uint16_t vol) {
    return write(0x0D).add16(vol);
}
Payload Make_Scene_Save(int scene, const uint8_t* name16) {
    return write(0x0E).add(u8(scene)).addBytes(name16, 16);
}
Payload Make_Scene_Call(int scene) {
    return write(0x0F).add(u8(scene));
}
Payload Make_Scene_Delete(int scene) {
    return write(0x11).add(u8(scene));
}
Payload Make_NoiseGate(uint8_t level) {
    return write(0x13).add(level).add(level == 0 ? 0 : 1);
}
Payload Make_Scene_Block(int scene, int block, const uint8_t* data20) {
    return write(0x15).add(u8(scene)).add(u8(block)).addBytes(data20, kBlockSize);
}
Payload Make_CH_Name(const ParamImage& image) {
    Payload p = write(0x17);
    for (int ch = 0; ch < kChannels; ++ch)
        p.add(image.CH_Name(ch));
    return p;
}
Payload Make_Image_Block(int block, const uint8_t* data20) {
    return write(0x41).add(u8(block)).addBytes(data20, kBlockSize);
}
Payload Make_Upgrade_Frame(uint16_t frame, const uint8_t* data16) {
    // The only 16-bit field sent high byte first.
    return write(0xB0).add(u8(frame >> 8)).add(u8(frame & 0xFF)).addBytes(data16, 16);
}
Payload Make_Close() {
    return write(0xC1).add(1);
}

Payload Make_Ping() {
    return request(0x00);
}
Payload Make_Scene_Name_Request(int scene) {
    return request(0x10).add(u8(scene));
}
Payload Make_Scene_Block_Request(int scene, int block) {
    return request(0x15).add(u8(scene)).add(u8(block));
}
Payload Make_Device_Name_Request() {
    return request(0x16);
}
Payload Make_Block_Request(int block) {
    return request(0xAA).add(u8(block));
}

} // namespace tarn
