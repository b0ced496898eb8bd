// The command builders: each payload of model/commands.h, sent at once through the link.
#include "link/send.h"

#include "link/link_machine.h"
#include "model/param_image.h"

namespace tarn {

void Send_Payload(const Payload& p) {
    Link_Machine().send(p);
}

namespace {
void send(const Payload& p) {
    Send_Payload(p);
}
} // namespace

void Send_Factory_Reset() {
    send(Make_Factory_Reset());
}
void Send_Input_Source(uint8_t source) {
    send(Make_Input_Source(source));
}
void Send_CH_Vol(int ch, uint16_t vol) {
    send(Make_CH_Vol(ch, vol));
}
void Send_CH_Mute(int ch, uint8_t mute) {
    send(Make_CH_Mute(ch, mute));
}
void Send_HPF(int ch, uint8_t type, uint16_t freq, uint8_t slope, uint8_t off) {
    send(Make_HPF(ch, type, freq, slope, off));
}
void Send_LPF(int ch, uint8_t type, uint16_t freq, uint8_t slope, uint8_t off) {
    send(Make_LPF(ch, type, freq, slope, off));
}
void Send_HPF(int ch) {
    send(Make_HPF(Param_Image, ch));
}
void Send_LPF(int ch) {
    send(Make_LPF(Param_Image, ch));
}
void Send_EQ_Band(int ch, int band) {
    send(Make_EQ_Band(Param_Image, ch, band));
}
void Send_CH_Delay(int ch, uint16_t delay) {
    send(Make_CH_Delay(ch, delay));
}
void Send_CH_Phase(int ch, uint8_t phase) {
    send(Make_CH_Phase(ch, phase));
}
void Send_EQ_Bypass(int ch) {
    send(Make_EQ_Bypass(Param_Image, ch));
}
void Send_Total_Vol(uint16_t vol) {
    send(Make_Total_Vol(vol));
}
void Send_Scene_Save(int scene, const uint8_t* name16) {
    send(Make_Scene_Save(scene, name16));
}
void Send_Scene_Call(int scene) {
    send(Make_Scene_Call(scene));
}
void Send_Scene_Delete(int scene) {
    send(Make_Scene_Delete(scene));
}
void Send_NoiseGate(uint8_t level) {
    send(Make_NoiseGate(level));
}
void Send_Scene_Block(int scene, int block, const uint8_t* data20) {
    send(Make_Scene_Block(scene, block, data20));
}
void Send_CH_Name() {
    send(Make_CH_Name(Param_Image));
}
void Send_Image_Block(int block, const uint8_t* data20) {
    send(Make_Image_Block(block, data20));
}
void Send_Upgrade_Frame(uint16_t frame, const uint8_t* data16) {
    send(Make_Upgrade_Frame(frame, data16));
}
void Send_Close() {
    send(Make_Close());
}

void Req_Ping() {
    const Payload p = Make_Ping();
    Link_Machine().Send_Frame_Raw(p.bytes.data(), p.size);
}
void Req_Scene_Name(int scene) {
    send(Make_Scene_Name_Request(scene));
}
void Req_Scene_Block(int scene, int block) {
    send(Make_Scene_Block_Request(scene, block));
}
void Req_Device_Name() {
    send(Make_Device_Name_Request());
}
void Req_Block(int block) {
    send(Make_Block_Request(block));
}

} // namespace tarn
