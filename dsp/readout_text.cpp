#include "dsp/readout_text.h"

namespace tarn {

QString Freq_Text(double freq) {
    // Thresholds where rounding would carry into the next format ("1000 Hz", "100.0 Hz").
    return freq >= 999.5 ? QString::number(freq / 1000.0, 'f', 2) + QStringLiteral(" kHz")
                         : QString::number(freq, 'f', freq < 99.95 ? 1 : 0) + QStringLiteral(" Hz");
}

QString Level_Text(double db) {
    QString level = QString::number(db, 'f', 1);
    if (db >= 0.05) level.prepend(QLatin1Char('+'));
    if (level == QStringLiteral("-0.0")) level = QStringLiteral("0.0");
    return level + QStringLiteral(" dB");
}

QString Hover_Text(double freq, double db) {
    return Freq_Text(freq) + QStringLiteral("  ") + Level_Text(db);
}

} // namespace tarn
