#include "link/device_access.h"

#include <hidapi.h>

namespace tarn {

DeviceAccess Device_Access;

void DeviceAccess::Note_Open_Attempt(UnitAccess now) {
    QString why;
    if (now == UnitAccess::Locked) {
        const wchar_t* error = hid_error(nullptr);
        if (error) why = QString::fromWCharArray(error);
    }
    if (now == UnitAccess::Absent) toldForAttachment_ = false;
    const bool tell = now == UnitAccess::Locked && !toldForAttachment_;
    if (tell) toldForAttachment_ = true;
    if (now == state_ && (now != UnitAccess::Locked || why == detail_)) return;
    state_ = now;
    detail_ = now == UnitAccess::Locked ? why : QString();
    if (changed) changed(tell);
}

} // namespace tarn
