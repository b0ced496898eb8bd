#include "link/device_access.h"

#include "link/link_machine.h"

#include <hidapi.h>

namespace tarn {

DeviceAccess Device_Access;

UnitAccess Probe_Unit_Access(QString& why) {
    const wchar_t* error = hid_error(nullptr);
    why = error ? QString::fromWCharArray(error) : QString();
    hid_device_info* found = hid_enumerate(kVendorId, kProductId);
    const bool present = found != nullptr;
    hid_free_enumeration(found);
    return present ? UnitAccess::Locked : UnitAccess::Absent;
}

void DeviceAccess::Note_Open_Attempt(bool opened) {
    QString why;
    const UnitAccess now = opened ? UnitAccess::Opened : Probe_Unit_Access(why);
    if (now == UnitAccess::Absent) toldForAttachment_ = false;
    const bool tell = now == UnitAccess::Locked && !toldForAttachment_;
    if (tell) toldForAttachment_ = true;
    if (now == state_ && (now != UnitAccess::Locked || why == detail_)) return;
    state_ = now;
    detail_ = now == UnitAccess::Locked ? why : QString();
    if (changed) changed(tell);
}

} // namespace tarn
