#include "serial/port_doctor.h"

#include <algorithm>
#include <filesystem>

#include "base/language.h"

namespace fs = std::filesystem;

namespace {

void AddSuggestion(DoctorReport& report, const std::string& suggestion) {
    if (!suggestion.empty() && std::find(report.suggestions.begin(), report.suggestions.end(),
                                         suggestion) == report.suggestions.end()) {
        report.suggestions.push_back(suggestion);
    }
}

DoctorPort ExaminePort(const DoctorInput& input, const PortEntry& entry) {
    DoctorPort port;
    port.entry = entry;
    port.diagnosis =
        DiagnoseOpenError(entry.path, input.probe(entry.path), input.roots, input.user);
    port.usb =
        ReadUsbPortInfo(input.roots.sys, fs::path(port.diagnosis.devicePath).filename().string());
    port.holders = port.diagnosis.problem == PortProblem::Busy
                       ? port.diagnosis.holders
                       : FindPortHolders(input.roots.proc, port.diagnosis.devicePath);
    return port;
}

void AddServiceSuggestions(DoctorReport& report) {
    if (report.modemManager == Knowledge::Yes) {
        AddSuggestion(report,
                      PickText("ModemManager может захватить только что подключённый прибор: "
                               "sudo systemctl disable --now ModemManager",
                               "ModemManager may grab a freshly plugged device: "
                               "sudo systemctl disable --now ModemManager"));
    }
    if (report.brltty == Knowledge::Yes) {
        AddSuggestion(report, PickText("brltty забирает себе USB-адаптеры последовательного порта: "
                                       "sudo apt remove brltty",
                                       "brltty takes USB serial adapters for itself: "
                                       "sudo apt remove brltty"));
    }
}

std::string RunningText(Knowledge value) {
    switch (value) {
        case Knowledge::Yes:
            return PickText("запущен", "running");
        case Knowledge::No:
            return PickText("не запущен", "not running");
        case Knowledge::Unknown:
            break;
    }
    return PickText("неизвестно", "unknown");
}

std::string UsbText(const UsbPortInfo& usb) {
    if (usb.vendorId == "unknown") {
        return PickText("USB: неизвестно, драйвер ", "USB: unknown, driver ") + usb.driver;
    }
    return "USB " + usb.vendorId + ":" + usb.productId + ", " + usb.manufacturer + ", " +
           usb.product + PickText(", драйвер ", ", driver ") + usb.driver;
}

std::string HeldByText(const PortHolders& holders) {
    if (!holders.holders.empty()) {
        return HoldersText(holders.holders);
    }
    return holders.complete ? PickText("никто", "nobody") : PickText("неизвестно", "unknown");
}

std::string PortText(const DoctorPort& port) {
    const bool opens = port.diagnosis.problem == PortProblem::None;
    std::string text = "COM" + std::to_string(port.entry.number) + "  " + port.entry.path;
    if (port.diagnosis.devicePath != port.entry.path) {
        text += " -> " + port.diagnosis.devicePath;
    }
    text += "\n    " + UsbText(port.usb) + "\n    " + PickText("можно открыть: ", "may open: ") +
            (opens ? PickText("да", "yes")
                   : PickText("нет: ", "no: ") + DiagnosisReason(port.diagnosis)) +
            "\n    " + PickText("держит: ", "held by: ") + HeldByText(port.holders) + "\n";
    return text;
}

std::string JoinedLines(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) {
        text += "  - " + item + "\n";
    }
    return text;
}

}  // namespace

bool DoctorReport::SomePortOpens() const {
    return std::any_of(ports.begin(), ports.end(), [](const DoctorPort& port) {
        return port.diagnosis.problem == PortProblem::None;
    });
}

DoctorInput DoctorInput::FromEnvironment() {
    DoctorInput input;
    input.ports = PortTableConfig::FromEnvironment();
    input.user = UserIdentity::Current();
    return input;
}

DoctorReport BuildDoctorReport(const DoctorInput& input) {
    DoctorReport report;
    for (const auto& entry : EnumeratePorts(input.ports)) {
        report.ports.push_back(ExaminePort(input, entry));
        AddSuggestion(report, DiagnosisSuggestion(report.ports.back().diagnosis));
    }
    report.skipped = SkippedPortEntries(input.ports.portDir);
    for (const auto& skipped : report.skipped) {
        AddSuggestion(report,
                      PickText("удалите или исправьте ", "remove or repair ") + skipped.path);
    }
    if (report.ports.empty()) {
        AddSuggestion(report, PickText("последовательных портов нет: подключите прибор (он "
                                       "появляется как /dev/ttyACM<n> или /dev/ttyUSB<n>)",
                                       "there is no serial port: plug the dosimeter in (it "
                                       "appears as /dev/ttyACM<n> or /dev/ttyUSB<n>)"));
    }
    report.modemManager = ProcessRunning(input.roots.proc, "ModemManager");
    report.brltty = ProcessRunning(input.roots.proc, "brltty");
    AddServiceSuggestions(report);
    report.userName = input.user.name;
    for (const GroupId group : input.user.sessionGroups) {
        const std::string name = GroupName(group);
        if (std::find(report.groups.begin(), report.groups.end(), name) == report.groups.end()) {
            report.groups.push_back(name);
        }
    }
    return report;
}

std::string DoctorReportText(const DoctorReport& report) {
    std::string text = PickText("Последовательные порты:\n", "Serial ports:\n");
    for (const auto& port : report.ports) {
        text += "  " + PortText(port);
    }
    if (report.ports.empty()) {
        text += PickText("  нет\n", "  none\n");
    }
    for (const auto& skipped : report.skipped) {
        text += SkippedEntryLine(skipped) + "\n";
    }
    text += "ModemManager: " + RunningText(report.modemManager) + "\n";
    text += "brltty: " + RunningText(report.brltty) + "\n";
    std::string groups;
    for (const auto& group : report.groups) {
        groups += (groups.empty() ? "" : ", ") + group;
    }
    text += PickText("Пользователь ", "User ") + report.userName +
            PickText(", группы: ", ", groups: ") + groups + "\n";
    if (!report.suggestions.empty()) {
        text += PickText("Советы:\n", "Suggestions:\n") + JoinedLines(report.suggestions);
    }
    text +=
        report.SomePortOpens()
            ? PickText("Итог: порт можно открыть\n", "Result: a port can be opened\n")
            : PickText("Итог: ни один порт открыть нельзя\n", "Result: no port can be opened\n");
    return text;
}
