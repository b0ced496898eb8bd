// The window's side of the two scene file formats (the formats and their checks are pure, in
// model/scene_image.h): the notice for a refused file and the progress of the nine-scene transfers.
#pragma once

#include "model/scene_image.h"
#include "session/text.h"

#include <QByteArray>
#include <vector>

namespace tarn {

// data is the whole file, as read (at most kAllFileSize + 1 bytes).
SceneFileVerdict Check_Scene_File(const QByteArray& data);
SceneFileVerdict Check_All_File(const QByteArray& data);
// The notice for a refused file; allScenes tells which load refused it. A field out of range is
// named with its scene, channel and band.
BilingualText Scene_File_Check_Text(const SceneFileVerdict& verdict, bool allScenes);

// What a load tells of the gains it limited (Limit_Old_Gains_In_File): how many, and the first few
// by place with the value before and after; empty when there were none.
BilingualText Limited_Gains_Text(const std::vector<LimitedGain>& limited);

// Progress of the two nine-scene transfers: floor(n / 4.6) and floor(t / 4.7), kept within the
// bar's range. Integer arithmetic, so 46 gives exactly 10.
int Download_Progress(int requests);
int Upload_All_Progress(int sends);

} // namespace tarn
