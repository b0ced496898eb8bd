// The scripts of the scene and firmware transfers, run as jobs by the link machine: which frames
// go out in which order, what answers them, the pauses the unit is given, and the progress shown.
// No widgets here.
#pragma once

#include "link/transfer_job.h"

#include <cstdint>
#include <vector>

namespace tarn {

// One "*.SCE" image (unit encoding) into the unit's memory: 05 41 blocks 0..54, the last one
// unanswered, 5 ms after each, then the bar counted on from 56 to 100 while the unit takes it in.
class SceneImageLoadJob : public TransferJob {
  public:
    explicit SceneImageLoadJob(const uint8_t* image4096);
    bool next(JobAction& action) override;

  private:
    std::vector<uint8_t> image_;
    int step_ = 0;
};

// The nine stored scenes out of the unit (06 15 per block); only reads, so it may be cancelled.
// Places first..first + count - 1 only, when given (the history reads one before a delete).
class StoredScenesDownloadJob : public TransferJob {
  public:
    StoredScenesDownloadJob(int first = 1, int count = 9);
    bool readOnly() const override { return true; }
    bool next(JobAction& action) override;
    void answered(const Reply& answer) override;
    // count 4096-byte images, place first first; bytes 0..1099 of each as the unit sent them.
    const std::vector<uint8_t>& scenes() const { return scenes_; }
    int first() const { return first_; }

  private:
    std::vector<uint8_t> scenes_;
    int first_ = 1;
    int count_ = 9;
    int request_ = 0; // requests made, 0..495
    bool done_ = false;
};

// The nine stored scenes of an "*.ALL" file into the unit: 05 15 blocks 0..55 per scene, the last
// one unanswered, a second's pause after each scene and once more at the end.
class StoredScenesUploadJob : public TransferJob {
  public:
    explicit StoredScenesUploadJob(const uint8_t* scenes36864);
    bool next(JobAction& action) override;

  private:
    std::vector<uint8_t> scenes_;
    int step_ = 0;
};

// A firmware image in 16-byte chunks: numbered chunks acknowledged one by one, the final chunk
// 0xFFFF unanswered.
class FirmwareJob : public TransferJob {
  public:
    FirmwareJob(const uint8_t* image, uint32_t size);
    bool next(JobAction& action) override;

  private:
    std::vector<uint8_t> image_;
    uint32_t acknowledged_ = 0; // also the number of the next numbered chunk
    bool finalSent_ = false;
};

} // namespace tarn
