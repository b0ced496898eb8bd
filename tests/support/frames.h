// Command payloads written out by hand, byte for byte, for comparing with what the unit received.
#pragma once

#include <QByteArray>

namespace tarn::test {

// 05 08: a band with its gain in the PC encoding (the unit receives it + 120).
QByteArray bandFrame(int ch, int band, int freq, int gain, int q);
// 05 06 (high-pass) or 05 07 (low-pass).
QByteArray filterFrame(bool lowPass, int ch, int type, int freq, int slope, int off);

} // namespace tarn::test
