// The two scene file formats and the checks a file passes before any of it reaches the unit.
//
// "*.SCE": one 4096-byte parameter image, no header, EQ gains in the unit's encoding (the PC value
// + 120). "*.ALL": the nine stored scenes, 4096 bytes each, scene 1 first; bytes 0..1099 of each
// are the unit's 55 blocks as it sent them. Pure functions over byte buffers.
#pragma once

#include "i18n/text.h"
#include "model/param_image.h"

#include <QByteArray>
#include <cstdint>

namespace tarn {

constexpr int kStoredScenes = 9;
constexpr int kSceneFileSize = kImageSize;                // 4096
constexpr int kAllFileSize = kStoredScenes * kImageSize;  // 36864
constexpr int kSceneImageBlocks = kBlockCount;            // 05 41: blocks 0..54
constexpr int kStoredSceneUploadBlocks = kBlockCount + 1; // 05 15: blocks 0..55
constexpr int kStoredSceneDownloadBlocks = kBlockCount;   // 06 15: blocks 0..54

// Every gain this program can hold, in the file's encoding: the typed entry allows -20.0..+20.0
// dB (PC -80..320), read-back values are 0..240; so 40..440 in a file. Anything else did not come
// from a mirror of ours (for example a file saved twice-shifted, or another kind of file).
constexpr int kFileGainMin = 40;
constexpr int kFileGainMax = 440;

// The "*.SCE" image of a mirror that holds the PC encoding: every EQ gain + 120 (mod 65536).
ParamImage::Bytes Scene_File_From_Mirror(const ParamImage& mirror);
// The reverse: the mirror image of a "*.SCE" file, every EQ gain - 120 (mod 65536).
ParamImage::Bytes Mirror_From_Scene_File(const ParamImage::Bytes& file);

enum class SceneFileCheck {
    Ok,
    WrongSize,      // neither kind's size
    IsAllScenes,    // an "*.ALL" offered as one scene
    IsSingleScene,  // an "*.SCE" offered as all scenes
    GainsOutOfRange // a "*.SCE" whose EQ gains no mirror of ours could hold
};

// data is the whole file (callers read at most kAllFileSize + 1 bytes, enough to tell the sizes
// apart).
SceneFileCheck Check_Scene_File(const QByteArray& data);
SceneFileCheck Check_All_File(const QByteArray& data);
// The notice for a refused file; allScenes tells which load refused it.
Bilingual Scene_File_Check_Text(SceneFileCheck check, bool allScenes);

// Progress of the two nine-scene transfers: floor(n / 4.6) and floor(t / 4.7), kept within the
// bar's range. Integer arithmetic, so 46 gives exactly 10.
int Download_Progress(int requests);
int Upload_All_Progress(int sends);

} // namespace tarn
