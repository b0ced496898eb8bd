// Whether the unit can be reached: after an open attempt fails, the bus is asked whether a unit
// with the unit's IDs is there at all. A unit that is there but cannot be opened almost always
// means the user has no access to its hidraw node (no udev rule), which the user can fix.
// Window-free: the window learns of a change through `changed` and decides what to show.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace tarn {

enum class UnitAccess : uint8_t {
    Unknown, // no open attempt yet
    Absent,  // no unit with the unit's IDs on the bus
    Locked,  // on the bus, but opening it failed
    Opened,
};

class DeviceAccess {
  public:
    // After every attempt to open the unit, with its result: Absent when the bus listed none,
    // Locked when one was listed but opening it failed (hid_error still tells why), or Opened.
    void Note_Open_Attempt(UnitAccess result);

    UnitAccess state() const { return state_; }
    const QString& detail() const { return detail_; } // hid_error's text while Locked
    void reset() { *this = DeviceAccess{}; }

    // Called when the state changes; tellUser is set the first time a unit attached to the bus
    // turns out to be locked (once per attachment: an unplug starts a new one).
    std::function<void(bool tellUser)> changed;

  private:
    UnitAccess state_ = UnitAccess::Unknown;
    QString detail_;
    bool toldForAttachment_ = false;
};

extern DeviceAccess Device_Access;

} // namespace tarn
