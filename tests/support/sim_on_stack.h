#pragma once

// The simulated dosimeter plugged into a folder of its own, and the device
// stack opened on its port: what the tests and benchmarks that talk over a
// real pseudo-terminal start from.

#include <cstdint>
#include <string>
#include <utility>

#include "protocol/device_stack.h"
#include "sim/simulated_device.h"
#include "support/temp_dir.h"

class SimOnStack {
  public:
    // By the device's path, or by the port number through the port table over
    // the folder, as the program finds a device.
    enum class Opening { ByPath, ByPortTable };

    // Holds the device's live values still.
    static SimClock StoppedClock() {
        return [] { return std::uint64_t{0}; };
    }

    // The stack's stop, dialogs, log and clock come from `stackOptions`; its
    // ports are the folder's alone.
    explicit SimOnStack(const SimOptions& options, DeviceStackOptions stackOptions = {},
                        int port = 3, SimClock clock = {}, Opening opening = Opening::ByPath)
        : sim_(options, std::move(clock)), stack_(OwnPorts(std::move(stackOptions), opening)) {
        if (!sim_.PlugIn(folder_.Path(), port)) {
            error_ = "cannot plug in the simulated device: " + sim_.LastError();
            return;
        }
        const bool open =
            opening == Opening::ByPath ? stack_.OpenPath(sim_.PortPath(), port) : stack_.Open(port);
        if (!open) {
            error_ = "cannot open " + sim_.PortPath() + ": " + sim_.LastError();
        }
    }
    ~SimOnStack() {
        stack_.Close();
        sim_.Unplug();
    }

    // Empty when both are ready.
    const std::string& Error() const { return error_; }
    SimulatedDevice& Sim() { return sim_; }
    const SimulatedDevice& Sim() const { return sim_; }
    DeviceStack& Stack() { return stack_; }
    const std::string& Folder() const { return folder_.Path(); }

    // A parameter of the simulated device, read or set behind the program's back.
    std::uint32_t Parameter(std::uint16_t id) {
        return sim_.WithModel([id](DeviceModel& model) { return *model.Parameters().Get(id); });
    }
    void ForceParameter(std::uint16_t id, std::uint32_t value) {
        sim_.WithModel([id, value](DeviceModel& model) {
            model.Parameters().Force(id, value);
            return 0;
        });
    }

  private:
    DeviceStackOptions OwnPorts(DeviceStackOptions options, Opening opening) const {
        options.ports.systemPorts = false;
        options.ports.portDir = opening == Opening::ByPortTable ? folder_.Path() : std::string();
        return options;
    }

    TempDir folder_;
    SimulatedDevice sim_;
    DeviceStack stack_;
    std::string error_;
};
