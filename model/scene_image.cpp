#include "model/scene_image.h"

#include <algorithm>

namespace tarn {

namespace {

ParamImage::Bytes shiftGains(ParamImage image, int shift) {
    for (int ch = 0; ch < kChannels; ++ch)
        for (int b = 0; b < kBands; ++b)
            image.set_EQ_Gain(ch, b, static_cast<uint16_t>(image.EQ_Gain(ch, b) + shift));
    return image.bytes();
}

enum class Spread { One, PerChannel, PerBand };

constexpr int kBandDefault = -1; // fallback: the band's default frequency

struct FieldSpec {
    ImageField field;
    int offset;
    int width; // bytes, little-endian
    Spread spread;
    FieldLimits limits;
    int fallback; // what a read-back makes of a value outside the limits
};

constexpr FieldLimits kFileGainLimits{kFileGainMin, kFileGainMax};
constexpr int kFileGainFlat = kGainFlat + kGainUnitShift;

// In the order of the image, so the first violation is the one nearest its start. The speaker
// roles are not here: a role is the PC's label of a channel, which the unit only keeps, and the
// program shows a code it does not know as an unknown role; so any code loads as saved.
constexpr FieldSpec kFields[] = {
    {ImageField::Input_Source, off::Input_Source, 1, Spread::One, {0, 2}, 0},
    {ImageField::Total_Vol, off::Total_Vol, 2, Spread::One, {0, kVolMax}, kVolMax},
    {ImageField::CH_Vol, off::CH_Vol, 2, Spread::PerChannel, {0, kVolMax}, kVolMax},
    {ImageField::CH_Mute, off::CH_Mute, 1, Spread::PerChannel, {0, 1}, 0},
    {ImageField::CH_Delay, off::CH_Delay, 2, Spread::PerChannel, {0, kDelayMax}, 0},
    {ImageField::CH_Phase, off::CH_Phase, 1, Spread::PerChannel, {0, 1}, 0},
    {ImageField::EQ_Bypass, off::EQ_Bypass, 1, Spread::PerChannel, {0, 1}, 1},
    {ImageField::NoiseGate, off::NoiseGate, 2, Spread::One, {0, kNoiseGateMax}, 0},
    {ImageField::EQ_Freq, off::EQ_Freq, 2, Spread::PerBand, {kFreqMin, kFreqMax}, kBandDefault},
    {ImageField::EQ_Gain, off::EQ_Gain, 2, Spread::PerBand, kFileGainLimits, kFileGainFlat},
    {ImageField::EQ_Q, off::EQ_Q, 1, Spread::PerBand, {kEqQMin, kEqQMax}, kEqQDefault},
    {ImageField::HPF_Freq, off::HPF_Freq, 2, Spread::PerChannel, {kFreqMin, kFreqMax}, kFreqMin},
    {ImageField::HPF_Slope, off::HPF_Slope, 1, Spread::PerChannel, {0, 7}, 3},
    {ImageField::HPF_Off, off::HPF_Off, 1, Spread::PerChannel, {0, 1}, 1},
    {ImageField::HPF_Type, off::HPF_Type, 1, Spread::PerChannel, {0, 2}, 0},
    {ImageField::LPF_Freq, off::LPF_Freq, 2, Spread::PerChannel, {kFreqMin, kFreqMax}, kFreqMax},
    {ImageField::LPF_Slope, off::LPF_Slope, 1, Spread::PerChannel, {0, 7}, 3},
    {ImageField::LPF_Off, off::LPF_Off, 1, Spread::PerChannel, {0, 1}, 1},
    {ImageField::LPF_Type, off::LPF_Type, 1, Spread::PerChannel, {0, 2}, 0},
};

int countOf(Spread spread) {
    switch (spread) {
    case Spread::One:
        return 1;
    case Spread::PerChannel:
        return kChannels;
    case Spread::PerBand:
        return kChannels * kBands;
    }
    return 0;
}

int valueAt(const uint8_t* image, int offset, int width) {
    return width == 1 ? image[offset] : image[offset] | (image[offset + 1] << 8);
}

ImageViolation checkScene(const uint8_t* image, int scene) {
    ImageViolation v;
    if (scene != 0 && Is_Erased_Scene(image)) {
        // Kept as the unit gave it; writing it back leaves the place as it was.
    } else {
        v = Check_Unit_Image(image);
    }
    if (!v && scene != 0) {
        const uint8_t* tail = image + kReadbackSize;
        const uint8_t* end = image + kImageSize;
        const uint8_t* bad = std::find_if(tail, end, [](uint8_t b) { return b != 0; });
        if (bad != end) {
            v.field = ImageField::Reserved;
            v.offset = static_cast<int>(bad - image);
            v.value = *bad;
        }
    }
    v.scene = v ? scene : 0;
    return v;
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

FieldLimits Field_Limits(ImageField field) {
    for (const FieldSpec& f : kFields)
        if (f.field == field) return f.limits;
    return {0, 0};
}

const char* Field_Name(ImageField field) {
    switch (field) {
    case ImageField::None:
        return "";
    case ImageField::CH_Name:
        return "CH_Name";
    case ImageField::Input_Source:
        return "Input_Source";
    case ImageField::Total_Vol:
        return "Total_Vol";
    case ImageField::CH_Vol:
        return "CH_Vol";
    case ImageField::CH_Mute:
        return "CH_Mute";
    case ImageField::CH_Delay:
        return "CH_Delay";
    case ImageField::CH_Phase:
        return "CH_Phase";
    case ImageField::EQ_Bypass:
        return "EQ_Bypass";
    case ImageField::NoiseGate:
        return "NoiseGate";
    case ImageField::EQ_Freq:
        return "EQ_Freq";
    case ImageField::EQ_Gain:
        return "EQ_Gain";
    case ImageField::EQ_Q:
        return "EQ_Q";
    case ImageField::HPF_Freq:
        return "HPF_Freq";
    case ImageField::HPF_Slope:
        return "HPF_Slope";
    case ImageField::HPF_Off:
        return "HPF_Off";
    case ImageField::HPF_Type:
        return "HPF_Type";
    case ImageField::LPF_Freq:
        return "LPF_Freq";
    case ImageField::LPF_Slope:
        return "LPF_Slope";
    case ImageField::LPF_Off:
        return "LPF_Off";
    case ImageField::LPF_Type:
        return "LPF_Type";
    case ImageField::Reserved:
        return "reserved";
    }
    return "";
}

namespace {

// Calls out(field, index, offset, value) for each value outside its field's range, in field
// order, until out returns false.
template <typename Out> void forEachOutOfRange(const uint8_t* image, Out out) {
    for (const FieldSpec& f : kFields) {
        const int count = countOf(f.spread);
        for (int i = 0; i < count; ++i) {
            const int at = f.offset + i * f.width;
            const int value = valueAt(image, at, f.width);
            if (value >= f.limits.min && value <= f.limits.max) continue;
            if (!out(f, i, at, value)) return;
        }
    }
}

} // namespace

ImageViolation Check_Unit_Image(const uint8_t* image) {
    ImageViolation v;
    forEachOutOfRange(image, [&v](const FieldSpec& f, int i, int at, int value) {
        v.field = f.field;
        v.offset = at;
        v.value = value;
        if (f.spread == Spread::PerChannel) v.channel = i;
        if (f.spread == Spread::PerBand) {
            v.channel = i / kBands;
            v.band = i % kBands;
        }
        return false;
    });
    return v;
}

bool Is_Erased_Scene(const uint8_t* image) {
    return std::all_of(image, image + kReadbackSize, [](uint8_t b) { return b == 0xFF; });
}

void Limit_Stored_Scenes(uint8_t* scenes) {
    for (int s = 0; s < kStoredScenes; ++s) {
        uint8_t* image = scenes + s * kImageSize;
        if (Is_Erased_Scene(image)) continue;
        forEachOutOfRange(image, [image](const FieldSpec& f, int i, int at, int value) {
            if (f.field == ImageField::EQ_Gain && value >= kOldFileGainMin &&
                value <= kOldFileGainMax)
                return true;
            const int fallback = f.fallback == kBandDefault
                                     ? kDefaultBandFreq[static_cast<size_t>(i % kBands)]
                                     : f.fallback;
            image[at] = static_cast<uint8_t>(fallback & 0xFF);
            if (f.width == 2) image[at + 1] = static_cast<uint8_t>(fallback >> 8);
            return true;
        });
    }
}

void Limit_Old_Gains(uint8_t* image, int scene, std::vector<LimitedGain>& out) {
    for (int i = 0; i < kChannels * kBands; ++i) {
        const int at = off::EQ_Gain + 2 * i;
        const int value = valueAt(image, at, 2);
        if (value < kOldFileGainMin || value > kOldFileGainMax) continue;
        const int limited = std::clamp(value, kFileGainMin, kFileGainMax);
        if (limited == value) continue;
        image[at] = static_cast<uint8_t>(limited & 0xFF);
        image[at + 1] = static_cast<uint8_t>(limited >> 8);
        out.push_back({scene, i / kBands, i % kBands, value, limited});
    }
}

std::vector<LimitedGain> Limit_Old_Gains_In_File(uint8_t* data, size_t size, bool allScenes) {
    std::vector<LimitedGain> out;
    if (!allScenes && size == static_cast<size_t>(kSceneFileSize)) Limit_Old_Gains(data, 0, out);
    if (allScenes && size == static_cast<size_t>(kAllFileSize)) {
        for (int s = 1; s <= kStoredScenes; ++s) {
            uint8_t* image = data + (s - 1) * kImageSize;
            if (!Is_Erased_Scene(image)) Limit_Old_Gains(image, s, out);
        }
    }
    return out;
}

SceneFileVerdict Check_Scene_File(const uint8_t* data, size_t size) {
    if (size == static_cast<size_t>(kAllFileSize)) return {SceneFileCheck::IsAllScenes, {}};
    if (size != static_cast<size_t>(kSceneFileSize)) return {SceneFileCheck::WrongSize, {}};
    const ImageViolation v = checkScene(data, 0);
    return {v ? SceneFileCheck::FieldOutOfRange : SceneFileCheck::Ok, v};
}

SceneFileVerdict Check_All_File(const uint8_t* data, size_t size) {
    if (size == static_cast<size_t>(kSceneFileSize)) return {SceneFileCheck::IsSingleScene, {}};
    if (size != static_cast<size_t>(kAllFileSize)) return {SceneFileCheck::WrongSize, {}};
    for (int s = 1; s <= kStoredScenes; ++s) {
        const ImageViolation v = checkScene(data + (s - 1) * kImageSize, s);
        if (v) return {SceneFileCheck::FieldOutOfRange, v};
    }
    return {};
}

} // namespace tarn
