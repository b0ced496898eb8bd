#include "session/transfer_jobs.h"

#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/firmware_image.h"
#include "session/scene_file_format.h"

#include <algorithm>

namespace tarn {

namespace {

constexpr uint8_t kImageBlockAck = 0x41;
constexpr uint8_t kSceneBlockCode = 0x15; // both the 05 15 acknowledgement and the 06 15 answer
constexpr uint8_t kChunkAck = 0xB0;

// Pacing the unit is given: after every image block, then per step of the bar's count from 56 to
// 100 while it takes the image in; after every stored scene written; after every firmware chunk,
// and a little more after every 256.
constexpr int kImageBlockPauseMs = 5;
constexpr int kImageSettleStepMs = 5;
constexpr int kImageSettleIdleHold = 1000;
constexpr int kStoredScenePauseMs = 1000;
constexpr int kStoredSceneIdleHold = 40000;
constexpr int kChunkPauseMs = 1;
constexpr int kEvery256PauseMs = 5;
// Keep-alive held off while the unit installs the firmware.
constexpr uint16_t kInstallIdleHold = 20000;

JobAction frame(const Payload& payload) {
    JobAction a;
    a.hasFrame = true;
    a.payload = payload;
    return a;
}
JobAction answeredFrame(const Payload& payload, const Expected& expected, const AnswerRule& rule) {
    JobAction a = frame(payload);
    a.answered = true;
    a.expected = expected;
    a.rule = rule;
    return a;
}
JobAction unanswered(const Payload& payload, uint16_t idleHold) {
    JobAction a = frame(payload);
    a.rule = AnswerRule{0, 1, 0, idleHold};
    return a;
}
JobAction pause(int ms, int idleHold) {
    JobAction a;
    a.pauseMs = ms;
    a.idleHoldAfter = idleHold;
    return a;
}

} // namespace

// ---- one scene image ----

SceneImageLoadJob::SceneImageLoadJob(const uint8_t* image4096)
    : image_(image4096, image4096 + kImageSize) {}

bool SceneImageLoadJob::next(JobAction& action) {
    const int k = step_++;
    if (k < kSceneImageBlocks) {
        const Payload block = Make_Image_Block(k, image_.data() + k * kBlockSize);
        // The unit does not answer the last block: it closes the image. Only the acknowledgement
        // naming this block counts; a late one for the block before is passed over.
        action = k == kSceneImageBlocks - 1
                     ? unanswered(block, kImageBlockRule.idleHold)
                     : answeredFrame(block, Expected{kImageBlockAck, 1, k}, kImageBlockRule);
        action.pauseMs = kImageBlockPauseMs;
        action.progressAfter = k + 1;
        return true;
    }
    const int v = k + 1; // the bar from 56 to 100
    if (v > 100) return false;
    action = pause(kImageSettleStepMs, kImageSettleIdleHold);
    action.progressAfter = v;
    return true;
}

// ---- the nine stored scenes out of the unit ----

StoredScenesDownloadJob::StoredScenesDownloadJob(int first, int count)
    : scenes_(static_cast<size_t>(count) * kImageSize, 0), first_(first), count_(count) {}

bool StoredScenesDownloadJob::next(JobAction& action) {
    if (request_ == count_ * kStoredSceneDownloadBlocks) {
        if (done_) return false;
        done_ = true;
        action = pause(0, kIdleTicksAfterSend);
        return true;
    }
    const int s = first_ + request_ / kStoredSceneDownloadBlocks;
    const int k = request_ % kStoredSceneDownloadBlocks;
    ++request_;
    // Only the answer for this very block is taken: one for another block (a late or repeated
    // answer) would leave this block unread.
    action = answeredFrame(Make_Scene_Block_Request(s, k),
                           Expected{kSceneBlockCode, 2 + kBlockSize, s, k}, kSceneRequestRule);
    // Fewer places fill the bar as fast as all nine would.
    action.progressBefore = Download_Progress(request_ * kStoredScenes / count_);
    return true;
}

void StoredScenesDownloadJob::answered(const Reply& answer) {
    const int s = answer.data[0];
    const int k = answer.data[1];
    std::copy(answer.data.begin() + 2, answer.data.begin() + 2 + kBlockSize,
              scenes_.begin() + (s - first_) * kImageSize + k * kBlockSize);
}

// ---- the nine stored scenes into the unit ----

StoredScenesUploadJob::StoredScenesUploadJob(const uint8_t* scenes36864)
    : scenes_(scenes36864, scenes36864 + kAllFileSize) {}

bool StoredScenesUploadJob::next(JobAction& action) {
    // Per scene: blocks 0..55 (bytes 0..1119), then the scene's pause; one more pause at the end.
    constexpr int kPerScene = kStoredSceneUploadBlocks + 1;
    const int i = step_++;
    if (i == kStoredScenes * kPerScene) {
        action = pause(kStoredScenePauseMs, kStoredSceneIdleHold);
        return true;
    }
    if (i > kStoredScenes * kPerScene) return false;
    const int s = 1 + i / kPerScene;
    const int k = i % kPerScene;
    if (k == kStoredSceneUploadBlocks) {
        action = pause(kStoredScenePauseMs, kStoredSceneIdleHold);
        return true;
    }
    const uint8_t* data = scenes_.data() + (s - 1) * kImageSize + k * kBlockSize;
    const Payload block = Make_Scene_Block(s, k, data);
    // The unit does not answer block 55, which closes the scene. The acknowledgement must name
    // this scene and block.
    action = k == kStoredSceneUploadBlocks - 1
                 ? unanswered(block, kSceneBlockRule.idleHold)
                 : answeredFrame(block, Expected{kSceneBlockCode, 2, s, k}, kSceneBlockRule);
    action.progressAfter = Upload_All_Progress((s - 1) * kStoredSceneUploadBlocks + k + 1);
    return true;
}

// ---- firmware ----

FirmwareJob::FirmwareJob(const uint8_t* image, uint32_t size) : image_(image, image + size) {}

bool FirmwareJob::next(JobAction& action) {
    if (finalSent_) return false;
    const auto size = static_cast<uint32_t>(image_.size());
    const uint32_t pos = acknowledged_ * kChunkSize;
    std::array<uint8_t, kChunkSize> chunk{};
    if (Firmware_Chunk(image_.data(), size, pos, chunk)) {
        finalSent_ = true;
        action = unanswered(Make_Upgrade_Frame(kFinalChunkNumber, chunk.data()), kInstallIdleHold);
        return true;
    }
    // A chunk without acknowledgement goes again (the runner resends it), the same bytes under
    // the same number; next() is asked again only once it has been acknowledged.
    // Only the acknowledgement naming this chunk counts: a late one for the chunk before must not
    // pass this one as delivered.
    const auto number = static_cast<uint16_t>(acknowledged_);
    action = answeredFrame(Make_Upgrade_Frame(number, chunk.data()),
                           Expected{kChunkAck, 2, number >> 8, number & 0xFF}, kFirmwareChunkRule);
    ++acknowledged_;
    action.pauseMs = kChunkPauseMs + ((acknowledged_ & 0xFF) == 0 ? kEvery256PauseMs : 0);
    action.progressAfter = Firmware_Progress(acknowledged_, size);
    return true;
}

} // namespace tarn
