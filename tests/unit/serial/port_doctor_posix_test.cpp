#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "fake_system.h"
#include "serial/port_doctor.h"
#include "serial/port_entry_check.h"
#include "support/language_guard.h"

namespace {

namespace fs = std::filesystem;

class PortDoctorTest : public ::testing::Test {
  protected:
    PortDoctorTest() {
        input.roots = system.roots;
        input.ports.devDir = system.roots.dev;
        input.ports.sysClassTty = system.roots.sys + "/class/tty";
        input.ports.portDir = system.Path() + "/ports";
        fs::create_directories(input.ports.portDir);
        input.user.name = "bob";
        input.user.sessionGroups = {getegid() + 1000};
        input.user.accountGroups = input.user.sessionGroups;
        input.probe = [this](const std::string& path) {
            const auto found = probeErrors.find(path);
            return found == probeErrors.end() ? 0 : found->second;
        };
    }

    std::string PortEntry(const std::string& name, const std::string& target) {
        const std::string path = input.ports.portDir + "/" + name;
        fs::create_symlink(target, path);
        return path;
    }

    FakeSystem system;
    DoctorInput input;
    std::map<std::string, int> probeErrors;
    LanguageGuard english_{Language::English};
};

TEST_F(PortDoctorTest, ReportsEveryPortWithItsFactsAndOneSuggestionPerProblem) {
    const std::string usb = system.Device("ttyUSB0");
    system.UsbTty("ttyUSB0", "0403", "6001", "FT232R USB UART", "ftdi_sio", true);
    const std::string acm = system.Device("ttyACM1");
    system.UsbTty("ttyACM1", "0483", "5740", "Dosimeter", "cdc_acm", false);
    const std::string demo = PortEntry("COM7", "/dev/null");
    probeErrors[usb] = EACCES;
    probeErrors[acm] = EACCES;
    system.Process(812, "ModemManager", {"/dev/null"});

    const DoctorReport report = BuildDoctorReport(input);
    ASSERT_EQ(report.ports.size(), 3u);
    EXPECT_EQ(report.ports[0].entry.number, 33);
    EXPECT_EQ(report.ports[0].usb.product, "FT232R USB UART");
    EXPECT_EQ(report.ports[0].diagnosis.problem, PortProblem::NoPermission);
    EXPECT_EQ(report.ports[1].entry.number, 66);
    EXPECT_EQ(report.ports[2].entry.number, 7);
    EXPECT_EQ(report.ports[2].diagnosis.devicePath, "/dev/null");
    ASSERT_EQ(report.ports[2].holders.holders.size(), 1u);
    EXPECT_EQ(report.ports[2].holders.holders[0].pid, 812);
    EXPECT_EQ(report.modemManager, Knowledge::Yes);
    EXPECT_EQ(report.brltty, Knowledge::No);
    EXPECT_TRUE(report.SomePortOpens());

    // Two ports of the same group need one command, not two.
    const std::string group = GroupName(getegid());
    ASSERT_EQ(report.suggestions.size(), 2u);
    EXPECT_EQ(report.suggestions[0], "sudo usermod -aG " + group + " $USER, then log in again");
    EXPECT_NE(report.suggestions[1].find("ModemManager"), std::string::npos);

    const std::string text = DoctorReportText(report);
    EXPECT_NE(text.find("COM33  " + usb +
                        "\n    USB 0403:6001, Maker, FT232R USB UART, "
                        "driver ftdi_sio\n    may open: no: No permission"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("COM7  " + demo + " -> /dev/null"), std::string::npos) << text;
    EXPECT_NE(text.find("held by: ModemManager (process 812)"), std::string::npos) << text;
    EXPECT_NE(text.find("User bob, groups: "), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\nResult: a port can be opened\n")) << text;
}

TEST_F(PortDoctorTest, NoOpenablePortGivesTheNegativeResult) {
    const std::string gone = PortEntry("COM4", "/dev/null");
    probeErrors[gone] = ENXIO;
    const DoctorReport report = BuildDoctorReport(input);
    EXPECT_FALSE(report.SomePortOpens());
    EXPECT_NE(DoctorReportText(report).find("Result: no port can be opened"), std::string::npos);

    fs::remove(gone);
    const DoctorReport empty = BuildDoctorReport(input);
    EXPECT_TRUE(empty.ports.empty());
    ASSERT_EQ(empty.suggestions.size(), 1u);
    EXPECT_NE(empty.suggestions[0].find("there is no serial port"), std::string::npos);
}

TEST_F(PortDoctorTest, WhatCouldNotBeReadIsUnknownAndTheReportGoesOn) {
    PortEntry("COM3", "/dev/null");
    input.roots.proc = system.Path() + "/no-proc";
    input.roots.sys = system.Path() + "/no-sys";
    const DoctorReport report = BuildDoctorReport(input);
    ASSERT_EQ(report.ports.size(), 1u);
    EXPECT_EQ(report.modemManager, Knowledge::Unknown);
    const std::string text = DoctorReportText(report);
    EXPECT_NE(text.find("USB: unknown, driver unknown"), std::string::npos) << text;
    EXPECT_NE(text.find("held by: unknown"), std::string::npos) << text;
    EXPECT_NE(text.find("ModemManager: unknown"), std::string::npos) << text;
}

TEST_F(PortDoctorTest, BadPortFolderEntriesAreSkippedNeverListedAsPorts) {
    const std::string dangling = PortEntry("COM5", system.Path() + "/nowhere");
    fs::create_directories(input.ports.portDir + "/COM6");
    FakeSystem::Write(input.ports.portDir + "/COM8", "not a device");
    PortEntry("COM9", "/dev/null");
    FakeSystem::Write(input.ports.portDir + "/notes.txt", "");

    const auto ports = EnumeratePorts(input.ports);
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].number, 9);

    const auto skipped = SkippedPortEntries(input.ports.portDir);
    ASSERT_EQ(skipped.size(), 3u);
    EXPECT_EQ(SkippedEntryLine(skipped[0]),
              "Port folder entry " + dangling + " skipped: dangling symbolic link");
    EXPECT_EQ(skipped[1].reason, "a directory");
    EXPECT_EQ(skipped[2].reason, "not a terminal device");

    const DoctorReport report = BuildDoctorReport(input);
    EXPECT_EQ(report.skipped.size(), 3u);
    EXPECT_NE(DoctorReportText(report).find(SkippedEntryLine(skipped[1])), std::string::npos);
}

TEST_F(PortDoctorTest, SkipLogSaysEachEntryOnceWhileItStays) {
    std::vector<std::string> log;
    const LogSink sink = [&log](const std::string& line) { log.push_back(line); };
    PortEntrySkipLog skipLog;
    const std::string dangling = PortEntry("COM5", system.Path() + "/nowhere");
    skipLog.Check(input.ports.portDir, sink);
    skipLog.Check(input.ports.portDir, sink);
    EXPECT_EQ(log.size(), 1u);

    fs::remove(dangling);
    skipLog.Check(input.ports.portDir, sink);
    PortEntry("COM5", system.Path() + "/nowhere");
    skipLog.Check(input.ports.portDir, sink);
    EXPECT_EQ(log.size(), 2u);
}

}  // namespace
