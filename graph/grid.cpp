#include "graph/grid.h"

#include "dsp/response.h"

namespace tarn {

std::array<GridLine, 10> Grid_Freq_Lines(const GraphScale& scale) {
    static const std::array<std::pair<double, const char*>, 10> at{{{20, "20"},
                                                                    {50, "50"},
                                                                    {100, "100"},
                                                                    {200, "200"},
                                                                    {500, "500"},
                                                                    {1000, "1k"},
                                                                    {2000, "2k"},
                                                                    {5000, "5k"},
                                                                    {10000, "10k"},
                                                                    {20000, "20k"}}};
    std::array<GridLine, 10> out{};
    for (size_t i = 0; i < at.size(); ++i)
        out[i] = GridLine{at[i].first, scale.freqToPx(at[i].first), at[i].second};
    return out;
}

std::array<GridLine, 7> Grid_Level_Lines(const GraphScale& scale) {
    // Seven lines whatever the range: 6 dB apart on +-20 dB, 12 on +-40, 18 on +-60.
    using Table = std::array<std::pair<double, const char*>, 7>;
    static const Table at20{
        {{18, "+18"}, {12, "+12"}, {6, "+6"}, {0, "0"}, {-6, "-6"}, {-12, "-12"}, {-18, "-18"}}};
    static const Table at40{{{36, "+36"},
                             {24, "+24"},
                             {12, "+12"},
                             {0, "0"},
                             {-12, "-12"},
                             {-24, "-24"},
                             {-36, "-36"}}};
    static const Table at60{{{54, "+54"},
                             {36, "+36"},
                             {18, "+18"},
                             {0, "0"},
                             {-18, "-18"},
                             {-36, "-36"},
                             {-54, "-54"}}};
    const Table& at = scale.dbSpan > 100 ? at60 : scale.dbSpan > 60 ? at40 : at20;
    std::array<GridLine, 7> out{};
    for (size_t i = 0; i < at.size(); ++i)
        out[i] = GridLine{at[i].first, scale.dbToPy(at[i].first), at[i].second};
    return out;
}

QFont Grid_Label_Font(const QFont& windowFont) {
    QFont font = windowFont;
    font.setPixelSize(10);
    return font;
}

QRect Freq_Label_Rect(const GridLine& line, const GraphScale& scale) {
    // The row between the plot's bottom line and the overlay check boxes.
    return QRect(line.pos - 20, scale.bottom() + 1, 40, 13);
}

QRect Level_Label_Rect(const GridLine& line, const GraphScale& scale) {
    return QRect(4, line.pos - 7, scale.left - 7, 14);
}

QRect Level_Unit_Rect(const GraphScale& scale) {
    return QRect(4, scale.top - 15, scale.left - 7, 14);
}

QRect Freq_Unit_Rect(const GraphScale& scale) {
    return QRect(4, scale.bottom() + 1, 14, 13);
}

} // namespace tarn
