// Keeps every channel's curve equal to its fields in the mirror, whichever path changed them
// (read-back, scene load, link copies, role presets, undo). Each computation of a row notes the
// field bytes it used; the painter asks before it draws, and only the rows whose fields differ from
// those notes are computed again.
#pragma once

#include <cstdint>

namespace tarn {

// Brings the EQ, high-pass and low-pass rows and the polyline of channel ch up to date with the
// mirror. Returns whether anything had to be recomputed. Moves no marker.
bool Curves_Current(uint8_t ch);

// Called by the row computations (graph/response.cpp): row ch now shows the mirror's fields.
void Curve_Noted_EQ(uint8_t ch);
void Curve_Noted_Filter(uint8_t ch, bool highPass);
void Curve_Noted_Points(uint8_t ch);

// Forgets every note (the curves were reset): the next call computes everything.
void Curve_Cache_Reset();

} // namespace tarn
