#pragma once

#include <cstdint>
#include <string>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "base/tick_clock.h"
#include "protocol/commands.h"
#include "protocol/device_link.h"
#include "protocol/link_port.h"
#include "serial/port_table.h"

struct DeviceStackOptions {
    PortTableConfig ports = PortTableConfig::FromEnvironment();
    TickClock clock = SystemTicks;
    StopSignal* stop = nullptr;  // null: nothing ends the waits early
    Dialogs* dialogs = nullptr;  // null: failures show no box
    AppLog* log = nullptr;       // null: nothing is logged
    // A line in the log for every request sent again. The window's log keeps
    // its fixed form; dravo-cli shows these lines under -v.
    bool logRetries = false;
};

// The whole device stack over one port: port, transport and command set,
// wired together and torn down in the right order.
class DeviceStack {
  public:
    explicit DeviceStack(DeviceStackOptions options = {});
    ~DeviceStack();
    DeviceStack(const DeviceStack&) = delete;
    DeviceStack& operator=(const DeviceStack&) = delete;

    // Opens COM<portNumber> through the port table at 230400 baud.
    bool Open(int portNumber);
    // Opens a device path directly (reported as COM<portNumber> in the log).
    bool OpenPath(const std::string& devicePath, int portNumber = 1);
    void Close();

    LinkPort& Port() { return port_; }
    DeviceLink& Link() { return link_; }
    DeviceCommands& Commands() { return commands_; }

  private:
    LinkPort port_;
    DeviceLink link_;
    DeviceCommands commands_;
};
