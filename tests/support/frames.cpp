#include "tests/support/frames.h"

namespace tarn::test {

QByteArray bandFrame(int ch, int band, int freq, int gain, int q) {
    const auto unit = static_cast<uint16_t>(gain + 120);
    const char bytes[] = {0x05,
                          0x08,
                          char(ch),
                          char(band),
                          char(freq & 0xFF),
                          char(freq >> 8),
                          char(unit & 0xFF),
                          char(unit >> 8),
                          char(q)};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray filterFrame(bool lowPass, int ch, int type, int freq, int slope, int off) {
    const char bytes[] = {0x05,
                          char(lowPass ? 0x07 : 0x06),
                          char(ch),
                          char(type),
                          char(freq & 0xFF),
                          char(freq >> 8),
                          char(slope),
                          char(off)};
    return QByteArray(bytes, sizeof bytes);
}

} // namespace tarn::test
