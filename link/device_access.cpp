#include "link/device_access.h"

#include "link/link_machine.h"
#include "link/unit_claim.h"

#include <hidapi.h>

namespace tarn {

void DeviceAccess::Note_Open_Attempt(UnitAccess now, const QString& holder) {
    QString why;
    if (now == UnitAccess::Locked) {
        const wchar_t* error = hid_error(nullptr);
        if (error) why = QString::fromWCharArray(error);
    } else if (now == UnitAccess::InUse) {
        why = holder;
    }
    if (now == UnitAccess::Absent) toldForAttachment_ = false;
    const bool refused = now == UnitAccess::Locked || now == UnitAccess::InUse;
    const bool tell = refused && !toldForAttachment_;
    if (tell) toldForAttachment_ = true;
    if (now == state_ && (!refused || why == detail_)) return;
    state_ = now;
    detail_ = why;
    if (changed) changed(tell);
}

std::vector<UnitProbe> Probe_Units() {
    std::vector<UnitProbe> units;
    hid_device_info* list = hid_enumerate(kVendorId, kProductId);
    for (hid_device_info* d = list; d; d = d->next)
        if (d->path) units.push_back({d->path, UnitAccess::Unknown, {}});
    hid_free_enumeration(list);
    for (UnitProbe& unit : units) {
        UnitClaim claim;
        if (!claim.take(unit.path)) {
            unit.access = UnitAccess::InUse;
            unit.detail = claim.holder();
            continue;
        }
        hid_device* handle = hid_open_path(unit.path.c_str());
        if (handle) {
            unit.access = UnitAccess::Opened;
            hid_close(handle);
        } else {
            unit.access = UnitAccess::Locked;
            const wchar_t* error = hid_error(nullptr);
            if (error) unit.detail = QString::fromWCharArray(error);
        }
    }
    return units;
}

} // namespace tarn
