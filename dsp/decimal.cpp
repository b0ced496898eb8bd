#include "dsp/decimal.h"

#include <charconv>
#include <cmath>

namespace tarn {

bool Read_Decimal(const char* text, int size, bool commaDecimal, double& out) {
    // Longer than any number a program writes; the copy below is a fixed buffer.
    constexpr int kMaxChars = 64;
    if (size <= 0 || size > kMaxChars) return false;
    char plain[kMaxChars];
    int n = 0;
    int i = 0;
    const auto digits = [&] {
        const int start = i;
        while (i < size && text[i] >= '0' && text[i] <= '9')
            plain[n++] = text[i++];
        return i - start;
    };
    if (text[i] == '+')
        ++i; // from_chars takes no '+'
    else if (text[i] == '-')
        plain[n++] = text[i++];
    int mantissa = digits();
    if (i < size && (text[i] == '.' || (commaDecimal && text[i] == ','))) {
        plain[n++] = '.';
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < size && (text[i] == 'e' || text[i] == 'E')) {
        plain[n++] = text[i++];
        if (i < size && (text[i] == '+' || text[i] == '-')) plain[n++] = text[i++];
        if (digits() == 0) return false;
    }
    if (i != size) return false;
    // from_chars reads the same whatever the process locale says a decimal point is.
    double v = 0;
    const std::from_chars_result r = std::from_chars(plain, plain + n, v);
    if (r.ec != std::errc() || r.ptr != plain + n || !std::isfinite(v)) return false;
    out = v;
    return true;
}

} // namespace tarn
