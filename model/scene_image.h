// Scene images in files, and the checks a file passes before any of it reaches the unit. Pure
// functions over byte buffers, no Qt, so that tests and fuzzing drive them directly.
//
// "*.SCE": one 4096-byte parameter image, no header, EQ gains in the unit's encoding (the PC value
// + 120). "*.ALL": the nine stored scenes, 4096 bytes each, scene 1 first; bytes 0..1099 of each
// are the unit's 55 blocks as it sent them, the rest zero.
#pragma once

#include "model/param_image.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarn {

constexpr int kStoredScenes = 9;
constexpr int kSceneFileSize = kImageSize;                // 4096
constexpr int kAllFileSize = kStoredScenes * kImageSize;  // 36864
constexpr int kSceneImageBlocks = kBlockCount;            // 05 41: blocks 0..54
constexpr int kStoredSceneUploadBlocks = kBlockCount + 1; // 05 15: blocks 0..55
constexpr int kStoredSceneDownloadBlocks = kBlockCount;   // 06 15: blocks 0..54

// Every gain the program stores, in the PC encoding: -12.0..+12.0 dB. The read-back takes any
// other gain back as 0.0 dB, so no editor, text or file may set one.
constexpr int kGainMin = 0;
constexpr int kGainMax = 240;
// The same range in the file's encoding: -12.0..+12.0 dB, all the unit's read-back
// keeps (it takes any other gain back as 0.0 dB).
constexpr int kFileGainMin = kGainMin + kGainUnitShift; // 120
constexpr int kFileGainMax = kGainMax + kGainUnitShift; // 360
// Gains earlier versions of this program let the typed entry store (-20.0..+20.0 dB) and so wrote
// into scene files and stored scenes. A load brings them within range and says so; anything
// further out did not come from a mirror of ours (a file saved twice-shifted, another kind of
// file) and is refused.
constexpr int kOldFileGainMin = 40;
constexpr int kOldFileGainMax = 440;

// The "*.SCE" image of a mirror that holds the PC encoding: every EQ gain + 120 (mod 65536).
ParamImage::Bytes Scene_File_From_Mirror(const ParamImage& mirror);
// The reverse: the mirror image of a "*.SCE" file, every EQ gain - 120 (mod 65536).
ParamImage::Bytes Mirror_From_Scene_File(const ParamImage::Bytes& file);

// The fields a scene file is checked on, in the order of the image.
enum class ImageField : uint8_t {
    None,
    CH_Name,
    Input_Source,
    Total_Vol,
    CH_Vol,
    CH_Mute,
    CH_Delay,
    CH_Phase,
    EQ_Bypass,
    NoiseGate,
    EQ_Freq,
    EQ_Gain,
    EQ_Q,
    HPF_Freq,
    HPF_Slope,
    HPF_Off,
    HPF_Type,
    LPF_Freq,
    LPF_Slope,
    LPF_Off,
    LPF_Type,
    Reserved, // bytes 1100..4095 of a stored scene, zero in every "*.ALL" this program writes
};

struct FieldLimits {
    int min, max;
};
// The values the editors and the validity rules allow (EQ gains in the file's encoding).
FieldLimits Field_Limits(ImageField field);
// The field's name in the image ("CH_Vol"), for the log and the notice.
const char* Field_Name(ImageField field);

// The first field out of its limits; field None when there is none.
struct ImageViolation {
    ImageField field = ImageField::None;
    int scene = 0;    // 1..9 in an "*.ALL", 0 in a "*.SCE"
    int channel = -1; // 0..5 for per-channel fields
    int band = -1;    // 0..30 for EQ fields
    int offset = 0;   // byte offset in the scene's image
    int value = 0;
    explicit operator bool() const { return field != ImageField::None; }
};

// Checks the fields of bytes 0..1099 of a 4096-byte image in the unit's encoding.
ImageViolation Check_Unit_Image(const uint8_t* image);

// A stored place the unit has erased reads back as 0xFF throughout its 55 blocks.
bool Is_Erased_Scene(const uint8_t* image);

// The nine stored scenes as downloaded (unit encoding), made into what an "*.ALL" holds: in every
// scene but an erased place, a field outside its limits takes the value a read-back gives it (an
// EQ gain outside them becomes flat), so that the file saved is one the load accepts. A gain an
// earlier version could store (see kOldFileGainMin) is kept: the load limits it and says so.
void Limit_Stored_Scenes(uint8_t* scenes36864);

// One gain a load brought within -12.0..+12.0 dB (file encoding).
struct LimitedGain {
    int scene = 0; // 1..9 in an "*.ALL", 0 in a "*.SCE"
    int channel = 0;
    int band = 0;
    int from = 0, to = 0;
};
// Every gain of bytes 0..1099 of an image (unit encoding) that lies in kOldFileGainMin..
// kOldFileGainMax but outside the range is set to the nearer end of the range and appended to
// out. Gains further out are left for the check to refuse.
void Limit_Old_Gains(uint8_t* image, int scene, std::vector<LimitedGain>& out);
// The same over a whole file before its check: an "*.SCE" (allScenes false) or every scene of an
// "*.ALL" but an erased place. A file of neither kind's size is left as it is.
std::vector<LimitedGain> Limit_Old_Gains_In_File(uint8_t* data, size_t size, bool allScenes);

enum class SceneFileCheck {
    Ok,
    WrongSize,      // neither kind's size
    IsAllScenes,    // an "*.ALL" offered as one scene
    IsSingleScene,  // an "*.SCE" offered as all scenes
    FieldOutOfRange // see the violation
};

struct SceneFileVerdict {
    SceneFileCheck check = SceneFileCheck::Ok;
    ImageViolation violation;
};

// data is the whole file (callers read at most kAllFileSize + 1 bytes, enough to tell the sizes
// apart). In an "*.ALL" every scene is checked, an erased place passes as it is, and bytes
// 1100..4095 of each scene must be zero, so that a file that passes is exactly what saving the
// scenes back would write.
SceneFileVerdict Check_Scene_File(const uint8_t* data, size_t size);
SceneFileVerdict Check_All_File(const uint8_t* data, size_t size);

} // namespace tarn
