#pragma once

// The simulated dosimeter plugged into a folder of its own, and the device
// stack opened on its port: what the benchmarks that read over a real
// pseudo-terminal start from.

#include <memory>
#include <string>

#include "protocol/device_stack.h"
#include "sim/simulated_device.h"
#include "support/temp_dir.h"

class SimOnStack {
  public:
    explicit SimOnStack(const SimOptions& options) : sim_(options) {
        if (!sim_.PlugIn(folder_.Path(), kPort)) {
            error_ = "cannot plug in the simulated device";
            return;
        }
        DeviceStackOptions stackOptions;
        stackOptions.ports.systemPorts = false;
        stackOptions.ports.portDir.clear();
        stack_ = std::make_unique<DeviceStack>(stackOptions);
        if (!stack_->OpenPath(sim_.PortPath(), kPort)) {
            error_ = "cannot open the port";
        }
    }

    // Empty when both are ready.
    const std::string& Error() const { return error_; }
    SimulatedDevice& Sim() { return sim_; }
    DeviceStack& Stack() { return *stack_; }

  private:
    static constexpr int kPort = 3;

    TempDir folder_;
    SimulatedDevice sim_;
    std::unique_ptr<DeviceStack> stack_;
    std::string error_;
};
