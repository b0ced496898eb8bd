// Text of the channel-strip entries: level in dB, delay in ms or cm, and the channel number in a
// button's object name. Pure functions over strings and numbers; nothing here touches a widget.
#pragma once

#include "session/diag.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tarn {

constexpr int kDelayUnitMs = 0;
constexpr int kDelayUnitCm = 1;
constexpr double kStepsPerMs = 100.0;      // one delay step is 0.01 ms
constexpr double kStepsPerCm = 2.89855;    // 1 cm of sound path at 345 m/s
constexpr int kCmThousandthsPerStep = 345; // 0.345 cm per step

// Level scale of the channel and master volumes: value 0..600 is (dB + 60) x 10.
// Shown with one decimal and "dB": 600 -> "0.0dB", 555 -> "-4.5dB", 0 -> "-60.0dB".
QString Volume_Text(int value);

// A typed level: a plain decimal number of dB (no unit) from -60.0 to 0.0. On success target is
// the slider position (d + 60) x 10, not yet rounded.
bool Parse_Volume_Entry(const QString& text, double& target);

// Delay steps (0.01 ms each) in the given unit: "3.20ms", or the nearest whole cm, "100cm".
QString Delay_Text(int steps, int unit);

// A typed delay. A "cm" suffix (or else an "ms" suffix) is dropped; the number is read in the
// current unit whatever the suffix said. On success steps is the delay in steps, 0..1500, not yet
// rounded.
bool Parse_Delay_Entry(const QString& text, int unit, double& steps);

// Channel index 0..5 from a channel button's object name: its last two characters read as a
// number, or else its last character ("BT_CH4" -> 3). -1 when unreadable or not 1..6.
int Channel_From_Name(const QString& objectName);

} // namespace tarn
