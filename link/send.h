// The command builders: the payloads of model/commands.h handed to the link at once. Those that
// carry image fields read them from Param_Image, so the image must be written first.
#pragma once

#include "model/commands.h"

#include <cstdint>

namespace tarn {

// Sends one payload under the link's drop rules (see LinkMachine::send).
void Send_Payload(const Payload& payload);

void Send_Factory_Reset();
void Send_Input_Source(uint8_t source);
void Send_CH_Vol(int ch, uint16_t vol);
void Send_CH_Mute(int ch, uint8_t mute);
void Send_HPF(int ch, uint8_t type, uint16_t freq, uint8_t slope, uint8_t off);
void Send_LPF(int ch, uint8_t type, uint16_t freq, uint8_t slope, uint8_t off);
void Send_HPF(int ch); // the channel's high-pass fields from the mirror
void Send_LPF(int ch);
void Send_EQ_Band(int ch, int band);
void Send_CH_Delay(int ch, uint16_t delay);
void Send_CH_Phase(int ch, uint8_t phase);
void Send_EQ_Bypass(int ch);
void Send_Total_Vol(uint16_t vol);
void Send_Scene_Save(int scene, const uint8_t* name16);
void Send_Scene_Call(int scene);
void Send_Scene_Delete(int scene);
void Send_NoiseGate(uint8_t level);
void Send_Scene_Block(int scene, int block, const uint8_t* data20);
void Send_CH_Name();
void Send_Image_Block(int block, const uint8_t* data20);
void Send_Upgrade_Frame(uint16_t frame, const uint8_t* data16);
void Send_Close();

void Req_Ping(); // keep-alive: sent raw, without the drop rules
void Req_Scene_Name(int scene);
void Req_Scene_Block(int scene, int block);
void Req_Device_Name();
void Req_Block(int block);

} // namespace tarn
