#include "dsp/response.h"

#include "dsp/scale.h"

#include "model/param_image.h"

#include <cmath>

namespace tarn {

namespace {

constexpr double kGridStep = 0.054391773850253046; // ln(1000) / 127
constexpr double kGridStart = 2.995732273553991;   // ln(20)

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

} // namespace

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
    return Section_Power_Cos(s, std::cos(f * kRadPerHz), std::cos(2.0 * f * kRadPerHz));
}

void EQ_Sections_Of(uint8_t ch, Biquad (&sections)[kEqSections]) {
    const ParamImage& p = Param_Image;
    for (int b = 0; b < kBands; ++b) {
        // Typed gains below -12 dB are stored as 16-bit two's complement: read them signed.
        sections[b] = EQ_Band_Section(p.EQ_Gain_Signed(ch, b), p.EQ_Freq(ch, b), p.EQ_Q(ch, b));
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
