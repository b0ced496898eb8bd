// The blocking exchanges of the scene-file transfers and the firmware upgrade.
//
// A transfer runs as one loop inside its menu slot: a frame goes out through Send_Frame, and the
// unit's answer is read straight from the report (the frame stands at byte 1, so the answer's code
// is byte 5 and its data starts at byte 6), not through the link tick. Every wait on the unit is
// bounded and keeps the event loop running; a block that gets no answer is sent again, the same
// bytes under the same number, a few times before the transfer gives up.
#pragma once

#include "model/commands.h"

#include <array>
#include <cstdint>

namespace tarn {

// ---- answers (pure) ----

struct UnitAnswer {
    uint8_t code = 0;
    const uint8_t* data = nullptr; // the bytes after the code: report byte 6 on
    int length = 0;                // how many of them
};

// The answer in one input report of n bytes, when a whole, well-formed frame (FA 2A seq L payload
// checksum F5) stands at byte 1 and carries at least the code.
bool Decode_Report_Answer(const uint8_t* report, int n, UnitAnswer& out);

// What a transfer waits for after a frame: an answer with this code and at least minData bytes
// after it, whose first data bytes equal arg0 and arg1 where those are not negative.
struct Expected {
    uint8_t code;
    int minData = 0;
    int arg0 = -1;
    int arg1 = -1;
};
bool Answer_Matches(const UnitAnswer& answer, const Expected& expected);

// ---- timing ----

struct AnswerRule {
    int waitMs;        // per send, from the send to giving that send up
    int attempts;      // sends of the same frame in all
    int settleMs;      // wait after each send before the first read
    uint16_t idleHold; // Idle_Count after each send, to keep the keep-alive away
};

// One image block (05 41): the single-scene load's own time-out.
constexpr AnswerRule kImageBlockRule{100, 4, 0, 5000};
// One stored-scene block written (05 15) or asked for (06 15), one firmware chunk (05 B0): the
// unit is given far longer than it needs.
constexpr AnswerRule kSceneBlockRule{500, 4, 0, 4000};
constexpr AnswerRule kSceneRequestRule{500, 4, 1, 2000};
constexpr AnswerRule kFirmwareChunkRule{500, 4, 0, 2000};

// ---- exchanges (use the link) ----

enum class Exchange {
    Done,       // answered (or, for a frame the unit does not answer, written)
    NoAnswer,   // no fitting answer after every attempt, or the link was taken over meanwhile
    WriteFailed // a write failed: the link is offline and the user has been told (Send_Frame)
};

// The link may carry a transfer: online with a unit open, read back completely, and no read-back,
// scene-name read or forced re-open under way.
bool Link_Ready_For_Transfer();

// The data of an accepted answer, copied out of the receive ring.
struct AnswerCopy {
    std::array<uint8_t, 32> data{};
    int length = 0;
};

// Sends the payload and waits for the expected answer, sending it again when none comes. With
// copy given, an accepted answer's data is copied there.
Exchange Exchange_Frame(const Payload& payload, const Expected& expected, const AnswerRule& rule,
                        AnswerCopy* copy = nullptr);
// Sends the closing frame of a transfer, which the unit does not answer.
Exchange Send_Unanswered(const Payload& payload, uint16_t idleHold);

// Reads whatever reports are already waiting, without waiting, and hands each to the frame
// scanner, so that what the unit sent on its own still reaches the mirror and a late answer is not
// taken for the next one.
void Drain_Waiting_Reports();

} // namespace tarn
