// The "*.ALL" check on arbitrary bytes. The file saved from any nine stored scenes is accepted
// (once the gains an earlier version stored are limited, as the load does).
// For a file it accepts, the round trip through the unit gives the same bytes: each scene goes
// out as blocks 0..55 (bytes 0..1119), comes back as blocks 0..54 (bytes 0..1099), and the save
// writes zeros past them.
#include "model/scene_image.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn;
    if (size == static_cast<size_t>(kAllFileSize)) {
        // Whatever the unit's stored scenes hold, the file saved from them loads.
        std::vector<uint8_t> downloaded(kAllFileSize, 0);
        for (int s = 0; s < kStoredScenes; ++s)
            std::memcpy(downloaded.data() + s * kImageSize, data + s * kImageSize, kReadbackSize);
        Limit_Stored_Scenes(downloaded.data());
        Limit_Old_Gains_In_File(downloaded.data(), downloaded.size(), true);
        if (Check_All_File(downloaded.data(), downloaded.size()).check != SceneFileCheck::Ok)
            std::abort();
    }
    const SceneFileVerdict verdict = Check_All_File(data, size);
    if ((verdict.check == SceneFileCheck::FieldOutOfRange) != bool(verdict.violation)) std::abort();
    if (verdict.violation) {
        const int s = verdict.violation.scene;
        if (s < 1 || s > kStoredScenes) std::abort();
        const uint8_t* scene = data + (s - 1) * kImageSize;
        if (verdict.violation.field != ImageField::Reserved && Is_Erased_Scene(scene)) std::abort();
    }
    if (verdict.check != SceneFileCheck::Ok) return 0;

    constexpr int kSent = kStoredSceneUploadBlocks * kBlockSize; // 1120
    std::array<std::array<uint8_t, kSent>, kStoredScenes> unit{};
    for (int s = 0; s < kStoredScenes; ++s)
        for (int k = 0; k < kStoredSceneUploadBlocks; ++k)
            std::memcpy(unit[s].data() + k * kBlockSize, data + s * kImageSize + k * kBlockSize,
                        kBlockSize);
    std::vector<uint8_t> saved(kAllFileSize, 0);
    for (int s = 0; s < kStoredScenes; ++s)
        for (int k = 0; k < kStoredSceneDownloadBlocks; ++k)
            std::memcpy(saved.data() + s * kImageSize + k * kBlockSize,
                        unit[s].data() + k * kBlockSize, kBlockSize);
    if (std::memcmp(saved.data(), data, kAllFileSize) != 0) std::abort();
    return 0;
}
