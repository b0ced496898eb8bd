// Building the outgoing frame and writing it to the unit.
#include "app/notice.h"
#include "i18n/text.h"
#include "link/frame.h"
#include "link/link_state.h"

#include <QDebug>
#include <hidapi.h>

namespace tarn {

namespace {

bool payloadFits(int n) {
    if (n >= 0 && n <= kMaxPayload) return true;
    qWarning() << "refusing a payload of" << n << "bytes";
    return false;
}

void buildAndWrite(const uint8_t* payload, int n) {
    auto& r = Link.Tx_Report;
    r[0] = 0x00;
    r[1] = 0x20;
    r[2] = kStartMarker;
    r[3] = kDirToUnit;
    r[4] = Link.Tx_Seq;
    r[5] = static_cast<uint8_t>(n);
    unsigned sum = kStartMarker + kDirToUnit + Link.Tx_Seq + static_cast<unsigned>(n);
    for (int i = 0; i < n; ++i) {
        r[6 + i] = payload[i];
        sum += payload[i];
    }
    r[6 + n] = static_cast<uint8_t>(sum);
    r[7 + n] = kEndMarker;
    ++Link.Tx_Seq;

    if (!Link.Hid_Handle) return;
    if (hid_write(Link.Hid_Handle, r.data(), r.size()) < 0) {
        Link.Online = 0;
        Link.Disconnect_Pending = 1;
        if (Link.writeFailureHandler) Link.writeFailureHandler();
        Show_Notice(txt::CommError);
    }
}

} // namespace

void Send_Frame(const uint8_t* payload, int n) {
    Link.Idle_Count = kIdleTicksAfterSend;
    if (!payloadFits(n)) return;
    if (Link.Send_Suppressed) return;
    if (Link.Readback_Active && n > 0 && payload[0] == 0x05) return;
    buildAndWrite(payload, n);
}

void Send_Frame_Raw(const uint8_t* payload, int n) {
    if (!payloadFits(n)) return;
    buildAndWrite(payload, n);
}

} // namespace tarn
