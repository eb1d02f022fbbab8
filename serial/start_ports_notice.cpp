#include "serial/start_ports_notice.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/language.h"

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

// A USB serial adapter or modem, as the dosimeter is: ttyUSB<n> or ttyACM<n>.
bool UsbSerialPort(const std::string& path) {
    const std::string name = LinkTarget(path).filename().string();
    for (const std::string prefix : {"ttyUSB", "ttyACM"}) {
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<std::string> StartPortsNotice(const std::vector<int>& startPorts,
                                            const std::vector<PortEntry>& ports) {
    std::vector<int> usb;
    for (const PortEntry& port : ports) {
        const bool atStart =
            std::find(startPorts.begin(), startPorts.end(), port.number) != startPorts.end();
        if (atStart && UsbSerialPort(port.path)) {
            usb.push_back(port.number);
        }
    }
    if (usb.empty()) {
        return std::nullopt;
    }
    std::sort(usb.begin(), usb.end());
    usb.erase(std::unique(usb.begin(), usb.end()), usb.end());
    std::string names;
    for (const int number : usb) {
        names += (names.empty() ? "COM" : ", COM") + std::to_string(number);
    }
    return PickText("Чтобы подключить прибор на ", "To connect the device on ") + names +
           PickText(
               ": отключите его и подключите снова или выберите его порт в меню "
               "Соединение, Вручную",
               ": unplug it and plug it in again, or choose its port under Connection, "
               "Manual");
}
