#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/language.h"
#include "cli/cli_arguments.h"
#include "cli/cli_commands.h"
#include "cli/cli_json_values.h"
#include "cli/cli_measure_values.h"
#include "cli/cli_measure_watch.h"
#include "cli/cli_session.h"
#include "cli/exit_status.h"
#include "firmware/device_info_text.h"
#include "measure/measure_commands_device.h"
#include "measure/measurement.h"
#include "protocol/device_info.h"
#include "protocol/gate_inputs.h"
#include "protocol/operation_gate.h"

namespace {

std::string VersionOrBoot(std::uint16_t version) {
    return version == 0 ? "BOOT" : VersionText(version);
}

int RunPorts(CliContext& context) {
    CliSession session(context);
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    const std::vector<PortProbe> probes = session.ProbePorts();
    for (const PortProbe& probe : probes) {
        list.push_back({{"port", "COM" + std::to_string(probe.number)},
                        {"path", probe.path},
                        {"opened", probe.opened},
                        {"device", probe.answers}});
        if (!context.options.json) {
            std::cout << "COM" << probe.number << '\t' << probe.path << '\t'
                      << (probe.answers ? PickText("прибор отвечает", "device answers")
                          : probe.opened ? PickText("нет ответа", "no answer")
                                         : PickText("не открывается", "cannot be opened"))
                      << '\n';
        }
    }
    context.report.Result()["ports"] = list;
    if (probes.empty()) {
        context.report.Say(PickText("Последовательные порты не найдены; почему: dravo-cli doctor",
                                    "No serial ports found; why: dravo-cli doctor"));
    }
    return CliHost::Interrupted() ? kExitInterrupted : kExitOk;
}

int RunInfo(CliContext& context) {
    CliSession session(context);
    DeviceInfo info;
    if (const int status = session.Open(context.options.port, info, DeviceGate::Identified);
        status != kExitOk) {
        return status;
    }
    const std::string serial = SerialNumberText(info.inf1);
    if (context.options.json) {
        const std::vector<std::string> offer = UpdateOfferLines(info);
        context.report.Result() = {{"port", "COM" + std::to_string(session.PortNumber())},
                                   {"model", info.modelName},
                                   {"serial", serial},
                                   {"uniqueId", UniqueIdText(info.uid)},
                                   {"bootVersion", VersionJson(info.bootVersion)},
                                   {"mainVersion", VersionJson(info.mainVersion)},
                                   {"bootMode", info.BootMode()},
                                   {"updateOffered", !offer.empty()},
                                   {"offer", offer},
                                   {"pageLines", DeviceInfoLines(info)}};
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
    CliSession session(context);
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
        context.report.Fail(PickText("Ошибка чтения", "Reading failed"));
        return kExitFailure;
    }
    context.report.Result() = MeasureJson(state);
    if (!context.options.json) {
        std::cout << MeasureLine(state) << std::endl;
    }
    return kExitOk;
}

}  // namespace

void AddDeviceCommands(CLI::App& app, CliAction& action) {
    app.add_subcommand("ports", PickText("последовательные порты и на каких отвечает дозиметр",
                                         "the serial ports and which answer as a dosimeter"))
        ->callback([&action] { action = RunPorts; });
    app.add_subcommand("info", PickText("опознать прибор: модель, серийный номер, версии, "
                                        "предложение обновления",
                                        "identify the device: model, serial number, versions, "
                                        "the update offer"))
        ->callback([&action] { action = RunInfo; });
    auto* measure =
        app.add_subcommand("measure", PickText("прочитать мощность дозы и накопленную дозу",
                                               "read the dose rate and the accumulated dose"));
    auto watch = std::make_shared<WatchArguments>();
    AddWatchOptions(*measure, *watch);
    measure->callback([&action, watch] {
        action = [watch](CliContext& context) {
            return watch->watch ? RunMeasureWatch(context, *watch) : RunMeasure(context);
        };
    });
}
