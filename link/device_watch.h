// Arrivals and removals of HID devices, told without polling: a udev monitor on the "hidraw"
// subsystem whose socket a QSocketNotifier watches. Where no udev events can be had (containers,
// unusual setups) it stays inactive and the link's once-a-second look at the bus is all there is.
#pragma once

#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace tarn {

class DeviceWatch : public QObject {
    Q_OBJECT

  public:
    explicit DeviceWatch(QObject* parent = nullptr);
    ~DeviceWatch() override;
    bool active() const { return notifier_ != nullptr; }

  signals:
    void devicesChanged(); // a hidraw device was added or removed

  private:
    void readEvents();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tarn
