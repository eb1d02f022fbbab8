#include "serial/usb_port_info.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

void ReadLine(const fs::path& file, std::string& value) {
    std::ifstream stream(file);
    std::string line;
    if (std::getline(stream, line) && !line.empty()) {
        value = line;
    }
}

// The nearest folder at or above `start`, inside `root`, that describes a USB
// device (it has idVendor): the port's own folder is an interface or a
// usb-serial port below it.
fs::path UsbDeviceFolder(const fs::path& start, const fs::path& root) {
    std::error_code error;
    for (fs::path folder = start; !folder.empty() && folder != folder.root_path();
         folder = folder.parent_path()) {
        if (folder == root) {
            break;
        }
        if (fs::exists(folder / "idVendor", error)) {
            return folder;
        }
    }
    return {};
}

}  // namespace

UsbPortInfo ReadUsbPortInfo(const std::string& sysRoot, const std::string& ttyName) {
    UsbPortInfo info;
    std::error_code error;
    const fs::path root = fs::weakly_canonical(sysRoot, error);
    const fs::path device =
        fs::canonical(fs::path(sysRoot) / "class/tty" / ttyName / "device", error);
    if (error) {
        return info;
    }
    const fs::path driver = fs::read_symlink(device / "driver", error);
    if (!error) {
        info.driver = driver.filename().string();
    }
    const fs::path usb = UsbDeviceFolder(device, root);
    if (usb.empty()) {
        return info;
    }
    ReadLine(usb / "idVendor", info.vendorId);
    ReadLine(usb / "idProduct", info.productId);
    ReadLine(usb / "manufacturer", info.manufacturer);
    ReadLine(usb / "product", info.product);
    return info;
}
