// The serial devices of this machine, as sysfs describes them: a device path
// to pick in a list, and what is behind it (driver; USB ids and strings for
// an adapter). Read from sysfs directly rather than through libudev: the
// same facts, no further library, and a fake tree in a folder serves the
// tests.
#pragma once

#include <string>
#include <vector>

namespace kvt {

struct SerialPortInfo {
    std::string path;          // /dev/serial/by-id/... where it exists, else device
    std::string device;        // /dev/ttyUSB0
    std::string driver;        // ftdi_sio, cdc_acm, serial, ...
    std::string usbId;         // "0403:6001"; "" when not a USB device
    std::string manufacturer;  // USB strings, where the device has them
    std::string product;

    // "ftdi_sio, USB 0403:6001 FTDI FT232R USB UART"
    std::string Describe() const;
};

// Every tty with a device behind it, sorted by device; built-in ttyS ports
// without hardware (platform devices of the 8250 driver) are left out.
// sysRoot and devRoot are "/sys" and "/dev" but for tests.
std::vector<SerialPortInfo> DiscoverSerialPorts(const std::string& sysRoot = "/sys",
                                                const std::string& devRoot = "/dev");

}  // namespace kvt
