// What the EQ band entries and the crossover controls show, what their typed text means, and the
// step rules of their Up/Down keys, wheel and step buttons. Plain functions of their arguments:
// no widgets, no mirror.
#pragma once

#include "session/text.h"

#include <QString>
#include <optional>

namespace tarn {

// Band LED button: white while the band is flat, blue otherwise.
inline constexpr char kBandLedFlat[] =
    "border-radius:6px;padding:1px 5px;border-style: outset;background-color:white;";
inline constexpr char kBandLedActive[] =
    "border-radius:6px;padding:1px 5px;border-style: outset;background-color:rgb(65,105,225);";

// Display formats: gain in the PC encoding (signed, 120 = 0 dB) as dB with one decimal, a
// frequency as whole Hz, Q x 10 as Q with one decimal.
QString Eq_Gain_Text(int gain);
QString Eq_Freq_Text(int freq);
QString Eq_Q_Text(int q);

// Typed text to the value stored, or nothing when the text is refused.
// Gain: a decimal number of dB, -12.0..+12.0 (all the unit's read-back keeps), stored as
// trunc(dB x 10 + 120), so 0..240.
std::optional<int> Parse_Eq_Gain(const QString& text);
// Frequency (band or crossover corner): a base-10 integer, 20..20000.
std::optional<int> Parse_Freq(const QString& text);
// Q: a decimal number, 0.4..10.0, stored as trunc(Q x 10), so 4..100.
std::optional<int> Parse_Eq_Q(const QString& text);

// The status note for a band entry's refused text: the band, the text and the range the entry
// takes (the entry itself shows the stored value again).
enum class EqEntry { Gain, Freq, Q };
BilingualText Eq_Entry_Refused(EqEntry entry, int band, const QString& typed);

// One Up/Down key or wheel event on an entry. "Held" is the automatic repeat of a held key.
enum class EqStep { WheelForward, WheelBack, Up, UpHeld, Down, DownHeld };

// New band values after one step. The gain result is a position of the gain slider (0..240);
// frequency and Q results stay within 20..20000 Hz and 4..100.
int Eq_Gain_Step(int gain, EqStep step);
int Eq_Freq_Step(int freq, EqStep step);
int Eq_Q_Step(int q, EqStep step);

// New crossover corner frequency after one Up or Down step (button, key or wheel); a fast step
// moves by about 100 Hz above 1 kHz, 10 Hz down to 100 Hz and 2 Hz below.
int Crossover_Freq_Step(int freq, bool up, bool fast);

// Type button text for family 0..2 and slope button text for slope 0..7 or the off text, in the
// language asked for; an out-of-table value shows nothing.
QString Filter_Type_Text(int type, bool english);
QString Filter_Slope_Text(int slope, bool off, bool english);

} // namespace tarn
