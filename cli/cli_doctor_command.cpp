#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/language.h"
#include "cli/cli_commands.h"
#include "cli/exit_status.h"
#include "serial/port_doctor.h"

namespace {

nlohmann::ordered_json ReportJson(const DoctorReport& report) {
    nlohmann::ordered_json ports = nlohmann::ordered_json::array();
    for (const DoctorPort& port : report.ports) {
        ports.push_back({{"port", "COM" + std::to_string(port.entry.number)},
                         {"path", port.entry.path},
                         {"opens", port.diagnosis.problem == PortProblem::None},
                         {"vendorId", port.usb.vendorId},
                         {"productId", port.usb.productId},
                         {"manufacturer", port.usb.manufacturer},
                         {"product", port.usb.product},
                         {"driver", port.usb.driver},
                         {"heldBy", HoldersText(port.holders.holders)}});
    }
    return {{"ports", ports},
            {"user", report.userName},
            {"groups", report.groups},
            {"suggestions", report.suggestions},
            {"somePortOpens", report.SomePortOpens()}};
}

int RunDoctor(CliContext& context) {
    const DoctorReport report = BuildDoctorReport(DoctorInput::FromEnvironment());
    context.report.Result() = ReportJson(report);
    if (!context.options.json) {
        std::cout << DoctorReportText(report);
    }
    if (!report.SomePortOpens()) {
        context.report.Fail(PickText("Ни один порт не открывается", "No port opens"));
    }
    return report.SomePortOpens() ? kExitOk : kExitFailure;
}

}  // namespace

void AddDoctorCommand(CLI::App& app, CliAction& action) {
    app.add_subcommand("doctor", PickText("почему дозиметр может быть недоступен: порты, права, "
                                          "занявшие порт программы, службы",
                                          "why a dosimeter may not be reachable: ports, "
                                          "permissions, holders, services"))
        ->callback([&action] { action = RunDoctor; });
}
