// The "*.SCE" check on arbitrary bytes. For a file it accepts: loading it into the mirror and
// saving it again gives the same bytes, and the read-back after the load (the validity rules on
// what the unit was sent) keeps every field as the file had it, but for gains past +-12 dB, which
// a read-back makes flat.
#include "model/param_image.h"
#include "model/scene_image.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn;
    const SceneFileVerdict verdict = Check_Scene_File(data, size);
    if ((verdict.check == SceneFileCheck::FieldOutOfRange) != bool(verdict.violation)) std::abort();
    if (verdict.check != SceneFileCheck::Ok) {
        if (verdict.violation) {
            const FieldLimits limits = Field_Limits(verdict.violation.field);
            const int v = verdict.violation.value;
            if (v >= limits.min && v <= limits.max) std::abort();
            if (verdict.violation.offset < 4 || verdict.violation.offset >= kReadbackSize)
                std::abort();
        }
        return 0;
    }

    ParamImage::Bytes file{};
    std::memcpy(file.data(), data, file.size());
    ParamImage mirror;
    mirror.bytes() = Mirror_From_Scene_File(file);
    if (Scene_File_From_Mirror(mirror) != file) std::abort();

    ParamImage unit;
    std::memcpy(unit.bytes().data(), data, kReadbackSize);
    ParamImage readBack = unit;
    PcState pc;
    Apply_Validity_Rules(readBack, pc);
    for (int ch = 0; ch < kChannels; ++ch) {
        for (int b = 0; b < kBands; ++b) {
            const int g = unit.EQ_Gain(ch, b);
            const int expected = g >= 120 && g <= 360 ? g - 120 : 120;
            if (readBack.EQ_Gain(ch, b) != expected) std::abort();
            readBack.set_EQ_Gain(ch, b, unit.EQ_Gain(ch, b));
        }
    }
    if (readBack.bytes() != unit.bytes()) std::abort();
    return 0;
}
