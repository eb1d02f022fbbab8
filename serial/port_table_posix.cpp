#include "serial/port_table.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "serial/memory_line.h"
#include "serial/port_entry_check.h"

namespace fs = std::filesystem;

namespace {

// Where the links of the port folder lead; a few steps at most, in case of a loop.
fs::path LinkTarget(fs::path path) {
    for (int step = 0; step < 8; ++step) {
        std::error_code error;
        if (!fs::is_symlink(path, error)) {
            break;
        }
        const fs::path target = fs::read_symlink(path, error);
        if (error) {
            break;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

struct DeviceFamily {
    const char* prefix;
    int firstPort;
};

constexpr DeviceFamily kFamilies[] = {{"ttyS", 1}, {"ttyUSB", 33}, {"ttyACM", 65}};

std::optional<int> NumberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
        return std::nullopt;
    }
    int value = 0;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || value < 0) {
        return std::nullopt;
    }
    return value;
}

// /dev/ttyS0..31 exist on most machines whether or not there is a UART behind
// them; only those the kernel bound to a device are real ports.
bool HasDevice(const PortTableConfig& config, const std::string& name) {
    std::error_code error;
    return fs::exists(fs::path(config.sysClassTty) / name / "device", error);
}

void AddSystemPorts(const PortTableConfig& config, std::vector<PortEntry>& ports) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(config.devDir, error)) {
        const std::string name = entry.path().filename().string();
        for (const auto& family : kFamilies) {
            const auto index = NumberAfter(name, family.prefix);
            if (index && HasDevice(config, name)) {
                ports.push_back({*index + family.firstPort, entry.path().string()});
            }
        }
    }
}

void AddFolderPorts(const PortTableConfig& config, std::vector<PortEntry>& ports) {
    if (config.portDir.empty()) {
        return;
    }
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(config.portDir, error)) {
        const std::string name = entry.path().filename().string();
        const auto number = NumberAfter(name, "COM");
        if (number && !PortEntrySkipReason(entry.path().string())) {
            ports.push_back({*number, entry.path().string()});
        }
    }
}

void SortByNumber(std::vector<PortEntry>::iterator first, std::vector<PortEntry>::iterator last) {
    std::sort(first, last,
              [](const PortEntry& a, const PortEntry& b) { return a.number < b.number; });
}

}  // namespace

PortTableConfig PortTableConfig::FromEnvironment() {
    PortTableConfig config;
    if (const char* dir = std::getenv("DRAVO_PORT_DIR")) {
        config.portDir = dir;
    }
    if (const char* off = std::getenv("DRAVO_NO_SYSTEM_PORTS")) {
        config.systemPorts = std::string(off) != "1";
    }
    return config;
}

std::vector<PortEntry> EnumeratePorts(const PortTableConfig& config) {
    std::vector<PortEntry> ports;
    if (config.systemPorts) {
        AddSystemPorts(config, ports);
    }
    const auto systemCount = static_cast<std::ptrdiff_t>(ports.size());
    SortByNumber(ports.begin(), ports.begin() + systemCount);
    AddFolderPorts(config, ports);
    for (const int number : memory_ports::Numbers()) {
        ports.push_back({number, memory_ports::PathOf(number)});
    }
    SortByNumber(ports.begin() + systemCount, ports.end());
    return ports;
}

std::vector<std::string> EnumeratePortNames(const PortTableConfig& config) {
    std::vector<std::string> names;
    for (const auto& port : EnumeratePorts(config)) {
        names.push_back("COM" + std::to_string(port.number));
    }
    return names;
}

std::optional<std::string> PortDevicePath(const PortTableConfig& config, int number) {
    std::vector<PortEntry> ports = EnumeratePorts(config);
    // The folder's entries come last; search from the end so they win.
    const auto found = std::find_if(ports.rbegin(), ports.rend(), [number](const PortEntry& port) {
        return port.number == number;
    });
    if (found == ports.rend()) {
        return std::nullopt;
    }
    return found->path;
}

bool IsUsbSerialPort(const PortEntry& port) {
    const std::string name = LinkTarget(port.path).filename().string();
    for (const std::string prefix : {"ttyUSB", "ttyACM"}) {
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            return true;
        }
    }
    return false;
}
