// How the graph, the readouts and the reader summaries write a frequency and a level.
#pragma once

#include <QString>

namespace tarn {

// A frequency as the graph writes it: "63.5 Hz", "250 Hz", "1.25 kHz".
QString Freq_Text(double freq);
// A level as the readouts write it: "+3.2 dB", "0.0 dB", "-12.0 dB".
QString Level_Text(double db);
// The hover readout: "1.00 kHz  +3.2 dB" / "63.5 Hz  -12.0 dB".
QString Hover_Text(double freq, double db);

} // namespace tarn
