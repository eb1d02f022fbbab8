#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "base/operation_host.h"
#include "cli/cli_commands.h"
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

// What a command asks of the identified device before it talks to it, as the
// window's pages do: the measurement and history pages' gate, the settings
// page's gate, or nothing more (the information, the restarts and the update,
// which is how old firmware gets current).
enum class DeviceGate { Identified, Pages, Settings };

// The command line's link to one dosimeter: the same device stack, connection
// test and identification the window uses, with waits that only wait.
class CliSession {
  public:
    explicit CliSession(CliContext& context,
                        PortTableConfig ports = PortTableConfig::FromEnvironment());

    // Every port of the machine, each opened and tested in turn.
    std::vector<PortProbe> ProbePorts();
    // Opens the port `--port` names, or the one port whose device answers when
    // it is empty. An exit status: kExitOk when a device answered; messages
    // go to standard error.
    int Connect(const std::string& portArgument);
    // Identifies the connected device; false with a message when it fails.
    bool Identify(DeviceInfo& info);
    // Connect, Identify, then the gate: an exit status, kExitOk when `info`
    // is valid and the gate allows; a refusal shows the gate's message and,
    // for old firmware, the commands that help.
    int Open(const std::string& portArgument, DeviceInfo& info, DeviceGate gate);
    // After a restart: opens the port Connect chose again and identifies the
    // device, quietly; true when it is back and recognised.
    bool Reconnect(DeviceInfo& info);

    DeviceStack& Stack() { return stack_; }
    int PortNumber() const { return portNumber_; }

  private:
    bool OpenAndTest(const PortArgument& port);
    bool Pass(DeviceGate gate, const DeviceInfo& info);

    AppLog& log_;
    Dialogs& dialogs_;
    CliReport& report_;
    PortTableConfig ports_;
    DeviceStack stack_;
    int portNumber_ = 0;
    PortArgument chosen_;
};
