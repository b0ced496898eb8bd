// The tune text reader on arbitrary bytes. A text it refuses gives no image and says why in both
// languages; a text it takes gives an image the scene-file check passes, whose own text reads
// back to the same image.
#include "model/scene_image.h"
#include "session/tune_text.h"

#include <QByteArray>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const TuneSceneResult read = Scene_From_Tune_Text(text);
    if (!read.scene) {
        if (read.error.en.isEmpty() || read.error.zh.isEmpty()) std::abort();
        return 0;
    }
    if (!read.error.isEmpty()) std::abort();
    if (Check_Unit_Image(read.scene->data())) std::abort();
    const TuneTextResult written = Tune_Text_From_Scene(*read.scene);
    if (!written.error.isEmpty()) std::abort();
    const TuneSceneResult again = Scene_From_Tune_Text(written.text);
    if (!again.scene || *again.scene != *read.scene) std::abort();
    return 0;
}
