#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/language.h"
#include "cli/cli_commands.h"
#include "cli/cli_measure_watch.h"
#include "cli/cli_session.h"
#include "cli/exit_status.h"
#include "firmware/device_info_text.h"
#include "measure/measurement.h"
#include "measure/measurement_commands_device.h"
#include "protocol/device_info.h"
#include "protocol/gate_inputs.h"
#include "protocol/operation_gate.h"

namespace {

std::string VersionOrBoot(std::uint16_t version) {
    return version == 0 ? "BOOT" : VersionText(version);
}

int RunPorts(CliContext& context) {
    CliSession session(context.log, context.host, context.dialogs);
    nlohmann::json list = nlohmann::json::array();
    for (const PortProbe& probe : session.ProbePorts()) {
        if (context.options.json) {
            list.push_back({{"port", "COM" + std::to_string(probe.number)},
                            {"path", probe.path},
                            {"opened", probe.opened},
                            {"device", probe.answers}});
            continue;
        }
        std::cout << "COM" << probe.number << '\t' << probe.path << '\t'
                  << (probe.answers  ? PickText("прибор отвечает", "device answers")
                      : probe.opened ? PickText("нет ответа", "no answer")
                                     : PickText("не открывается", "cannot be opened"))
                  << '\n';
    }
    if (context.options.json) {
        std::cout << list.dump(2) << '\n';
    }
    return CliHost::Interrupted() ? kExitInterrupted : kExitOk;
}

int RunInfo(CliContext& context) {
    CliSession session(context.log, context.host, context.dialogs);
    DeviceInfo info;
    if (const int status = session.Open(context.options.port, info, DeviceGate::Identified);
        status != kExitOk) {
        return status;
    }
    const std::string serial = SerialNumberText(info.inf1);
    if (context.options.json) {
        std::cout << nlohmann::json{{"port", "COM" + std::to_string(session.PortNumber())},
                                    {"model", info.modelName},
                                    {"serial", serial},
                                    {"uniqueId", UniqueIdText(info.uid)},
                                    {"bootVersion", VersionText(info.bootVersion)},
                                    {"mainVersion", VersionOrBoot(info.mainVersion)},
                                    {"bootMode", info.BootMode()},
                                    {"offer", UpdateOfferLines(info)},
                                    {"pageLines", DeviceInfoLines(info)}}
                         .dump(2)
                  << '\n';
        return kExitOk;
    }
    std::cout << PickText("Модель: ", "Model: ") << info.modelName << '\n'
              << PickText("Серийный номер: ", "Serial number: ") << serial << '\n'
              << PickText("Уникальный номер: ", "Unique id: ") << UniqueIdText(info.uid) << '\n'
              << PickText("Версия загрузчика: ", "Boot loader version: ")
              << VersionText(info.bootVersion) << '\n'
              << PickText("Версия программы: ", "Main program version: ")
              << VersionOrBoot(info.mainVersion) << '\n'
              << PickText("Режим загрузчика: ", "Boot mode: ")
              << (info.BootMode() ? PickText("да", "yes") : PickText("нет", "no")) << '\n';
    for (const std::string& line : UpdateOfferLines(info)) {
        std::cout << line << '\n';
    }
    return kExitOk;
}

int RunMeasure(CliContext& context) {
    CliSession session(context.log, context.host, context.dialogs);
    DeviceInfo info;
    if (const int status = session.Open(context.options.port, info, DeviceGate::Pages);
        status != kExitOk) {
        return status;
    }
    DeviceCommands& commands = session.Stack().Commands();
    OperationGate gate([&] { return GateInputs::From(true, info.valid, commands); },
                       context.dialogs, context.log);
    CommandsMeasureDevice device(commands, &context.log);
    Measurement measurement(
        device, [&gate](std::string& notice) { return gate.CheckPage(notice); }, context.dialogs,
        SystemTicks);

    const bool read = measurement.ReadMeasurement(true);
    const MeasurePageState& state = measurement.State();
    if (CliHost::Interrupted()) {
        return kExitInterrupted;
    }
    if (!read) {
        std::cerr << PickText("Ошибка чтения", "Reading failed") << '\n';
        return kExitFailure;
    }
    if (context.options.json) {
        std::cout << nlohmann::json{{"doseRate", state.fonText},
                                    {"dose", state.doseText},
                                    {"unitsCode", state.unitsCode},
                                    {"rateRaw", state.rateRaw},
                                    {"level", state.fonLevel}}
                         .dump()
                  << std::endl;
    } else {
        std::cout << state.fonText << '\t' << state.doseText << std::endl;
    }
    return kExitOk;
}

}  // namespace

void AddDeviceCommands(CLI::App& app, CliAction& action) {
    app.add_subcommand("ports", "the serial ports and which answer as a dosimeter")
        ->callback([&action] { action = RunPorts; });
    app.add_subcommand("info",
                       "identify the device: model, serial number, versions, the update offer")
        ->callback([&action] { action = RunInfo; });
    auto* measure = app.add_subcommand("measure", "read the dose rate and the accumulated dose");
    auto watch = std::make_shared<WatchArguments>();
    AddWatchOptions(*measure, *watch);
    measure->callback([&action, watch] {
        action = [watch](CliContext& context) {
            return watch->watch ? RunMeasureWatch(context, *watch) : RunMeasure(context);
        };
    });
}
