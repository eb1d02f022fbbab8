#include "serial/start_ports_notice.h"

#include <algorithm>

#include "base/language.h"

std::optional<std::string> StartPortsNotice(const std::vector<int>& startPorts,
                                            const std::vector<PortEntry>& ports) {
    std::vector<int> usb;
    for (const PortEntry& port : ports) {
        const bool atStart =
            std::find(startPorts.begin(), startPorts.end(), port.number) != startPorts.end();
        if (atStart && IsUsbSerialPort(port)) {
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
