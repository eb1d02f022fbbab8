#pragma once

#include <optional>
#include <string>
#include <vector>

// The machine's serial ports as (number, device path). On Linux /dev/ttyS<n> is
// COM<n+1>, /dev/ttyUSB<n> COM<n+33>, /dev/ttyACM<n> COM<n+65>; every entry
// "COM<n>" of the folder named by DRAVO_PORT_DIR is port n as well (a symlink to
// a device: this is how tests and the demo plug a device in).
struct PortEntry {
    int number = 0;
    std::string path;
    // Windows: the registry's name of the port's device, such as
    // \Device\USBSER000; empty on Linux, where the path tells.
    std::string systemName{};
};

struct PortTableConfig {
    std::string portDir;      // empty: none
    bool systemPorts = true;  // scan /dev for ttyS/ttyUSB/ttyACM
    std::string devDir = "/dev";
    std::string sysClassTty = "/sys/class/tty";

    // DRAVO_PORT_DIR names the port folder; DRAVO_NO_SYSTEM_PORTS=1 leaves /dev out.
    static PortTableConfig FromEnvironment();
};

// System ports first, ascending, then the port folder's entries, ascending.
std::vector<PortEntry> EnumeratePorts(const PortTableConfig& config);

// The enumeration as "COM<n>" texts, the form the port list parses.
std::vector<std::string> EnumeratePortNames(const PortTableConfig& config);

// The device path of port `number`; the port folder wins over /dev.
std::optional<std::string> PortDevicePath(const PortTableConfig& config, int number);

// Whether the port is a USB serial adapter or modem, as the dosimeter is:
// ttyUSB<n> or ttyACM<n> (also behind a link of the port folder) on Linux;
// on Windows any port whose device is not a built-in \Device\Serial<n>.
bool IsUsbSerialPort(const PortEntry& port);
