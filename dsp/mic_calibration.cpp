#include "dsp/mic_calibration.h"

#include "dsp/decimal.h"

#include <QList>
#include <algorithm>
#include <cmath>

namespace tarn {

namespace {

// "Sens Factor =-1.5dB, SERNO: 7000123": the number after '=' and before "dB". False when the
// line names the factor but holds no number there.
bool sensFactor(const QByteArray& line, double& out) {
    const int eq = static_cast<int>(line.indexOf('='));
    if (eq < 0) return false;
    int i = eq + 1;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    const int start = i;
    while (i < line.size() &&
           (std::isdigit(static_cast<unsigned char>(line[i])) || line[i] == '+' || line[i] == '-' ||
            line[i] == '.' || line[i] == ','))
        ++i;
    int end = i;
    while (end > start && line[end - 1] == ',') // a comma before the next field
        --end;
    return Read_Decimal(line.constData() + start, end - start, true, out);
}

} // namespace

MicCalibration readMicCalibration(const QByteArray& text) {
    MicCalibration cal;
    int lineNo = 0;
    for (const QByteArray& raw : text.split('\n')) {
        ++lineNo;
        QByteArray line = raw.trimmed();
        if (lineNo == 1 && line.startsWith("\xEF\xBB\xBF")) line = line.mid(3);
        if (line.toLower().contains("sens factor")) {
            double v = 0.0;
            if (!sensFactor(line, v) || std::fabs(v) > 100.0) {
                cal.error = MicCalibration::Error::BadSensFactor;
                cal.badLine = lineNo;
                return cal;
            }
            cal.sensFactorDb = v;
        }
    }
    // The comment marks stay in the text, so the measurement reader's line numbers hold; it skips
    // every line that does not start like a number.
    const MeasurementRead read = Read_Measurement(text);
    switch (read.error) {
    case MeasurementRead::Error::None:
        break;
    case MeasurementRead::Error::BadLine:
        cal.error = MicCalibration::Error::BadLine;
        break;
    case MeasurementRead::Error::AmbiguousComma:
        cal.error = MicCalibration::Error::AmbiguousComma;
        break;
    case MeasurementRead::Error::TooFewPoints:
        cal.error = MicCalibration::Error::TooFewPoints;
        break;
    }
    if (!cal.valid()) {
        cal.badLine = read.badLine;
        cal.sensFactorDb = 0.0;
        return cal;
    }
    cal.points = read.points;
    std::stable_sort(
        cal.points.begin(), cal.points.end(),
        [](const MeasuredPoint& a, const MeasuredPoint& b) { return a.freq < b.freq; });
    return cal;
}

double MicCalibration::offsetDb(double freq) const {
    if (points.empty()) return sensFactorDb;
    const auto above =
        std::lower_bound(points.begin(), points.end(), freq,
                         [](const MeasuredPoint& p, double v) { return p.freq < v; });
    double level;
    if (above == points.end()) {
        level = points.back().level;
    } else if (above == points.begin() || above->freq == freq) {
        level = above->level;
    } else {
        const MeasuredPoint& a = *(above - 1);
        const MeasuredPoint& b = *above;
        const double t =
            (std::log(freq) - std::log(a.freq)) / (std::log(b.freq) - std::log(a.freq));
        level = a.level + t * (b.level - a.level);
    }
    return level + sensFactorDb;
}

void applyCalibration(const MicCalibration& cal, std::vector<MeasuredPoint>& response) {
    if (!cal.valid()) return;
    for (MeasuredPoint& p : response)
        p.level -= cal.offsetDb(p.freq);
}

} // namespace tarn
