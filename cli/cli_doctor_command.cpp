#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/cli_commands.h"
#include "cli/exit_status.h"
#include "serial/port_doctor.h"

namespace {

nlohmann::json ReportJson(const DoctorReport& report) {
    nlohmann::json ports = nlohmann::json::array();
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
    if (context.options.json) {
        std::cout << ReportJson(report).dump(2) << '\n';
    } else {
        std::cout << DoctorReportText(report);
    }
    return report.SomePortOpens() ? kExitOk : kExitFailure;
}

}  // namespace

void AddDoctorCommand(CLI::App& app, CliAction& action) {
    app.add_subcommand("doctor",
                       "why a dosimeter may not be reachable: ports, permissions, "
                       "holders, services")
        ->callback([&action] { action = RunDoctor; });
}
