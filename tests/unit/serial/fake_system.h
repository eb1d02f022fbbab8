#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "serial/system_roots.h"
#include "support/temp_dir.h"

// A /proc, /sys and /dev in a temporary folder, filled by the test.
class FakeSystem {
  public:
    FakeSystem() {
        roots.proc = dir_.Path() + "/proc";
        roots.sys = dir_.Path() + "/sys";
        roots.dev = dir_.Path() + "/dev";
        for (const auto* folder : {&roots.proc, &roots.sys, &roots.dev}) {
            std::filesystem::create_directories(*folder);
        }
    }

    std::string Device(const std::string& name) {
        const std::string path = roots.dev + "/" + name;
        Write(path, "");
        return path;
    }

    // A process with the given command name and descriptors open on `targets`.
    void Process(int pid, const std::string& name, const std::vector<std::string>& targets) {
        const std::string folder = roots.proc + "/" + std::to_string(pid);
        std::filesystem::create_directories(folder + "/fd");
        Write(folder + "/comm", name + "\n");
        int fd = 3;
        for (const auto& target : targets) {
            std::filesystem::create_symlink(target, folder + "/fd/" + std::to_string(fd++));
        }
    }

    // A process whose open files cannot be listed, as another user's without privileges.
    void HiddenProcess(int pid) {
        const std::string folder = roots.proc + "/" + std::to_string(pid);
        std::filesystem::create_directories(folder);
        Write(folder + "/comm", "hidden\n");
    }

    // A USB device with one interface; the tty sits below the interface (usb-serial)
    // or is the interface's own (cdc_acm), and `driver` is bound to that node.
    void UsbTty(const std::string& tty, const std::string& vendor, const std::string& product,
                const std::string& productName, const std::string& driver, bool belowInterface) {
        const std::string usb = roots.sys + "/devices/pci0000:00/usb1/1-" + tty;
        const std::string interface = usb + "/1-" + tty + ":1.0";
        const std::string node = belowInterface ? interface + "/" + tty : interface;
        std::filesystem::create_directories(node);
        Write(usb + "/idVendor", vendor + "\n");
        Write(usb + "/idProduct", product + "\n");
        Write(usb + "/manufacturer", "Maker\n");
        Write(usb + "/product", productName + "\n");
        const std::string drivers = roots.sys + "/bus/usb/drivers/" + driver;
        std::filesystem::create_directories(drivers);
        std::filesystem::create_symlink(drivers, node + "/driver");
        std::filesystem::create_directories(roots.sys + "/class/tty/" + tty);
        std::filesystem::create_symlink(node, roots.sys + "/class/tty/" + tty + "/device");
    }

    const std::string& Path() const { return dir_.Path(); }

    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path) << text;
    }

    SystemRoots roots;

  private:
    TempDir dir_;
};
