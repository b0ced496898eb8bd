// Whether the unit can be reached: after an open attempt fails, the bus is asked whether a unit
// with the unit's IDs is there at all. A unit that is there but cannot be opened almost always
// means the user has no access to its hidraw node (no udev rule), which the user can fix.
// Window-free: the window learns of a change through `changed` and decides what to show.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarn {

enum class UnitAccess : uint8_t {
    Unknown, // no open attempt yet
    Absent,  // no unit with the unit's IDs on the bus
    Locked,  // on the bus, but opening it failed
    Opened,
    InUse, // on the bus, but another program of ours holds it (see UnitClaim)
};

class DeviceAccess {
  public:
    // After every attempt to open the unit, with its result: Absent when the bus listed none,
    // Locked when one was listed but opening it failed (hid_error still tells why), InUse when
    // another program holds it (holder names that program), or Opened.
    void Note_Open_Attempt(UnitAccess result, const QString& holder = QString());

    UnitAccess state() const { return state_; }
    const QString& detail() const { return detail_; } // hid_error's text, or the holder
    void reset() { *this = DeviceAccess{}; }

    // Called when the state changes; tellUser is set the first time a unit attached to the bus
    // turns out to be locked or in use (once per attachment: an unplug starts a new one).
    std::function<void(bool tellUser)> changed;

  private:
    UnitAccess state_ = UnitAccess::Unknown;
    QString detail_;
    bool toldForAttachment_ = false;
};

// One unit on the bus and whether this program may open it now.
struct UnitProbe {
    std::string path;
    UnitAccess access = UnitAccess::Unknown; // Opened, Locked or InUse
    QString detail;                          // hid_error's text, or the program holding it
};
// Every unit with the unit's IDs, each opened and closed again at once (nothing is sent); a unit
// held by another program of ours is not opened. Leaves the link's DeviceAccess alone.
std::vector<UnitProbe> Probe_Units();

} // namespace tarn
