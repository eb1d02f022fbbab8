#pragma once

#include <memory>
#include <string>

#include "sim/simulated_device.h"

// The simulated dosimeter of `dravo-explorer --demo`: a K310 with a few days of
// history, plugged in a moment after it is started, so that the automatic scan
// finds it the way it finds a real device plugged in while the program runs.
// On Linux it is a pseudo-terminal in a private port folder; on Windows a line
// in memory. The folder and the device are gone when the object is.
class DemoDevice {
  public:
    static constexpr int kPortNumber = 7;
    // The program starts it once its first port-list refresh is done (about a
    // second after start); the device follows half a second later.
    static constexpr unsigned kPlugInDelayMs = 500;

    DemoDevice() = default;
    ~DemoDevice();
    DemoDevice(const DemoDevice&) = delete;
    DemoDevice& operator=(const DemoDevice&) = delete;

    // Linux: makes the private port folder under the temporary directory and
    // points DRAVO_PORT_DIR at it; call before the program reads its port table.
    bool PreparePortFolder();
    // Starts the device; it plugs itself in after kPlugInDelayMs.
    void Start();

    const std::string& PortFolder() const { return portDir_; }
    SimulatedDevice* Device() const { return device_.get(); }

  private:
    std::string portDir_;
    std::unique_ptr<SimulatedDevice> device_;
};
