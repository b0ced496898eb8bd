#include "graph/response.h"

#include "graph/curve_cache.h"

#include "model/param_image.h"

#include <cmath>

namespace tarn {

double Curve_Freq[kCurvePoints];
double Curve_Omega[kCurvePoints];
double Curve_EQ[kCurveChannels][kCurvePoints];
double Curve_HPF[kCurveChannels][kCurvePoints];
double Curve_LPF[kCurveChannels][kCurvePoints];
QPoint Curve_Points[kCurveChannels][kCurvePoints];
Biquad EQ_Section[kEqSections];

int HPF_Marker_X = 300;
int LPF_Marker_X = 1000;
QLine HPF_Line(66, kGraphTop, 66, kLineBottom);
QLine LPF_Line(666, kGraphTop, 666, kLineBottom);

namespace {

// The curve is drawn as if sampled at 48 kHz. The band design uses 2*pi/48000 to seven digits,
// the evaluation and the crossover ratios use 6.28/48000; the small offset is deliberate.
constexpr double kDesignRadPerHz = 0.0001308997;
constexpr double kEvalRadPerHz = 0.00013083333333333333;
constexpr double kEvalRadPerHz2 = 0.00026166666666666667;
constexpr double kLn10 = 2.302585092994046;
constexpr double kGridStep = 0.054391773850253046; // ln(1000) / 127
constexpr double kGridStart = 2.995732273553991;   // ln(20)
constexpr double kLog10Of20 = 1.3010299956639813;
constexpr double kStepsPerDecade = 42.333333333333336; // 127 / 3
constexpr double kMarkerPxPerStep = 8.28125;

// +0.1 dB, Q 1.0 sections at the two ends of the grid, written into the table on every call.
constexpr Biquad kSection20k{1.0012866057871959, 1.5396008624416686, 0.7764912137337805,
                             1.5396008624416686, 0.7777778195209764};
constexpr Biquad kSection20{1.0000075737697713, -1.99868501126379, 0.9986842868997672,
                            -1.99868501126379, 0.9986918606695385};

int Grid_X(int i) {
    return static_cast<int>(i * 1060.0 / 127.0 + 36.0);
}

void Crossover_Curve(double (&curve)[kCurvePoints], const FilterFields& fields, uint8_t ch,
                     bool highPass) {
    Curve_Noted_Filter(ch, highPass);
    const ParamImage& p = Param_Image;
    const int fc = p.filterFreq(fields, ch);
    if (p.filterOff(fields, ch) != 0) {
        for (double& v : curve)
            v = 0.0;
        return;
    }
    const int n = p.filterSlope(fields, ch) + 1;
    const int type = p.filterType(fields, ch);
    if (type > 2) return; // an unknown family leaves the curve as it was
    const double wc = fc * kEvalRadPerHz;
    for (int i = 0; i < kCurvePoints; ++i) {
        const double r = highPass ? wc / Curve_Omega[i] : Curve_Omega[i] / wc;
        curve[i] = 20.0 * std::log10(Crossover_Magnitude(type, n, r)) * 4.0;
    }
}

void Crossover_Calc(double (&curve)[kCurvePoints], const FilterFields& fields, uint8_t ch,
                    bool highPass, int& markerX, QLine& line) {
    markerX = Freq_To_Pos(Param_Image.filterFreq(fields, ch));
    line.setLine(markerX + 4, kGraphTop, markerX + 4, kLineBottom);
    Crossover_Curve(curve, fields, ch, highPass);
}

} // namespace

void Curve_Init() {
    Curve_Cache_Reset();
    for (int i = 0; i < kCurvePoints; ++i) {
        Curve_Freq[i] = Grid_Freq(i);
        Curve_Omega[i] = Curve_Freq[i] * 6.28 / 48000.0;
    }
    for (int ch = 0; ch < kCurveChannels; ++ch) {
        for (int i = 0; i < kCurvePoints; ++i) {
            Curve_EQ[ch][i] = 0.0;
            Curve_HPF[ch][i] = 0.0;
            Curve_LPF[ch][i] = 0.0;
            Curve_Points[ch][i] = QPoint(Grid_X(i), kZeroDbY);
        }
    }
    HPF_Marker_X = 300;
    LPF_Marker_X = 1000;
    HPF_Line.setLine(66, kGraphTop, 66, kLineBottom);
    LPF_Line.setLine(666, kGraphTop, 666, kLineBottom);
}

double Grid_Freq(int i) {
    return std::exp(i * kGridStep + kGridStart);
}

void Eval_Cos(double f, double& cw, double& c2w) {
    cw = std::cos(f * kEvalRadPerHz);
    c2w = std::cos(f * kEvalRadPerHz2);
}

Biquad EQ_Band_Section(int g, double f0, int q) {
    return Peak_Section((g - 120) / 10.0, f0, q / 10.0);
}

Biquad Peak_Section(double gainDb, double f0, double Q) {
    const double A = std::pow(10.0, gainDb / 20.0);
    const double w0 = f0 * kDesignRadPerHz;
    const double c = std::cos(w0);
    const double s = std::sin(w0);
    // Narrowing a cut by A makes a cut of -G dB the mirror image of a boost of +G dB.
    const double X = A >= 1.0 ? 4.0 * Q : 4.0 * Q * A;
    const double k = (X - s) / (X + s);
    Biquad b;
    b.b0 = ((1.0 + k) + (1.0 - k) * A) / 2.0;
    b.b1 = -c * (1.0 + k);
    b.b2 = ((1.0 + k) - (1.0 - k) * A) / 2.0;
    b.a1 = -c * (1.0 + k);
    b.a2 = k;
    return b;
}

double Peaking_Db(double gainDb, double f0, double Q, double f) {
    constexpr double kRadPerHz = 2.0 * 3.14159265358979323846 / 48000.0;
    const double A = std::pow(10.0, gainDb / 40.0);
    const double w0 = f0 * kRadPerHz;
    const double alpha = std::sin(w0) / (2.0 * Q);
    const double c = std::cos(w0);
    const double b0 = 1.0 + alpha * A, b1 = -2.0 * c, b2 = 1.0 - alpha * A;
    const double a0 = 1.0 + alpha / A, a1 = -2.0 * c, a2 = 1.0 - alpha / A;
    // |H|^2 on the unit circle; a0 cancels in the ratio of the two sums.
    const double cw = std::cos(f * kRadPerHz), c2w = std::cos(2.0 * f * kRadPerHz);
    const double N = b0 * b0 + b1 * b1 + b2 * b2 + 2.0 * b1 * (b0 + b2) * cw + 2.0 * b0 * b2 * c2w;
    const double D = a0 * a0 + a1 * a1 + a2 * a2 + 2.0 * a1 * (a0 + a2) * cw + 2.0 * a0 * a2 * c2w;
    return 10.0 * std::log10(N / D);
}

double Section_Power(const Biquad& s, double cw, double c2w) {
    const double N = s.b0 * s.b0 + s.b1 * s.b1 + s.b2 * s.b2 + 2.0 * s.b1 * (s.b0 + s.b2) * cw +
                     2.0 * s.b0 * s.b2 * c2w;
    const double D =
        1.0 + s.a1 * s.a1 + s.a2 * s.a2 + 2.0 * s.a1 * (1.0 + s.a2) * cw + 2.0 * s.a2 * c2w;
    return N / D;
}

void EQ_Sections_Of(uint8_t ch, Biquad (&sections)[kEqSections]) {
    const ParamImage& p = Param_Image;
    for (int b = 0; b < kBands; ++b) {
        // Typed gains below -12 dB are stored as 16-bit two's complement: read them signed.
        sections[b] = EQ_Band_Section(p.EQ_Gain_Signed(ch, b), p.EQ_Freq(ch, b), p.EQ_Q(ch, b));
    }
    sections[31] = kSection20k;
    sections[32] = kSection20;
}

void EQ_Curve_Calc(uint8_t ch) {
    Curve_Noted_EQ(ch);
    EQ_Sections_Of(ch, EQ_Section);

    // 47 * log10 of each section's power ratio, summed over the sections, is taken as one log of
    // their product: a section lies within 10^+-4 (+-40 dB), so 33 of them cannot overflow, and
    // one log per point instead of 33 keeps a drag step well inside its time budget.
    double* row = Curve_EQ[ch];
    for (int i = 0; i < kCurvePoints; ++i) {
        double product = 1.0;
        double cw, c2w;
        Eval_Cos(Curve_Freq[i], cw, c2w);
        for (const Biquad& s : EQ_Section) {
            const double R = Section_Power(s, cw, c2w);
            if (R == 0.0) continue; // a zero section adds nothing
            product *= R;
        }
        row[i] = 47.0 * std::log(product) / kLn10;
    }
}

double Crossover_Magnitude(int type, int n, double r) {
    if (n == 1 && type >= 0 && type <= 2) return 1.0 / std::sqrt(1.0 + r * r);
    switch (type) {
    case 0:
        return 1.0 / std::sqrt(1.0 + std::pow(r, 2 * n));
    case 1:
        return 1.0 / (1.0 + std::pow(r, n));
    case 2:
        return (2.0 * n - 1.0) / (std::pow(r, n) + 2.0 * n - 1.0);
    default:
        return -1.0;
    }
}

void HPF_Curve_Calc(uint8_t ch) {
    Crossover_Calc(Curve_HPF[ch], kHpfFields, ch, true, HPF_Marker_X, HPF_Line);
}

void LPF_Curve_Calc(uint8_t ch) {
    Crossover_Calc(Curve_LPF[ch], kLpfFields, ch, false, LPF_Marker_X, LPF_Line);
}

void Crossover_Curve_Calc(uint8_t ch, bool highPass) {
    if (highPass)
        Crossover_Curve(Curve_HPF[ch], kHpfFields, ch, true);
    else
        Crossover_Curve(Curve_LPF[ch], kLpfFields, ch, false);
}

void Curve_Points_Update(uint8_t ch) {
    Curve_Noted_Points(ch);
    for (int i = 0; i < kCurvePoints; ++i) {
        const double y = kZeroDbY - (Curve_HPF[ch][i] + Curve_LPF[ch][i] + Curve_EQ[ch][i]);
        Curve_Points[ch][i].setY(static_cast<int>(y));
    }
}

double Channel_Level_Db(uint8_t ch, double f) {
    Biquad sections[kEqSections];
    EQ_Sections_Of(ch, sections);
    double cw, c2w;
    Eval_Cos(f, cw, c2w);
    double product = 1.0;
    for (const Biquad& s : sections) {
        const double R = Section_Power(s, cw, c2w);
        if (R != 0.0) product *= R;
    }
    double level = 10.0 * std::log10(product);
    const ParamImage& p = Param_Image;
    for (const FilterFields* fields : {&kHpfFields, &kLpfFields}) {
        const int type = p.filterType(*fields, ch);
        if (p.filterOff(*fields, ch) != 0 || type > 2) continue;
        const double fc = p.filterFreq(*fields, ch);
        const double r = fields == &kHpfFields ? fc / f : f / fc;
        level += 20.0 * std::log10(Crossover_Magnitude(type, p.filterSlope(*fields, ch) + 1, r));
    }
    return level;
}

int Freq_To_Pos(double f) {
    double p = (std::log10(f) - kLog10Of20) * kStepsPerDecade * kMarkerPxPerStep + 36.0;
    if (f == 20000.0) p -= 1.0;
    return static_cast<int>(p);
}

int Pos_To_Freq(int X) {
    double f = std::pow(10.0, (X - 36) / kMarkerPxPerStep / kStepsPerDecade + kLog10Of20);
    if (f >= 19995.0) f += 5.0;
    if (f >= 20000.0) return 20000;
    if (f < 20.0) return 20;
    return static_cast<int>(f);
}

} // namespace tarn
