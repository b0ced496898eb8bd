// The hidapi C API over the simulated unit. Linked instead of the system's hidapi by the demo,
// the tests and the benchmarks.
//
// Contract kept from hidapi: byte 0 of a write is the report ID; hid_write returns the bytes
// written or -1; hid_read / hid_read_timeout return the report length, 0 when nothing came, -1 on
// failure; hid_error never returns NULL. One difference: a read that finds nothing on its way
// returns 0 at once, also hid_read and hid_read_timeout(-1), which block on real hardware. With an
// answer latency set, a read waits for an answer that is on its way, up to its time-out (on a
// test's clock it does not wait). hid_enumerate lists every unit plugged in, the first unit first;
// hid_open takes the first listed, hid_open_path the one named.
#include <hidapi.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <set>
#include <string>

#include "sim/unit_sim.h"

struct hid_device_ {
    int unit;
    int port;
};

namespace {

std::set<hid_device*>& liveHandles() {
    static std::set<hid_device*> handles;
    return handles;
}

std::wstring& globalError() {
    static std::wstring text = L"Success";
    return text;
}

bool live(hid_device* dev) {
    return dev && liveHandles().count(dev) != 0;
}

wchar_t* copyWide(const wchar_t* text) {
    const std::size_t n = std::wcslen(text) + 1;
    auto* out = static_cast<wchar_t*>(std::malloc(n * sizeof(wchar_t)));
    if (out) std::wmemcpy(out, text, n);
    return out;
}

hid_device* openUnit(int index) {
    const int port = sim::unit(index).openPort();
    if (port < 0) {
        // The wording of the hidraw backend for each case.
        globalError() =
            sim::unit().plugged()
                ? L"Failed to open a device with path 'sim:1a86:e010': Permission denied"
                : L"No HID devices with requested VID/PID found in the system.";
        return nullptr;
    }
    auto* dev = new hid_device_{index, port};
    liveHandles().insert(dev);
    globalError() = L"Success";
    return dev;
}

} // namespace

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void) {
    sim::unit().noteInit();
    globalError() = L"Success";
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_exit(void) {
    sim::unit().noteExit();
    globalError() = L"Success";
    return 0;
}

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                  unsigned short product_id) {
    const bool match = (vendor_id == 0 || vendor_id == sim::kVendorId) &&
                       (product_id == 0 || product_id == sim::kProductId);
    hid_device_info* first = nullptr;
    hid_device_info** tail = &first;
    for (int i = 0; match && i < sim::kMaxUnits; ++i) {
        if (!sim::unit(i).plugged()) continue;
        auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
        if (!info) break;
        const char* path = sim::unitPath(i);
        info->path = static_cast<char*>(std::malloc(std::strlen(path) + 1));
        if (info->path) std::strcpy(info->path, path);
        info->vendor_id = sim::kVendorId;
        info->product_id = sim::kProductId;
        info->serial_number = copyWide(sim::unit(i).serial().c_str());
        info->manufacturer_string = copyWide(L"Simulated unit");
        info->product_string = copyWide(L"Six-channel DSP");
        info->interface_number = 0;
        info->bus_type = HID_API_BUS_USB;
        *tail = info;
        tail = &info->next;
    }
    globalError() = first ? L"Success" : L"No HID devices found in the system.";
    return first;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs) {
    while (devs) {
        hid_device_info* next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open(unsigned short vendor_id,
                                                 unsigned short product_id,
                                                 const wchar_t* serial_number) {
    // The unit has no serial number, so asking for one finds nothing.
    if (vendor_id != sim::kVendorId || product_id != sim::kProductId ||
        (serial_number && *serial_number)) {
        globalError() = L"No HID devices with requested VID/PID found in the system.";
        return nullptr;
    }
    // The first unit listed, as a real enumeration would give it.
    for (int i = 0; i < sim::kMaxUnits; ++i) {
        if (sim::unit(i).plugged()) return openUnit(i);
    }
    return openUnit(0); // fails, and counts the failed open
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open_path(const char* path) {
    for (int i = 0; path && i < sim::kMaxUnits; ++i) {
        if (std::strcmp(path, sim::unitPath(i)) == 0) return openUnit(i);
    }
    globalError() = L"No such device";
    return nullptr;
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev) {
    if (!live(dev)) return;
    sim::unit(dev->unit).closePort(dev->port);
    liveHandles().erase(dev);
    delete dev;
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device* dev, const unsigned char* data,
                                          size_t length) {
    if (!live(dev)) {
        globalError() = L"Invalid device handle";
        return -1;
    }
    return sim::unit(dev->unit).writePort(dev->port, data, length);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device* dev, unsigned char* data,
                                                 size_t length, int milliseconds) {
    if (!live(dev)) {
        globalError() = L"Invalid device handle";
        return -1;
    }
    return sim::unit(dev->unit).readPort(dev->port, data, length, milliseconds);
}

int HID_API_EXPORT HID_API_CALL hid_read(hid_device* dev, unsigned char* data, size_t length) {
    return hid_read_timeout(dev, data, length, -1);
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device* dev, int nonblock) {
    if (!live(dev)) {
        globalError() = L"Invalid device handle";
        return -1;
    }
    sim::unit(dev->unit).setNonblocking(dev->port, nonblock != 0);
    return 0;
}

HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device* dev) {
    if (live(dev)) {
        if (const wchar_t* text = sim::unit(dev->unit).portError(dev->port)) return text;
    }
    return globalError().c_str();
}

} // extern "C"
