// The graph's frequency and level lines with their labels, on the graph's one scale
// (dsp/scale.h), and the texts a point on it reads.
#pragma once

#include "dsp/readout_text.h"
#include "dsp/scale.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <array>

namespace tarn {

struct GridLine {
    double value; // Hz or dB
    int pos;      // pixel column (frequency lines) or row (level lines) in the window
    const char* label;
};

// 20, 50, 100, 200, 500, 1k, 2k, 5k, 10k, 20k Hz, on the plot's scale (the smallest plot when
// none is given).
std::array<GridLine, 10> Grid_Freq_Lines(const GraphScale& scale = kBaseScale);
// +18, +12, +6, 0, -6, -12, -18 dB; on a plot set to +-40 or +-60 dB, 12 or 18 dB apart.
std::array<GridLine, 7> Grid_Level_Lines(const GraphScale& scale = kBaseScale);

// The labels and the hover readout are written in fixed pixels, like the form around them: a font
// in points would grow with the font DPI and no longer fit between the plot and its neighbours.
QFont Grid_Label_Font(const QFont& windowFont);
// Where a label is written: frequency labels centred in the row under the plot, level labels
// right-aligned left of it.
QRect Freq_Label_Rect(const GridLine& line, const GraphScale& scale = kBaseScale);
QRect Level_Label_Rect(const GridLine& line, const GraphScale& scale = kBaseScale);
constexpr int kFreqLabelFlags = Qt::AlignHCenter | Qt::AlignTop;
constexpr int kLevelLabelFlags = Qt::AlignRight | Qt::AlignVCenter;
// The axes' units: "dB" above the level labels, "Hz" at the left end of the frequency labels' row
// (clear of the "20" centred on the plot's first column).
QRect Level_Unit_Rect(const GraphScale& scale = kBaseScale);
QRect Freq_Unit_Rect(const GraphScale& scale = kBaseScale);
constexpr int kFreqUnitFlags = Qt::AlignLeft | Qt::AlignTop;

} // namespace tarn
