// The frequency response of the output channels, computed from the parameter mirror alone.
// Everything here is plain state and arithmetic: no widgets are touched and nothing is sent.
// The window moves the crossover markers to the positions recorded here (graph_window.cpp).
#pragma once

#include <QLine>
#include <QPoint>
#include <cstdint>

namespace tarn {

constexpr int kCurvePoints = 128; // grid points from 20 Hz to 20 kHz
constexpr int kCurveChannels = 6;
constexpr int kEqSections = 33; // 31 bands + two fixed end sections
constexpr int kZeroDbY = 144;   // y of the 0 dB line of the curves

// Pixel geometry of the graph (window coordinates).
constexpr int kGraphLeft = 36;
constexpr int kGraphTop = 50;
constexpr int kGraphWidth = 1060;
constexpr int kGraphHeight = 188;
constexpr int kLineBottom = 238; // the crossover lines run from kGraphTop to here
constexpr int kCrossoverMarkerTop = 148;
constexpr int kCrossoverMarkerSize = 16;

struct Biquad {
    double b0, b1, b2, a1, a2; // a0 = 1
};

// Grid and contributions, in pixels (positive lifts the curve).
extern double Curve_Freq[kCurvePoints];
extern double Curve_Omega[kCurvePoints];
extern double Curve_EQ[kCurveChannels][kCurvePoints];
extern double Curve_HPF[kCurveChannels][kCurvePoints];
extern double Curve_LPF[kCurveChannels][kCurvePoints];
// Ready-to-draw polyline per channel, in window pixels.
extern QPoint Curve_Points[kCurveChannels][kCurvePoints];
// Scratch table of EQ_Curve_Calc: the 31 band sections of the channel last computed, then the
// two fixed end sections.
extern Biquad EQ_Section[kEqSections];

// Crossover marker positions recorded by HPF_Curve_Calc / LPF_Curve_Calc: the marker's left
// edge, and the dotted line at left edge + 4 from y 50 to 238.
extern int HPF_Marker_X;
extern int LPF_Marker_X;
extern QLine HPF_Line;
extern QLine LPF_Line;

// Builds the grid, zeroes every contribution, puts every polyline on the 0 dB line and the
// crossover lines at their start-up places (x 66 and 666).
void Curve_Init();

// Recomputes row ch of Curve_EQ from the band gains, frequencies and Q of channel ch.
void EQ_Curve_Calc(uint8_t ch);
// Record the crossover marker/line positions for the channel's corner frequency, then
// recompute row ch of Curve_HPF / Curve_LPF (all zero while the filter is OFF).
void HPF_Curve_Calc(uint8_t ch);
void LPF_Curve_Calc(uint8_t ch);
// y of row ch of Curve_Points from the three contributions.
void Curve_Points_Update(uint8_t ch);
// Row ch of Curve_HPF (highPass) or Curve_LPF alone: moves no marker and no line, so any channel,
// not only the edited one, can be brought up to date.
void Crossover_Curve_Calc(uint8_t ch, bool highPass);

// The 31 band sections of channel ch, then the two fixed end sections.
void EQ_Sections_Of(uint8_t ch, Biquad (&sections)[kEqSections]);
// Level of channel ch at f Hz in dB, computed at f itself rather than read off the grid: its EQ
// bands and end sections (bypass does not count, as on the curve) and both crossovers.
double Channel_Level_Db(uint8_t ch, double f);

// Frequency of grid point i (0..127): 20 x 1000^(i/127) Hz.
double Grid_Freq(int i);
// Evaluation of a section on the curve's frequency scale: cos(w) and cos(2w) at f Hz.
void Eval_Cos(double f, double& cw, double& c2w);

// The peaking section of one band: g in the PC gain encoding (120 = 0 dB), f0 in Hz, q = Q x 10.
Biquad EQ_Band_Section(int g, double f0, int q);
// The same section for any gain in dB and any Q (filters read from files before they are fitted).
Biquad Peak_Section(double gainDb, double f0, double Q);
// Level in dB at f Hz of the standard peaking biquad sampled at 48 kHz, as room-measurement
// programs and parametric equalisers describe their peaking filters: gain in dB, centre f0 in Hz
// (below 24 kHz), Q above 0. Not the section the curve draws a band with (Peak_Section).
double Peaking_Db(double gainDb, double f0, double Q, double f);
// Squared magnitude of a section evaluated with cos(w) and cos(2w).
double Section_Power(const Biquad& s, double cw, double c2w);
// Magnitude of a crossover filter: type 0..2, n = slope index + 1, r = frequency ratio
// (corner / f for a high-pass, f / corner for a low-pass). Returns a negative value for an
// unknown type.
double Crossover_Magnitude(int type, int n, double r);

// Marker left edge for frequency f, and the frequency (20..20000 Hz) a marker's left edge reads.
int Freq_To_Pos(double f);
int Pos_To_Freq(int X);

} // namespace tarn
