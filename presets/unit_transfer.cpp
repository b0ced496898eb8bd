#include "presets/unit_transfer.h"

#include "link/frame.h"
#include "link/link_state.h"
#include "link/link_tick.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>

namespace tarn {

namespace {

// A read waits this long for a report before the event loop gets its turn again.
constexpr int kPollReadMs = 2;
// Reports drained before a send, at the most (the unit's queue is short; this only bounds it).
constexpr int kDrainLimit = 32;

// The link still belongs to the transfer: nothing has dropped it or started reading it back.
bool linkHeld() {
    return Link.Online && Link.Hid_Handle && !Link.Readback_Active && !Link.Send_Suppressed;
}

void clearRing() {
    Link.Rx_Read = 0;
    Link.Rx_Write = 0;
}

// False when the write failed (Send_Frame has then marked the link offline and told the user).
bool sendOnce(const Payload& payload, uint16_t idleHold) {
    Send_Frame(payload.bytes.data(), payload.size);
    Link.Idle_Count = idleHold;
    clearRing();
    return Link.Online != 0;
}

} // namespace

bool Decode_Report_Answer(const uint8_t* report, int n, UnitAnswer& out) {
    // Byte 0 precedes the frame; the frame is FA 2A seq L payload[L] checksum F5 from byte 1.
    if (n < 8 || report[1] != kStartMarker || report[2] != kDirFromUnit) return false;
    const int len = report[4];
    if (len < 1 || 7 + len > n) return false;
    uint8_t sum = static_cast<uint8_t>(kStartMarker + kDirFromUnit + report[3] + report[4]);
    for (int i = 0; i < len; ++i)
        sum = static_cast<uint8_t>(sum + report[5 + i]);
    if (report[5 + len] != sum || report[6 + len] != kEndMarker) return false;
    out.code = report[5];
    out.data = report + 6;
    out.length = len - 1;
    return true;
}

bool Answer_Matches(const UnitAnswer& answer, const Expected& expected) {
    if (answer.code != expected.code || answer.length < expected.minData) return false;
    if (expected.arg0 >= 0 && (answer.length < 1 || answer.data[0] != expected.arg0)) return false;
    if (expected.arg1 >= 0 && (answer.length < 2 || answer.data[1] != expected.arg1)) return false;
    return true;
}

bool Link_Ready_For_Transfer() {
    const LinkState& l = Link;
    return l.Online && l.Hid_Handle && l.Link_State == 2 && !l.Readback_Active &&
           !l.SceneName_Active && l.Reconnect_Count == 0 && !l.Send_Suppressed;
}

void Drain_Waiting_Reports() {
    for (int i = 0; i < kDrainLimit && Link.Hid_Handle; ++i) {
        if (Read_Report(0) <= 0) break;
        Parse_Frame();
    }
    clearRing();
}

Exchange Exchange_Frame(const Payload& payload, const Expected& expected, const AnswerRule& rule,
                        AnswerCopy* copy) {
    for (int attempt = 0; attempt < rule.attempts; ++attempt) {
        if (!linkHeld()) return Exchange::NoAnswer;
        Drain_Waiting_Reports();
        if (!sendOnce(payload, rule.idleHold)) return Exchange::WriteFailed;
        if (rule.settleMs > 0) Wait_Ms(static_cast<uint16_t>(rule.settleMs));
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            if (!linkHeld()) return Exchange::NoAnswer;
            const int n = Read_Report(kPollReadMs);
            if (n > 0) {
                UnitAnswer answer;
                if (Decode_Report_Answer(Link.Rx_Ring.data(), n, answer) &&
                    Answer_Matches(answer, expected)) {
                    if (copy) {
                        copy->length = std::min<int>(answer.length, copy->data.size());
                        std::copy(answer.data, answer.data + copy->length, copy->data.begin());
                    }
                    clearRing();
                    return Exchange::Done;
                }
                // Not the answer (stale, garbled, or something the unit sent by itself): the link's
                // own dispatch decodes whatever it knows of it.
                Parse_Frame();
                clearRing();
            }
            if (clock.elapsed() >= rule.waitMs) break;
            if (n <= 0) QCoreApplication::processEvents(QEventLoop::AllEvents, kPollReadMs);
        }
    }
    return Exchange::NoAnswer;
}

Exchange Send_Unanswered(const Payload& payload, uint16_t idleHold) {
    if (!linkHeld()) return Exchange::NoAnswer;
    Drain_Waiting_Reports();
    return sendOnce(payload, idleHold) ? Exchange::Done : Exchange::WriteFailed;
}

} // namespace tarn
