#include "dsp/decimal.h"

#include <QStringDecoder>
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

bool readGroupedDecimal(const char* text, int size, char group, double& out) {
    const char mark = group == ',' ? '.' : ',';
    constexpr int kMaxChars = 64;
    if (size <= 0 || size > kMaxChars) return false;
    char plain[kMaxChars];
    int n = 0;
    int i = 0;
    const auto isDigit = [&](int at) { return at < size && text[at] >= '0' && text[at] <= '9'; };
    if (text[i] == '+' || text[i] == '-') plain[n++] = text[i++];
    if (!isDigit(i) || text[i] == '0') return false;
    int lead = 0;
    while (isDigit(i) && lead < 4) {
        plain[n++] = text[i++];
        ++lead;
    }
    if (lead > 3) return false;
    int groups = 0;
    while (i < size && text[i] == group) {
        if (!isDigit(i + 1) || !isDigit(i + 2) || !isDigit(i + 3) || isDigit(i + 4)) return false;
        for (int k = 1; k <= 3; ++k)
            plain[n++] = text[i + k];
        i += 4;
        ++groups;
    }
    if (groups == 0) return false;
    if (i < size && text[i] == mark) {
        plain[n++] = '.';
        ++i;
        if (!isDigit(i)) return false;
        while (isDigit(i))
            plain[n++] = text[i++];
    }
    return i == size && Read_Decimal(plain, n, false, out);
}

QByteArray utf8Text(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return bytes.mid(3);
    const bool little = bytes.startsWith("\xFF\xFE");
    if (!little && !bytes.startsWith("\xFE\xFF")) return bytes;
    // The mark is taken off here, so the decoder is told the byte order rather than finding it.
    QStringDecoder decode(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                          QStringDecoder::Flag::Stateless);
    const QString text = decode(QByteArrayView(bytes.constData() + 2, bytes.size() - 2));
    return text.toUtf8();
}

} // namespace tarn
