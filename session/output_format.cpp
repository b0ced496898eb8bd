#include "session/output_format.h"

#include "model/param_image.h"

#include <QDebug>

namespace tarn {

namespace {

// A number as the entries accept it: decimal, C locale, surrounding blanks allowed. NaN never
// passes a range test written as !(lo <= x && x <= hi).
bool readNumber(const QString& text, double& value) {
    bool ok = false;
    value = text.toDouble(&ok);
    return ok;
}

} // namespace

QString Volume_Text(int value) {
    return QString::number(value / 10.0 - 60.0, 'f', 1) + QStringLiteral("dB");
}

bool Parse_Volume_Entry(const QString& text, double& target) {
    double d = 0;
    if (!readNumber(text, d) || !(d >= -60.0 && d <= 0.0)) return false;
    target = (d + 60.0) * 10.0;
    return true;
}

QString Delay_Text(int steps, int unit) {
    if (unit == kDelayUnitCm) {
        // Integer arithmetic: 1500 steps is exactly 517.5 cm and shows 518.
        const long thousandths = static_cast<long>(steps) * kCmThousandthsPerStep;
        return QString::number((thousandths + 500) / 1000) + QStringLiteral("cm");
    }
    return QStringLiteral("%1.%2ms").arg(steps / 100).arg(steps % 100, 2, 10, QLatin1Char('0'));
}

bool Parse_Delay_Entry(const QString& text, int unit, double& steps) {
    QString number = text;
    if (number.contains(QLatin1String("cm")) || number.contains(QLatin1String("ms")))
        number.chop(2);
    double v = 0;
    if (!readNumber(number, v)) return false;
    const double s = v * (unit == kDelayUnitCm ? kStepsPerCm : kStepsPerMs);
    if (!(s >= 0.0 && s <= kDelayMax)) return false;
    steps = s;
    return true;
}

int Channel_From_Name(const QString& objectName) {
    bool ok = false;
    int n = objectName.right(2).toInt(&ok);
    if (!ok) n = objectName.right(1).toInt(&ok);
    if (!ok || n < 1 || n > kChannels) return -1;
    return n - 1;
}

} // namespace tarn
