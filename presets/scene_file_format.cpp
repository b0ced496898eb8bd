#include "presets/scene_file_format.h"

#include "presets/transfer_texts.h"

#include <algorithm>

namespace tarn {

namespace {

ParamImage::Bytes shiftGains(ParamImage image, int shift) {
    for (int ch = 0; ch < kChannels; ++ch)
        for (int b = 0; b < kBands; ++b)
            image.set_EQ_Gain(ch, b, static_cast<uint16_t>(image.EQ_Gain(ch, b) + shift));
    return image.bytes();
}

bool gainsInRange(const QByteArray& data) {
    for (int i = 0; i < kChannels * kBands; ++i) {
        const int at = off::EQ_Gain + 2 * i;
        const int v = static_cast<uint8_t>(data[at]) | (static_cast<uint8_t>(data[at + 1]) << 8);
        if (v < kFileGainMin || v > kFileGainMax) return false;
    }
    return true;
}

} // namespace

ParamImage::Bytes Scene_File_From_Mirror(const ParamImage& mirror) {
    return shiftGains(mirror, kGainUnitShift);
}

ParamImage::Bytes Mirror_From_Scene_File(const ParamImage::Bytes& file) {
    ParamImage image;
    image.bytes() = file;
    return shiftGains(image, -kGainUnitShift);
}

SceneFileCheck Check_Scene_File(const QByteArray& data) {
    if (data.size() == kAllFileSize) return SceneFileCheck::IsAllScenes;
    if (data.size() != kSceneFileSize) return SceneFileCheck::WrongSize;
    if (!gainsInRange(data)) return SceneFileCheck::GainsOutOfRange;
    return SceneFileCheck::Ok;
}

SceneFileCheck Check_All_File(const QByteArray& data) {
    // The stored scenes are kept as the unit sent them (an erased place is all 0xFF, for
    // instance), so only the size tells a good file.
    if (data.size() == kSceneFileSize) return SceneFileCheck::IsSingleScene;
    if (data.size() != kAllFileSize) return SceneFileCheck::WrongSize;
    return SceneFileCheck::Ok;
}

Bilingual Scene_File_Check_Text(SceneFileCheck check, bool allScenes) {
    switch (check) {
    case SceneFileCheck::IsAllScenes:
        return transfer_text::FileIsAllScenes;
    case SceneFileCheck::IsSingleScene:
        return transfer_text::FileIsSingleScene;
    case SceneFileCheck::GainsOutOfRange:
        return transfer_text::SceneFileGains;
    case SceneFileCheck::WrongSize:
    case SceneFileCheck::Ok:
        break;
    }
    return allScenes ? transfer_text::AllFileSize : transfer_text::SceneFileSize;
}

int Download_Progress(int requests) {
    return std::clamp(requests * 10 / 46, 0, 100);
}

int Upload_All_Progress(int sends) {
    return std::clamp(sends * 10 / 47, 0, 100);
}

} // namespace tarn
