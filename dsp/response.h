// The arithmetic of the output channels' frequency response on the parameter mirror: band and
// crossover sections, levels, the grid and the marker <-> frequency conversions. No state: the
// curves the graph draws are kept by ResponseCurves (dsp/response_curves.h).
#pragma once

#include "dsp/scale.h"

#include <cstdint>

namespace tarn {

constexpr int kCurvePoints = 128; // grid points from 20 Hz to 20 kHz
constexpr int kCurveChannels = 6;
constexpr int kEqSections = 31; // one per band

// Pixel geometry of the graph (window coordinates).
constexpr int kGraphLeft = 36;
constexpr int kGraphTop = 50;
constexpr int kGraphWidth = 1060;
constexpr int kGraphHeight = 188;
constexpr int kZeroDbY = 144;    // the row of 0 dB (dsp/scale.h)
constexpr int kLineBottom = 238; // the crossover lines run from kGraphTop to here
constexpr int kCrossoverMarkerSize = 16;
// A marker's frequency and level are those of the pixel this far right of and below its top left
// corner: the middle of a band marker, and the corner line through a crossover marker.
constexpr int kMarkerCentre = 5;

constexpr double kRadPerHz = 2.0 * 3.14159265358979323846 / 48000.0; // the unit samples at 48 kHz

struct Biquad {
    double b0, b1, b2, a1, a2; // normalised: a0 = 1
};

// The 31 band sections of channel ch.
void EQ_Sections_Of(uint8_t ch, Biquad (&sections)[kEqSections]);
// Level of channel ch at f Hz in dB, computed at f itself rather than read off the grid: its EQ
// bands (bypass does not count, as on the curve) and both crossovers.
double Channel_Level_Db(uint8_t ch, double f);

// Frequency of grid point i (0..127): 20 x 1000^(i/127) Hz.
double Grid_Freq(int i);

// The standard peaking section of one band at 48 kHz: g in the PC gain encoding (120 = 0 dB),
// f0 in Hz, q = Q x 10.
Biquad EQ_Band_Section(int g, double f0, int q);
// The same section for any gain in dB and any Q (filters read from files before they are fitted).
Biquad Peak_Section(double gainDb, double f0, double Q);
// Level in dB at f Hz of the standard peaking biquad sampled at 48 kHz, as room-measurement
// programs and parametric equalisers describe their peaking filters: gain in dB, centre f0 in Hz
// (below 24 kHz), Q above 0. The same filter as Peak_Section, one frequency at a time.
double Peaking_Db(double gainDb, double f0, double Q, double f);
// Squared magnitude of a section at f Hz on the 48 kHz scale.
double Section_Power(const Biquad& s, double f);
// The same given cos(w) and cos(2w) of the frequency, for a grid whose cosines are kept (inline:
// it is the inner loop of every EQ row).
inline double Section_Power_Cos(const Biquad& s, double cw, double c2w) {
    const double N = s.b0 * s.b0 + s.b1 * s.b1 + s.b2 * s.b2 + 2.0 * s.b1 * (s.b0 + s.b2) * cw +
                     2.0 * s.b0 * s.b2 * c2w;
    const double D =
        1.0 + s.a1 * s.a1 + s.a2 * s.a2 + 2.0 * s.a1 * (1.0 + s.a2) * cw + 2.0 * s.a2 * c2w;
    return N / D;
}
// Magnitude of a crossover filter: type 0 Butterworth, 1 Linkwitz-Riley, 2 Bessel; n = slope
// index + 1 (6n dB/oct); r = frequency ratio (corner / f for a high-pass, f / corner for a
// low-pass). Returns a negative value for an unknown type.
double Crossover_Magnitude(int type, int n, double r);

// Band marker left edge for frequency f, and the whole frequency (20..20000 Hz) a marker with its
// left edge at X reads: the exact inverse where a pixel spans less than a hertz.
int Freq_To_Pos(double f);
int Pos_To_Freq(int X);
// The same on any plot's scale.
int Freq_To_Pos(const GraphScale& scale, double f);
int Pos_To_Freq(const GraphScale& scale, int X);

} // namespace tarn
