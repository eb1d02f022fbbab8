#include "serial/port_table.h"

#include <windows.h>

#include <algorithm>

#include "base/wide_text.h"
#include "serial/port_list.h"

namespace {

// The data of every value of the system's serial port key, in the registry's
// order: "COM3", "COM12", and whatever else a driver put there.
std::vector<std::string> SerialCommData() {
    std::vector<std::string> data;
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
            std::wstring value;
            if (result == ERROR_SUCCESS && type == REG_SZ) {
                value.assign(text.data(), dataBytes / sizeof(wchar_t));
                value.resize(value.find(L'\0') == std::wstring::npos ? value.size()
                                                                     : value.find(L'\0'));
            }
            data.push_back(Utf8FromWide(value));
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
    for (const std::string& name : EnumeratePortNames(config)) {
        const int number = PortList::ParsePortNumber(name);
        if (PortList::NamesComPort(name) && number > 0) {
            ports.push_back({number, *PortDevicePath(config, number)});
        }
    }
    return ports;
}

std::vector<std::string> EnumeratePortNames(const PortTableConfig& config) {
    return config.systemPorts ? SerialCommData() : std::vector<std::string>{};
}

std::optional<std::string> PortDevicePath(const PortTableConfig&, int number) {
    return "\\\\.\\COM" + std::to_string(number);
}
