#include "graph/grid.h"

#include "graph/response.h"
#include "graph/scale.h"

namespace tarn {

namespace {

GridLine Level_Line(double db, const char* label) {
    return GridLine{db, Db_To_Py(db), label};
}

} // namespace

const std::array<GridLine, 10>& Grid_Freq_Lines() {
    static const std::array<GridLine, 10> lines = [] {
        const std::array<std::pair<double, const char*>, 10> at{{{20, "20"},
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
            out[i] = GridLine{at[i].first, Freq_To_Px(at[i].first), at[i].second};
        return out;
    }();
    return lines;
}

const std::array<GridLine, 7>& Grid_Level_Lines() {
    static const std::array<GridLine, 7> lines{
        Level_Line(18, "+18"), Level_Line(12, "+12"),  Level_Line(6, "+6"),   Level_Line(0, "0"),
        Level_Line(-6, "-6"),  Level_Line(-12, "-12"), Level_Line(-18, "-18")};
    return lines;
}

QFont Grid_Label_Font(const QFont& windowFont) {
    QFont font = windowFont;
    font.setPixelSize(10);
    return font;
}

QRect Freq_Label_Rect(const GridLine& line) {
    // The row between the plot's bottom line and the overlay check boxes.
    return QRect(line.pos - 20, kLineBottom, 40, 13);
}

QRect Level_Label_Rect(const GridLine& line) {
    return QRect(4, line.pos - 7, kGraphLeft - 7, 14);
}

QString Freq_Text(double freq) {
    // Thresholds where rounding would carry into the next format ("1000 Hz", "100.0 Hz").
    return freq >= 999.5 ? QString::number(freq / 1000.0, 'f', 2) + QStringLiteral(" kHz")
                         : QString::number(freq, 'f', freq < 99.95 ? 1 : 0) + QStringLiteral(" Hz");
}

QString Hover_Text(double freq, double db) {
    const QString f = Freq_Text(freq);
    QString level = QString::number(db, 'f', 1);
    if (db >= 0.05) level.prepend(QLatin1Char('+'));
    if (level == QStringLiteral("-0.0")) level = QStringLiteral("0.0");
    return f + QStringLiteral("  ") + level + QStringLiteral(" dB");
}

} // namespace tarn
