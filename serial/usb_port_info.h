#pragma once

#include <string>

// What the device model (sysfs) tells about the hardware behind a tty; every
// field is "unknown" where it could not be learned (no USB device, a
// pseudo-terminal, an unreadable sysfs).
struct UsbPortInfo {
    std::string vendorId = "unknown";   // four hex digits, "0403"
    std::string productId = "unknown";  // "6001"
    std::string manufacturer = "unknown";
    std::string product = "unknown";
    std::string driver = "unknown";  // the kernel driver bound to the port, "ftdi_sio"
};

// `ttyName` is the device's name in /dev ("ttyUSB0"); the facts are read below
// <sys>/class/tty/<ttyName>/device and its USB ancestors.
UsbPortInfo ReadUsbPortInfo(const std::string& sysRoot, const std::string& ttyName);
