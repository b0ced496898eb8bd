// A transfer as a job the link machine advances: a script of frames, each optionally answered,
// with pauses and progress between them. The machine sends, waits for the answer without
// blocking, sends again when none comes, and reports progress and the result by signals.
#pragma once

#include "link/frame.h"
#include "model/commands.h"

#include <cstdint>

namespace tarn {

// What a job waits for after a frame: an answer with this code and at least minData bytes after
// it, whose first data bytes equal arg0 and arg1 where those are not negative.
struct Expected {
    uint8_t code = 0;
    int minData = 0;
    int arg0 = -1;
    int arg1 = -1;
};
bool Answer_Matches(const Reply& answer, const Expected& expected);

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

// One step of a job's script.
struct JobAction {
    bool hasFrame = false;
    Payload payload;
    bool answered = false; // wait for `expected` under `rule`; else the frame goes out unanswered
    Expected expected;
    AnswerRule rule{0, 1, 0, 0};
    int progressBefore = -1; // bar value shown before the frame, when not negative
    int progressAfter = -1;  // and after the step is done
    int idleHoldAfter = -1;  // Idle_Count after the step, when not negative
    int pauseMs = 0;         // wait after the step
};

enum class JobResult {
    Done,
    NoAnswer,    // no fitting answer after every attempt, or the link was taken over meanwhile
    WriteFailed, // a write failed: the link is offline and the failure has been reported
    Cancelled    // the user stopped a job that only reads
};

class TransferJob {
  public:
    virtual ~TransferJob() = default;
    // A job that only reads from the unit may be cancelled; one that writes runs to its end.
    virtual bool readOnly() const { return false; }
    // The next step; false when the script is done.
    virtual bool next(JobAction& action) = 0;
    // The accepted answer to the last answered frame.
    virtual void answered(const Reply& /*answer*/) {}
};

} // namespace tarn
