// The differences between two scene images, field by field, in both languages: what the command
// line prints, what the window shows before a load, what the unit history records.
//
// Order: the unit-wide settings (input source, noise gate, master volume, firmware version), then
// CH1..CH6, each in the window's order (speaker role, level, mute, delay, phase, high-pass,
// low-pass, EQ bypass, bands 1..31), then the reserved bytes in address order. A crossover filter
// is one entry with its family, slope, frequency and switch, a band one entry with its three
// values; a run of differing reserved bytes is one entry.
#pragma once

#include "model/param_image.h"
#include "session/text.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace tarn {

struct TuneDiffEntry {
    // Where the field is in the tune text, as a JSON pointer ("/channels/CH3/eq/10");
    // a run of reserved bytes is "/reserved/" and its byte range ("0x0F00-0x0F0F").
    QString id;
    BilingualText label;  // "CH3 EQ band 10"
    BilingualText before; // "+6.0 dB at 170 Hz, Q 3.0"; reserved bytes as hex ("001F")
    BilingualText after;
    BilingualText line; // "CH3 EQ band 10: +6.0 dB at 170 Hz, Q 3.0 → 0.0 dB at 160 Hz, Q 3.0"
    // A speaker role's codes, beside its words ("FL-Tweeter", "unknown (255)").
    std::optional<int> beforeCode;
    std::optional<int> afterCode;
};

struct TuneDiff {
    std::vector<TuneDiffEntry> entries;

    // Differing fields, a filter, a band or a reserved run counting as one.
    int count() const { return static_cast<int>(entries.size()); }
    bool empty() const { return entries.empty(); }
    QStringList lines(bool english) const;
};

// Both images in the "*.SCE" encoding (EQ gains as the unit holds them). Values outside their
// ranges are shown as they are stored.
TuneDiff Diff_Scenes(const ParamImage::Bytes& before, const ParamImage::Bytes& after);

} // namespace tarn
