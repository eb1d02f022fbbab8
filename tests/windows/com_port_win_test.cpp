// The Win32 serial port against the simulated dosimeter on a COM port of the
// wine prefix, as a dosimeter on USB appears on Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/app_log.h"
#include "protocol/device_stack.h"
#include "protocol/identification.h"
#include "serial/com_port.h"
#include "serial/port_diagnosis.h"
#include "serial/port_list.h"
#include "serial/port_table.h"
#include "support/language_guard.h"
#include "support/recording_port.h"
#include "windows/simulated_port.h"

namespace {

bool HasLineWith(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    });
}

TEST(WindowsPortTable, TheRegistryListsTheDevicesPortAndThePortListTakesIt) {
    const int port = SimulatedDevicePort();
    const PortTableConfig config = PortTableConfig::FromEnvironment();
    const std::vector<PortEntry> entries = EnumeratePorts(config);
    const auto found = std::find_if(entries.begin(), entries.end(), [port](const PortEntry& entry) {
        return entry.number == port;
    });
    ASSERT_NE(found, entries.end());
    EXPECT_EQ(found->path, "\\\\.\\COM" + std::to_string(port));

    // Ports present at the first refresh are left out; the last connected one is tried first.
    PortList list([config] { return EnumeratePortNames(config); });
    list.SetLastConnectedPort(port);
    list.Refresh();
    ASSERT_GE(list.Count(), 1);
    EXPECT_EQ(list.ScanOrderAt(0), port);
}

TEST(WindowsComPort, IdentifiesTheDeviceAndReadsLongBlocks) {
    AppLog log;
    DeviceStackOptions options;
    options.log = &log;
    DeviceStack stack(options);
    ASSERT_TRUE(stack.Open(SimulatedDevicePort()));

    const std::uint8_t echo[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(stack.Commands().Test(echo, 16, false), 1);
    DeviceInfo info;
    ASSERT_TRUE(Identify(stack.Commands(), log, info));
    EXPECT_TRUE(info.valid);
    EXPECT_EQ(SerialDigits(*stack.Commands().CachedInf1Block()), "12345678");

    // The longest block the device gives comes through the reader whole.
    std::vector<std::uint8_t> first(128);
    std::vector<std::uint8_t> again(128);
    ASSERT_EQ(stack.Commands().EflRead(0, first.data(), 128, false), 128);
    ASSERT_EQ(stack.Commands().EflRead(0, again.data(), 128, false), 128);
    EXPECT_EQ(first, again);
    stack.Close();
}

// Windows refuses a second opener of a COM port with "access denied" (wine
// does not keep its ports exclusive, so the code is given here).
TEST(WindowsPortDiagnosis, AccessDeniedIsAPortInUseByAnotherProgram) {
    const LanguageGuard english(Language::English);
    const PortDiagnosis diagnosis = DiagnoseOpenError("\\\\.\\COM7", ERROR_ACCESS_DENIED,
                                                      SystemRoots{}, UserIdentity::Current());
    EXPECT_EQ(diagnosis.problem, PortProblem::Busy);
    EXPECT_EQ(DiagnosisText(diagnosis),
              "COM7 is busy: held by another program (which one is unknown); close the other "
              "program that uses the port");
    EXPECT_EQ(
        DiagnoseOpenError("\\\\.\\COM7", ERROR_SEM_TIMEOUT, SystemRoots{}, UserIdentity::Current())
            .problem,
        PortProblem::Other);
}

TEST(WindowsComPort, AMissingPortIsToldAsGone) {
    const LanguageGuard english(Language::English);
    RecordingPort port(PortTableConfig::FromEnvironment());
    port.SetPortNumber(199);
    EXPECT_FALSE(port.OpenPort(ComPort::kDefaultBaud));
    const PortDiagnosis diagnosis = DiagnoseOpenError(port.LastOpenPath(), port.LastOpenError(),
                                                      SystemRoots{}, UserIdentity::Current());
    EXPECT_EQ(diagnosis.problem, PortProblem::Gone);
    EXPECT_TRUE(HasLineWith(port.log, "COM199 is gone"));
}

TEST(WindowsComPort, TransfersAreBoundedAndNothingMovesOnceClosed) {
    RecordingPort port(PortTableConfig::FromEnvironment());
    port.SetPortNumber(SimulatedDevicePort());
    ASSERT_TRUE(port.OpenPort(ComPort::kDefaultBaud));
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(port.ReadBytes(buffer, 0), 0u);
    // Nothing was asked, so nothing comes: the read ends at its time-out.
    EXPECT_EQ(port.ReadBytes(buffer, 4), 0u);

    // Opening an open port closes it first.
    ASSERT_TRUE(port.OpenPort(ComPort::kDefaultBaud));
    const auto close = std::find(port.log.begin(), port.log.end(),
                                 "Close COM " + std::to_string(port.PortNumber()) + " : OK");
    ASSERT_NE(close, port.log.end());
    EXPECT_NE(
        std::find(close, port.log.end(), "Open COM " + std::to_string(port.PortNumber()) + " : OK"),
        port.log.end());

    EXPECT_TRUE(port.ClosePort());
    EXPECT_FALSE(port.ClosePort());
    EXPECT_EQ(port.ReadBytes(buffer, 4), 0u);
    EXPECT_EQ(port.WriteBytes(buffer, 4), 0u);
}

}  // namespace
