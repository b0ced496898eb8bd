// A measurement microphone's calibration file: frequency / dB lines as the microphones ship them,
// and an optional "Sens Factor =-1.2dB" line. The microphone reads `level` dB more than the sound
// at that frequency; the sensitivity factor is a level that applies at every frequency.
#pragma once

#include "dsp/measurement.h"

#include <QByteArray>
#include <vector>

namespace tarn {

struct MicCalibration {
    enum class Error { None, BadLine, AmbiguousComma, TooFewPoints, BadSensFactor };
    Error error = Error::None;
    int badLine = 0;                   // 1-based, for BadLine, AmbiguousComma and BadSensFactor
    double sensFactorDb = 0.0;         // 0 when the file gives none
    std::vector<MeasuredPoint> points; // by rising frequency

    bool valid() const { return error == Error::None; }
    // The correction at freq: interpolated in log frequency, the end values beyond the ends.
    double offsetDb(double freq) const;
};

// Lines starting with '*', '#' or '"' are comments (a "Sens Factor" among them is read), and so
// are other lines that do not start like a number; the points are read as the measurement reader
// reads them (tabs, semicolons, spaces or commas between the columns, decimal commas).
MicCalibration readMicCalibration(const QByteArray& text);

// Removes the microphone's own response from a measured one: each level less the offset at its
// frequency.
void applyCalibration(const MicCalibration& cal, std::vector<MeasuredPoint>& response);

} // namespace tarn
