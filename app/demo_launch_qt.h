#pragma once

#include <memory>

#include "app/launch_options.h"

class TForm1;

// The built-in simulated dosimeter of --demo: over a pseudo-terminal on Linux,
// over a line in memory on Windows (sim/demo_device.h).
class DemoLaunch {
  public:
    DemoLaunch();
    ~DemoLaunch();
    DemoLaunch(const DemoLaunch&) = delete;
    DemoLaunch& operator=(const DemoLaunch&) = delete;

    // Before the window reads its port table, so that the demo's port folder
    // is in place; false, with a message on standard error, when the demo
    // was asked for and cannot run.
    bool Prepare(const LaunchOptions& launch);

    // Plugs the device in a moment after the window's first port-list refresh,
    // which records the ports present at start: so it is found as a device
    // plugged in while the program runs, however slowly the start went.
    void StartAfterFirstScan(TForm1& form);

  private:
    struct Device;
    std::unique_ptr<Device> device_;
};
