// State of the link to the unit: one instance for the whole program, owned by the link code.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

struct hid_device_;
typedef struct hid_device_ hid_device;

namespace tarn {

constexpr int kReportSize = 32;
constexpr int kMaxPayload = 24;
constexpr int kRingSize = 65536;
constexpr uint8_t kStartMarker = 0xFA;
constexpr uint8_t kEndMarker = 0xF5;
constexpr uint8_t kDirToUnit = 0xA2;
constexpr uint8_t kDirFromUnit = 0x2A;
constexpr uint16_t kIdleTicksAfterSend = 400;
constexpr uint16_t kIdleTicksBetweenPings = 200;

struct LinkState {
    hid_device* Hid_Handle = nullptr;
    uint8_t Online = 0;
    uint8_t Link_State = 0; // 0 none, 1 reading back, 2 complete
    uint8_t Readback_Active = 0;
    uint8_t Readback_Block = 0;
    uint8_t SceneName_Active = 0;
    uint8_t SceneName_Index = 0;
    uint8_t Request_Pending = 0;
    uint16_t Idle_Count = 0;
    uint16_t Reconnect_Count = 0;
    uint8_t Disconnect_Pending = 0;
    uint8_t Send_Suppressed = 0;
    uint8_t Repeat_Guard = 0;

    uint8_t Tx_Seq = 0;
    std::array<uint8_t, kReportSize> Tx_Report{};

    std::array<uint8_t, kRingSize> Rx_Ring{};
    uint16_t Rx_Read = 0;
    uint16_t Rx_Write = 0;

    // Payload of the last accepted inbound frame: the reply code, then its data.
    uint8_t Reply_Code = 0;
    std::array<uint8_t, 254> Reply_Data{};
    uint8_t Reply_Data_Len = 0; // how many bytes of Reply_Data the last accepted frame carried

    // Called once for every accepted inbound frame (the reply dispatch).
    std::function<void()> replyHandler;
    // Called when a write to the unit fails, after the link has been marked offline.
    std::function<void()> writeFailureHandler;
};

extern LinkState Link;

// Back to the program-start state (keeps the handlers).
void Link_Reset();

} // namespace tarn

namespace tarn {

// Names of the unit's nine stored scenes, as read from the unit (or the "ModeN" fallback).
struct SceneNameStore {
    std::array<std::array<uint8_t, 16>, 9> Scene_Name{};
    std::array<uint8_t, 9> Scene_Valid{};
};
extern SceneNameStore Scenes;

// Writes the fallback "Mode<k>" into entry k - 1 and marks it not read from the unit.
void Scene_Name_Fallback(int k);

} // namespace tarn
