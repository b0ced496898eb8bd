// A tune as text: one scene image in the "*.SCE" encoding (EQ gains as the unit holds them)
// written as JSON that a person can read and edit and a diff tool can compare, and read back with
// the checks a scene file passes. Every byte of the image is in the text, so image -> text ->
// image gives the same 4096 bytes.
//
// Keys (QJsonDocument writes an object's keys sorted, so the order never changes):
//   format            "tarn80x-tune"
//   version           1
//   firmware_version  the unit's firmware version, an integer (bytes 0..3)
//   input             "high-level", "low-level" or "optical"
//   noise_gate        0 (off) .. 6
//   master_level_db   -60.0 .. 0.0, in steps of 0.1
//   channels          "CH1" .. "CH6", each with
//     role              speaker-role code 0..20
//     level_db          -60.0 .. 0.0, in steps of 0.1
//     mute              true / false
//     delay_ms          0.00 .. 15.00, in steps of 0.01
//     phase_inverted    true / false
//     eq_bypass         true / false
//     high_pass,        family "butterworth", "link" or "bessel"; slope_db_oct 6, 12 .. 48;
//     low_pass          freq_hz 20..20000; on true / false
//     eq                "01" .. "31", each with freq_hz 20..20000, gain_db -12.0 .. +12.0 and
//                       q 0.4 .. 10.0 (both in steps of 0.1)
//   reserved          the bytes no field shows, as hex, in rows of at most 32 bytes (aligned to
//                     32), each keyed by the offset of its first byte ("0x0440")
// The ranges are the scene-file check's. The master mute is not in the image (the window derives
// it from the six channel mutes), so it is not in the text either.
#pragma once

#include "model/param_image.h"
#include "session/text.h"

#include <QByteArray>
#include <optional>

namespace tarn {

inline constexpr char kTuneFormat[] = "tarn80x-tune";
constexpr int kTuneVersion = 1;

struct TuneTextResult {
    QByteArray text;     // UTF-8 JSON, indented; empty when refused
    BilingualText error; // empty when written
};

// An image the scene-file check refuses is refused here too: its text could not be read back.
TuneTextResult Tune_Text_From_Scene(const ParamImage::Bytes& scene);

struct TuneSceneResult {
    std::optional<ParamImage::Bytes> scene; // the whole image, or nothing
    BilingualText error;                    // names the field: "CH3 EQ band 10 gain: ..."
};

// Refuses a text that is not JSON, not this format or version, lacks a field, has one it does not
// know, or holds a value of the wrong type, outside its range or between its steps.
TuneSceneResult Scene_From_Tune_Text(const QByteArray& text);

} // namespace tarn
