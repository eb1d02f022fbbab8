#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "base/operation_host.h"
#include "protocol/device_info.h"
#include "protocol/device_stack.h"

// What `--port` names: a port number (from "COM12" or "12") or a device path.
struct PortArgument {
    int number = 0;
    std::string path;
};
std::optional<PortArgument> ParsePortArgument(const std::string& text);

// A port of the machine and whether a dosimeter answers on it.
struct PortProbe {
    int number = 0;
    std::string path;
    bool opened = false;
    bool answers = false;
};

// The command line's link to one dosimeter: the same device stack, connection
// test and identification the window uses, with waits that only wait.
class CliSession {
  public:
    CliSession(AppLog& log, OperationHost& host, Dialogs& dialogs,
               PortTableConfig ports = PortTableConfig::FromEnvironment());

    // Every port of the machine, each opened and tested in turn.
    std::vector<PortProbe> ProbePorts();
    // Opens the port `--port` names, or the one port whose device answers when
    // it is empty. An exit status: kExitOk when a device answered; messages
    // go to standard error.
    int Connect(const std::string& portArgument);
    // Identifies the connected device; false with a message when it fails.
    bool Identify(DeviceInfo& info);
    // Connect, then Identify: an exit status, kExitOk when `info` is valid.
    int Open(const std::string& portArgument, DeviceInfo& info);
    // After a restart: opens the port Connect chose again and identifies the
    // device, quietly; true when it is back and recognised.
    bool Reconnect(DeviceInfo& info);

    DeviceStack& Stack() { return stack_; }
    int PortNumber() const { return portNumber_; }

  private:
    bool OpenAndTest(const PortArgument& port);

    AppLog& log_;
    PortTableConfig ports_;
    DeviceStack stack_;
    int portNumber_ = 0;
    PortArgument chosen_;
};
