#include "graph/response.h"

#include "graph/curve_cache.h"
#include "graph/scale.h"

#include "model/param_image.h"

#include <cmath>

namespace tarn {

double Curve_Freq[kCurvePoints];
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

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadPerHz = 2.0 * kPi / 48000.0;  // the unit samples at 48 kHz
constexpr double kGridStep = 0.054391773850253046; // ln(1000) / 127
constexpr double kGridStart = 2.995732273553991;   // ln(20)

// cos(w) and cos(2w) of every grid point, for the band sections.
double Grid_Cos[kCurvePoints];
double Grid_Cos2[kCurvePoints];

// Bessel low-pass of order n: the reverse Bessel polynomial's coefficients a_k, k = 0..n,
// a_k = (2n - k)! / (2^(n - k) k! (n - k)!), so H(s) = a_0 / theta_n(s).
constexpr double kBesselCoef[9][9] = {{1},
                                      {1, 1},
                                      {3, 3, 1},
                                      {15, 15, 6, 1},
                                      {105, 105, 45, 10, 1},
                                      {945, 945, 420, 105, 15, 1},
                                      {10395, 10395, 4725, 1260, 210, 21, 1},
                                      {135135, 135135, 62370, 17325, 3150, 378, 28, 1},
                                      {2027025, 2027025, 945945, 270270, 51975, 6930, 630, 36, 1}};
// The frequency (in units of the polynomial's own) where |a_0 / theta_n(jw)| = 1/sqrt(2): the
// corner is scaled to it so that every order is -3.01 dB at the corner. Found by bisection of
// |H(jw)|^2 = 1/2 in double precision (python3); they match the published -3 dB factors.
constexpr double kBesselCorner[9] = {0.0,
                                     1.0,
                                     1.3616541287161308,
                                     1.755672368681211,
                                     2.113917674904216,
                                     2.4274107021526286,
                                     2.7033950612029223,
                                     2.9517221470387236,
                                     3.1796172375106515};

double Bessel_Magnitude(int n, double r) {
    const double x = r * kBesselCorner[n];
    // theta_n(jx) = sum a_k (jx)^k: j^k cycles 1, j, -1, -j.
    double re = 0.0, im = 0.0, xk = 1.0;
    for (int k = 0; k <= n; ++k) {
        const double t = kBesselCoef[n][k] * xk;
        switch (k % 4) {
        case 0:
            re += t;
            break;
        case 1:
            im += t;
            break;
        case 2:
            re -= t;
            break;
        default:
            im -= t;
            break;
        }
        xk *= x;
    }
    return kBesselCoef[n][0] / std::sqrt(re * re + im * im);
}

double Power_At(const Biquad& s, double cw, double c2w) {
    const double N = s.b0 * s.b0 + s.b1 * s.b1 + s.b2 * s.b2 + 2.0 * s.b1 * (s.b0 + s.b2) * cw +
                     2.0 * s.b0 * s.b2 * c2w;
    const double D =
        1.0 + s.a1 * s.a1 + s.a2 * s.a2 + 2.0 * s.a1 * (1.0 + s.a2) * cw + 2.0 * s.a2 * c2w;
    return N / D;
}

void Crossover_Curve(double (&curve)[kCurvePoints], const FilterFields& fields, uint8_t ch,
                     bool highPass) {
    Curve_Noted_Filter(ch, highPass);
    const ParamImage& p = Param_Image;
    const double fc = p.filterFreq(fields, ch);
    if (p.filterOff(fields, ch) != 0) {
        for (double& v : curve)
            v = 0.0;
        return;
    }
    const int n = p.filterSlope(fields, ch) + 1;
    const int type = p.filterType(fields, ch);
    if (type > 2) return; // an unknown family leaves the curve as it was
    for (int i = 0; i < kCurvePoints; ++i) {
        const double r = highPass ? fc / Curve_Freq[i] : Curve_Freq[i] / fc;
        curve[i] = 20.0 * std::log10(Crossover_Magnitude(type, n, r));
    }
}

void Crossover_Calc(double (&curve)[kCurvePoints], const FilterFields& fields, uint8_t ch,
                    bool highPass, int& markerX, QLine& line) {
    const int fc = Param_Image.filterFreq(fields, ch);
    markerX = Freq_To_Pos(fc);
    const int x = Freq_To_Px(fc);
    line.setLine(x, kGraphTop, x, kLineBottom);
    Crossover_Curve(curve, fields, ch, highPass);
}

} // namespace

void Curve_Init() {
    Curve_Cache_Reset();
    for (int i = 0; i < kCurvePoints; ++i) {
        Curve_Freq[i] = Grid_Freq(i);
        Grid_Cos[i] = std::cos(Curve_Freq[i] * kRadPerHz);
        Grid_Cos2[i] = std::cos(2.0 * Curve_Freq[i] * kRadPerHz);
    }
    for (int ch = 0; ch < kCurveChannels; ++ch) {
        for (int i = 0; i < kCurvePoints; ++i) {
            Curve_EQ[ch][i] = 0.0;
            Curve_HPF[ch][i] = 0.0;
            Curve_LPF[ch][i] = 0.0;
            Curve_Points[ch][i] = QPoint(Freq_To_Px(Curve_Freq[i]), Db_To_Py(0.0));
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

Biquad EQ_Band_Section(int g, double f0, int q) {
    // A Q byte of 0 is no filter the unit can hold; drawn as the widest Q, not as NaN.
    return Peak_Section((g - 120) / 10.0, f0, (q < 1 ? 1 : q) / 10.0);
}

// The peaking filter of the audio-EQ cookbook, normalised by a0.
Biquad Peak_Section(double gainDb, double f0, double Q) {
    const double A = std::pow(10.0, gainDb / 40.0);
    const double w0 = f0 * kRadPerHz;
    const double alpha = std::sin(w0) / (2.0 * Q);
    const double c = std::cos(w0);
    const double a0 = 1.0 + alpha / A;
    Biquad b;
    b.b0 = (1.0 + alpha * A) / a0;
    b.b1 = -2.0 * c / a0;
    b.b2 = (1.0 - alpha * A) / a0;
    b.a1 = b.b1;
    b.a2 = (1.0 - alpha / A) / a0;
    return b;
}

double Peaking_Db(double gainDb, double f0, double Q, double f) {
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

double Section_Power(const Biquad& s, double f) {
    return Power_At(s, std::cos(f * kRadPerHz), std::cos(2.0 * f * kRadPerHz));
}

void EQ_Sections_Of(uint8_t ch, Biquad (&sections)[kEqSections]) {
    const ParamImage& p = Param_Image;
    for (int b = 0; b < kBands; ++b) {
        // Typed gains below -12 dB are stored as 16-bit two's complement: read them signed.
        sections[b] = EQ_Band_Section(p.EQ_Gain_Signed(ch, b), p.EQ_Freq(ch, b), p.EQ_Q(ch, b));
    }
}

void EQ_Curve_Calc(uint8_t ch) {
    Curve_Noted_EQ(ch);
    EQ_Sections_Of(ch, EQ_Section);
    // Flat bands are exactly 1 everywhere: leave them out of the product.
    int active[kEqSections];
    int count = 0;
    for (int b = 0; b < kBands; ++b)
        if (Param_Image.EQ_Gain_Signed(ch, b) != kGainFlat) active[count++] = b;

    // The sum of the sections' dB is taken as one log of their product: a band lies within
    // 10^+-4 (+-40 dB), so 31 of them cannot overflow, and one log per point instead of 31 keeps a
    // drag step well inside its time budget.
    double* row = Curve_EQ[ch];
    for (int i = 0; i < kCurvePoints; ++i) {
        double product = 1.0;
        for (int k = 0; k < count; ++k)
            product *= Power_At(EQ_Section[active[k]], Grid_Cos[i], Grid_Cos2[i]);
        row[i] = count == 0 ? 0.0 : 10.0 * std::log10(product);
    }
}

double Crossover_Magnitude(int type, int n, double r) {
    if (type < 0 || type > 2 || n < 1 || n > 8) return -1.0;
    // Linkwitz-Riley is a squared Butterworth of half the order; an odd order has no such
    // square, and the unit's odd Linkwitz-Riley slopes are drawn as the Butterworth of that order.
    if (type == 1 && n % 2 == 0) return 1.0 / (1.0 + std::pow(r, n));
    if (type == 2) return Bessel_Magnitude(n, r);
    return 1.0 / std::sqrt(1.0 + std::pow(r, 2 * n));
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

double Curve_Db(uint8_t ch, int i) {
    return Curve_EQ[ch][i] + Curve_HPF[ch][i] + Curve_LPF[ch][i];
}

void Curve_Points_Update(uint8_t ch) {
    Curve_Noted_Points(ch);
    for (int i = 0; i < kCurvePoints; ++i)
        Curve_Points[ch][i].setY(Db_To_Py(Curve_Db(ch, i)));
}

double Curve_Db_At_X(uint8_t ch, double x) {
    return Curve_Db_At_X(kBaseScale, ch, x);
}

double Curve_Db_At_X(const GraphScale& scale, uint8_t ch, double x) {
    // Grid point i lies at x = xLow + i * columns / 127 (graph/scale.h).
    double t = (x - scale.xLow()) * (kCurvePoints - 1) / scale.columns();
    if (t <= 0.0) return Curve_Db(ch, 0);
    if (t >= kCurvePoints - 1) return Curve_Db(ch, kCurvePoints - 1);
    const int i = static_cast<int>(t);
    t -= i;
    return Curve_Db(ch, i) * (1.0 - t) + Curve_Db(ch, i + 1) * t;
}

double Channel_Level_Db(uint8_t ch, double f) {
    Biquad sections[kEqSections];
    EQ_Sections_Of(ch, sections);
    double product = 1.0;
    for (const Biquad& s : sections)
        product *= Section_Power(s, f);
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
    return Freq_To_Pos(kBaseScale, f);
}

int Pos_To_Freq(int X) {
    return Pos_To_Freq(kBaseScale, X);
}

int Freq_To_Pos(const GraphScale& scale, double f) {
    return scale.freqToPx(f) - kMarkerCentre;
}

int Pos_To_Freq(const GraphScale& scale, int X) {
    const double f = std::floor(scale.pxToFreq(X + kMarkerCentre) + 0.5);
    if (f >= kFreqMax) return kFreqMax;
    if (f <= kFreqMin) return kFreqMin;
    return static_cast<int>(f);
}

} // namespace tarn
