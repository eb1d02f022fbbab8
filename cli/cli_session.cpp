#include "cli/cli_session.h"

#include <cctype>

#include "base/language.h"
#include "cli/cli_host.h"
#include "cli/exit_status.h"
#include "protocol/device_session.h"
#include "protocol/gate_inputs.h"
#include "protocol/identification.h"
#include "protocol/operation_gate.h"
#include "serial/port_list.h"
#include "serial/port_table.h"

namespace {

DeviceStackOptions StackOptions(AppLog& log, OperationHost& host, Dialogs& dialogs,
                                const PortTableConfig& ports) {
    DeviceStackOptions options;
    options.ports = ports;
    options.stop = &host.Stop();
    options.dialogs = &dialogs;
    options.log = &log;
    options.logRetries = true;
    return options;
}

std::string PortName(const PortArgument& port) {
    return port.path.empty() ? "COM" + std::to_string(port.number) : port.path;
}

// Where to look when the port is not the right one.
std::string PortsHint() {
    return PickText("\nПорты и где отвечает прибор: dravo-cli ports",
                    "\nThe ports and where a device answers: dravo-cli ports");
}

}  // namespace

std::optional<PortArgument> ParsePortArgument(const std::string& text) {
    if (text.find('/') != std::string::npos) {
        return PortArgument{1, text};
    }
    std::string digits = text;
    if (digits.size() > 3 &&
        (digits.compare(0, 3, "COM") == 0 || digits.compare(0, 3, "com") == 0)) {
        digits.erase(0, 3);
    }
    if (digits.empty() || digits.size() > 3) {
        return std::nullopt;
    }
    for (const char c : digits) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return std::nullopt;
        }
    }
    const int number = std::stoi(digits);
    if (number < 1) {
        return std::nullopt;
    }
    return PortArgument{number, {}};
}

CliSession::CliSession(CliContext& context, PortTableConfig ports)
    : log_(context.log),
      dialogs_(context.dialogs),
      report_(context.report),
      ports_(ports),
      stack_(StackOptions(context.log, context.host, context.dialogs, ports)) {}

std::vector<PortProbe> CliSession::ProbePorts() {
    std::vector<PortProbe> probes;
    for (const std::string& name : EnumeratePortNames(ports_)) {
        PortProbe probe;
        probe.number = PortList::ParsePortNumber(name);
        if (probe.number <= 0) {
            continue;
        }
        probe.path = PortDevicePath(ports_, probe.number).value_or("");
        probe.opened = stack_.Open(probe.number);
        probe.answers = probe.opened && DeviceSession::ConnectionTest(stack_.Commands()) == 1;
        stack_.Close();
        probes.push_back(probe);
    }
    return probes;
}

bool CliSession::OpenAndTest(const PortArgument& port) {
    const bool opened =
        port.path.empty() ? stack_.Open(port.number) : stack_.OpenPath(port.path, port.number);
    if (opened && DeviceSession::ConnectionTest(stack_.Commands()) == 1) {
        portNumber_ = port.number;
        chosen_ = port;
        return true;
    }
    stack_.Close();
    return false;
}

int CliSession::Connect(const std::string& portArgument) {
    if (!portArgument.empty()) {
        const auto port = ParsePortArgument(portArgument);
        if (!port) {
            dialogs_.Error(PickText("Неверный порт: ", "Bad port: ") + portArgument + PortsHint());
            return kExitUsage;
        }
        if (!OpenAndTest(*port)) {
            dialogs_.Error(PickText("Прибор не отвечает на порту ", "No device answers on port ") +
                           PortName(*port) + PortsHint());
            return kExitNoDevice;
        }
        return kExitOk;
    }
    std::vector<PortProbe> answering;
    std::string candidates;
    for (const PortProbe& probe : ProbePorts()) {
        candidates += " COM" + std::to_string(probe.number);
        if (probe.answers) {
            answering.push_back(probe);
        }
    }
    if (answering.size() == 1 && OpenAndTest({answering.front().number, {}})) {
        return kExitOk;
    }
    if (answering.size() > 1) {
        std::string text = PickText("Приборы отвечают на нескольких портах, укажите --port:",
                                    "Devices answer on several ports, choose one with --port:");
        for (const PortProbe& probe : answering) {
            text += " COM" + std::to_string(probe.number);
        }
        dialogs_.Error(text);
        return kExitUsage;
    }
    dialogs_.Error(
        PickText("Прибор не найден. Проверенные порты:", "No device found. Ports tried:") +
        (candidates.empty() ? PickText(" нет", " none") : candidates) + PortsHint());
    return kExitNoDevice;
}

bool CliSession::Reconnect(DeviceInfo& info) {
    info.Clear();
    return OpenAndTest(chosen_) && ::Identify(stack_.Commands(), log_, info) && info.valid;
}

bool CliSession::Identify(DeviceInfo& info) {
    if (::Identify(stack_.Commands(), log_, info) && info.valid) {
        return true;
    }
    dialogs_.Error(PickText("Прибор не опознан", "The device was not identified"));
    return false;
}

bool CliSession::Pass(DeviceGate gate, const DeviceInfo& info) {
    const auto inputs = [&] { return GateInputs::From(true, info.valid, stack_.Commands()); };
    OperationGate check(inputs, dialogs_, log_);
    bool passed = true;
    switch (gate) {
        case DeviceGate::Identified:
            break;
        case DeviceGate::Pages:
            passed = check.Check({}, true);
            break;
        case DeviceGate::Settings:
            passed = check.CheckSettingsAccess({});
            break;
    }
    // The gate names a page of the window; here the commands do its work.
    if (!passed && RefusalReason(inputs()) == GateRefusal::FirmwareTooOld) {
        report_.Follow(info.BootMode() ? PickText("Командами: dravo-cli firmware update или "
                                                  "dravo-cli restart main",
                                                  "From here: dravo-cli firmware update, or "
                                                  "dravo-cli restart main")
                                       : PickText("Командой: dravo-cli firmware update",
                                                  "From here: dravo-cli firmware update"));
    }
    return passed;
}

int CliSession::Open(const std::string& portArgument, DeviceInfo& info, DeviceGate gate) {
    const int connected = Connect(portArgument);
    if (connected != kExitOk) {
        return connected;
    }
    if (!Identify(info)) {
        return CliHost::Interrupted() ? kExitInterrupted : kExitFailure;
    }
    return Pass(gate, info) ? kExitOk : kExitFailure;
}
