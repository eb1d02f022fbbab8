#include "serial/port_table.h"

#include <windows.h>

#include <algorithm>

#include "base/wide_text.h"
#include "serial/memory_line.h"
#include "serial/port_list.h"

namespace {

// A value of the system's serial port key: the device's name and the port's.
struct SerialCommValue {
    std::string device;  // \Device\Serial0, \Device\USBSER000, ...
    std::string port;    // COM3, COM12, or whatever else a driver put there
};

// Every value of the key, in the registry's order.
std::vector<SerialCommValue> SerialCommValues() {
    std::vector<SerialCommValue> data;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return data;
    }
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         &longestName, &longestData, nullptr, nullptr) == ERROR_SUCCESS) {
        values = std::min<DWORD>(values, PortList::kCapacity);
        std::wstring name(longestName + 1, L'\0');
        std::wstring text(longestData / sizeof(wchar_t) + 1, L'\0');
        for (DWORD index = 0; index < values; ++index) {
            DWORD nameLength = longestName + 1;
            DWORD dataBytes = longestData;
            DWORD type = 0;
            const LONG result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                              reinterpret_cast<BYTE*>(text.data()), &dataBytes);
            if (result == ERROR_NO_MORE_ITEMS) {
                break;
            }
            // An unreadable or non-text value is an entry that names no port.
            const std::wstring device(name.data(), std::min(nameLength, longestName));
            std::wstring value;
            if (result == ERROR_SUCCESS && type == REG_SZ) {
                value.assign(text.data(), dataBytes / sizeof(wchar_t));
                value.resize(value.find(L'\0') == std::wstring::npos ? value.size()
                                                                     : value.find(L'\0'));
            }
            data.push_back({Utf8FromWide(device), Utf8FromWide(value)});
        }
    }
    RegCloseKey(key);
    return data;
}

}  // namespace

// Windows names its ports itself; the port folder is a Linux affair.
PortTableConfig PortTableConfig::FromEnvironment() {
    PortTableConfig config;
    config.devDir.clear();
    config.sysClassTty.clear();
    return config;
}

std::vector<PortEntry> EnumeratePorts(const PortTableConfig& config) {
    std::vector<PortEntry> ports;
    for (const SerialCommValue& value :
         config.systemPorts ? SerialCommValues() : std::vector<SerialCommValue>{}) {
        const int number = PortList::ParsePortNumber(value.port);
        if (PortList::NamesComPort(value.port) && number > 0) {
            ports.push_back({number, *PortDevicePath(config, number), value.device});
        }
    }
    for (const int number : memory_ports::Numbers()) {
        ports.push_back({number, memory_ports::PathOf(number)});
    }
    return ports;
}

std::vector<std::string> EnumeratePortNames(const PortTableConfig& config) {
    std::vector<std::string> names;
    if (config.systemPorts) {
        for (const SerialCommValue& value : SerialCommValues()) {
            names.push_back(value.port);
        }
    }
    for (const int number : memory_ports::Numbers()) {
        names.push_back("COM" + std::to_string(number));
    }
    return names;
}

std::optional<std::string> PortDevicePath(const PortTableConfig&, int number) {
    const std::vector<int> inMemory = memory_ports::Numbers();
    if (std::find(inMemory.begin(), inMemory.end(), number) != inMemory.end()) {
        return memory_ports::PathOf(number);
    }
    return "\\\\.\\COM" + std::to_string(number);
}

bool IsUsbSerialPort(const PortEntry& port) {
    const std::string builtIn = "\\Device\\Serial";
    return !port.systemName.empty() && port.systemName.rfind(builtIn, 0) != 0;
}
