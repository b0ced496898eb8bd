// Measured responses laid under the curves: the text a room-measurement program exports, read into
// points, put on the curve's frequency grid and levelled so that 200 Hz..2 kHz averages 0 dB, and
// the result that channel's present settings would give: the measurement plus its response.
// Display only: nothing here is sent to the unit or written into scene files.
#pragma once

#include "dsp/response_curves.h"

#include <QByteArray>
#include <array>
#include <vector>

namespace tarn {

constexpr int kMeasurementMinPoints = 10; // between 20 Hz and 20 kHz
constexpr qint64 kMeasurementMaxBytes = 32 * 1024 * 1024;

struct MeasuredPoint {
    double freq;  // Hz
    double level; // dB
};

struct MeasurementRead {
    enum class Error { None, BadLine, AmbiguousComma, GroupedThousands, TooFewPoints };
    Error error = Error::None;
    int badLine = 0; // 1-based, for BadLine, AmbiguousComma and GroupedThousands
    int inRange = 0; // points between 20 Hz and 20 kHz
    std::vector<MeasuredPoint> points;
};

// One point per line: frequency in Hz, then level in dB, then anything (phase) that is ignored.
// Fields are separated by tabs or semicolons, and then a comma is a decimal comma ("20,00<TAB>
// 75,00"), or else by spaces or commas. Blank lines and lines that do not start like a number
// ('*', '#', text) are skipped. A line that starts like a number but does not hold two numbers,
// a frequency above 0 and a level within +-1000 dB, is refused by its number (BadLine), and so is
// a line whose commas could be decimal commas or separators (AmbiguousComma: "20,5 80,1"), and a
// line whose numbers could have their thousands grouped (GroupedThousands: "1,071.1 81.92" is
// 1071.1 Hz or 1 Hz at 71.1 dB). A text in UTF-16 with its byte-order mark is read as well.
MeasurementRead Read_Measurement(const QByteArray& text);

// A measurement on the curve grid, in dB relative to its mean between 200 Hz and 2 kHz (or, when
// it does not reach that band, to its mean over what it covers). Grid points outside the measured
// range are not covered.
struct Measurement {
    bool present = false;
    std::array<bool, kCurvePoints> covered{};
    std::array<double, kCurvePoints> level{};
};

// Empty (not present) when fewer than two grid points are covered.
Measurement Measurement_On_Grid(std::vector<MeasuredPoint> points);

// Channel ch's measurement m plus its present response in the curves, on the grid; covered like
// the measurement. The caller brings the channel's rows up to date first (ResponseCurves::current).
void Predicted_Levels(const ResponseCurves& curves, uint8_t ch, const Measurement& m,
                      std::array<double, kCurvePoints>& out);

} // namespace tarn
