// The frequency response of the output channels, computed from the parameter mirror alone.
// Everything here is plain state and arithmetic: no widgets are touched and nothing is sent.
// The window moves the crossover markers to the positions recorded here (graph_window.cpp).
#pragma once

#include "graph/scale.h"

#include <QLine>
#include <QPoint>
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
constexpr int kZeroDbY = 144;    // the row of 0 dB (graph/scale.h)
constexpr int kLineBottom = 238; // the crossover lines run from kGraphTop to here
constexpr int kCrossoverMarkerSize = 16;
// A marker's frequency and level are those of the pixel this far right of and below its top left
// corner: the middle of a band marker, and the corner line through a crossover marker.
constexpr int kMarkerCentre = 5;

struct Biquad {
    double b0, b1, b2, a1, a2; // normalised: a0 = 1
};

// Grid and contributions in dB (positive lifts the curve).
extern double Curve_Freq[kCurvePoints];
extern double Curve_EQ[kCurveChannels][kCurvePoints];
extern double Curve_HPF[kCurveChannels][kCurvePoints];
extern double Curve_LPF[kCurveChannels][kCurvePoints];
// Ready-to-draw polyline per channel: the pixel of each grid point (graph/scale.h).
extern QPoint Curve_Points[kCurveChannels][kCurvePoints];
// Scratch table of EQ_Curve_Calc: the 31 band sections of the channel last computed.
extern Biquad EQ_Section[kEqSections];

// Crossover marker positions recorded by HPF_Curve_Calc / LPF_Curve_Calc: the marker's left
// edge, and the dotted line on the corner's column from y 50 to 238.
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

// The 31 band sections of channel ch.
void EQ_Sections_Of(uint8_t ch, Biquad (&sections)[kEqSections]);
// Level of channel ch at f Hz in dB, computed at f itself rather than read off the grid: its EQ
// bands (bypass does not count, as on the curve) and both crossovers.
double Channel_Level_Db(uint8_t ch, double f);
// Channel ch's curve in dB at grid point i, and where the drawn curve lies at coordinate x of the
// scale: straight between grid points, as the polyline is drawn. Read from the current rows.
double Curve_Db(uint8_t ch, int i);
double Curve_Db_At_X(uint8_t ch, double x);
double Curve_Db_At_X(const GraphScale& scale, uint8_t ch, double x);

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
