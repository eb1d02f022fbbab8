#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fake_system.h"
#include "serial/port_diagnosis.h"
#include "serial/port_holders.h"
#include "serial/usb_port_info.h"
#include "support/language_guard.h"

namespace {

class PortDiagnosisTest : public ::testing::Test {
  protected:
    PortDiagnosisTest() {
        user.name = "bob";
        // Never the group a test file gets, so the user is outside it.
        user.sessionGroups = {getegid() + 1000};
        user.accountGroups = user.sessionGroups;
    }

    FakeSystem system;
    UserIdentity user;
    LanguageGuard english_{Language::English};
};

TEST_F(PortDiagnosisTest, FindsEveryProcessHoldingTheDeviceAndSaysWhenTheListMayBeShort) {
    const std::string port = system.Device("ttyUSB0");
    system.Process(812, "ModemManager", {"/dev/null", port});
    system.Process(900, "bash", {system.Device("ttyUSB1")});
    system.Process(901, "minicom", {port});
    std::filesystem::create_directories(system.roots.proc + "/self");

    PortHolders found = FindPortHolders(system.roots.proc, port);
    std::sort(found.holders.begin(), found.holders.end(),
              [](const auto& a, const auto& b) { return a.pid < b.pid; });
    ASSERT_EQ(found.holders.size(), 2u);
    EXPECT_EQ(found.holders[0].pid, 812);
    EXPECT_EQ(found.holders[0].name, "ModemManager");
    EXPECT_EQ(found.holders[1].name, "minicom");
    EXPECT_TRUE(found.complete);

    system.HiddenProcess(1000);
    EXPECT_FALSE(FindPortHolders(system.roots.proc, port).complete);
    EXPECT_EQ(FindPortHolders(system.Path() + "/absent", port).holders.size(), 0u);
    EXPECT_FALSE(FindPortHolders(system.Path() + "/absent", port).complete);
}

TEST_F(PortDiagnosisTest, BusyNamesTheHolderOrSaysItIsUnknown) {
    const std::string port = system.Device("ttyACM0");
    system.Process(812, "ModemManager", {port});
    const PortDiagnosis busy = DiagnoseOpenError(port, EBUSY, system.roots, user);
    EXPECT_EQ(busy.problem, PortProblem::Busy);
    EXPECT_EQ(DiagnosisText(busy),
              port +
                  " is busy: held by ModemManager (process 812); close ModemManager "
                  "(process 812) or wait until it lets the port go");

    FakeSystem empty;
    const PortDiagnosis locked = DiagnoseOpenError(port, EWOULDBLOCK, empty.roots, user);
    EXPECT_EQ(locked.problem, PortProblem::Busy);
    EXPECT_NE(DiagnosisReason(locked).find("another program (which one is unknown)"),
              std::string::npos);
}

TEST_F(PortDiagnosisTest, NoPermissionNamesTheGroupTheUserLacksAndTheCommandThatAddsIt) {
    const std::string port = system.Device("ttyUSB0");
    const std::string group = GroupName(getegid());

    const PortDiagnosis outside = DiagnoseOpenError(port, EACCES, system.roots, user);
    EXPECT_EQ(outside.problem, PortProblem::NoPermission);
    EXPECT_EQ(DiagnosisText(outside), "No permission to open " + port + ": it belongs to group " +
                                          group + ", and user bob is not in that group; " +
                                          "sudo usermod -aG " + group +
                                          " $USER, then log in again");

    // Added to the group after logging in: only a new login helps.
    user.accountGroups.push_back(getegid());
    const PortDiagnosis added = DiagnoseOpenError(port, EACCES, system.roots, user);
    EXPECT_NE(DiagnosisReason(added).find("was added to it after logging in"), std::string::npos);
    EXPECT_EQ(DiagnosisSuggestion(added), "log in again");

    // In the group and still refused: the device's mode, not the membership.
    user.sessionGroups.push_back(getegid());
    const PortDiagnosis member = DiagnoseOpenError(port, EACCES, system.roots, user);
    EXPECT_EQ(DiagnosisSuggestion(member).find("usermod"), std::string::npos);

    const PortDiagnosis unknown =
        DiagnoseOpenError(system.roots.dev + "/vanished", EPERM, system.roots, user);
    EXPECT_NE(DiagnosisReason(unknown).find("its owner group is unknown"), std::string::npos);
}

TEST_F(PortDiagnosisTest, GoneAndOtherErrorsAreSaidInWords) {
    const std::string link = system.Path() + "/COM7";
    std::filesystem::create_symlink(system.roots.dev + "/pts/9", link);
    const PortDiagnosis gone = DiagnoseOpenError(link, ENOENT, system.roots, user);
    EXPECT_EQ(gone.problem, PortProblem::Gone);
    EXPECT_EQ(DiagnosisText(gone), link +
                                       " is gone: the device was unplugged or its link points "
                                       "nowhere; plug the dosimeter in again");

    const std::string port = system.Device("ttyS0");
    const PortDiagnosis other = DiagnoseOpenError(port, EIO, system.roots, user);
    EXPECT_EQ(DiagnosisText(other), "Cannot open " + port + ": " + std::strerror(EIO));
}

TEST_F(PortDiagnosisTest, ProbeRefusesWhatIsNotATerminal) {
    EXPECT_EQ(ProbePortOpen(system.Device("ttyUSB0")), ENOTTY);
    EXPECT_EQ(ProbePortOpen(system.roots.dev + "/missing"), ENOENT);
}

TEST_F(PortDiagnosisTest, UsbFactsComeFromTheDeviceAboveTheTtyOrAreUnknown) {
    system.UsbTty("ttyUSB0", "0403", "6001", "FT232R USB UART", "ftdi_sio", true);
    const UsbPortInfo serial = ReadUsbPortInfo(system.roots.sys, "ttyUSB0");
    EXPECT_EQ(serial.vendorId, "0403");
    EXPECT_EQ(serial.productId, "6001");
    EXPECT_EQ(serial.manufacturer, "Maker");
    EXPECT_EQ(serial.product, "FT232R USB UART");
    EXPECT_EQ(serial.driver, "ftdi_sio");

    system.UsbTty("ttyACM0", "0483", "5740", "Dosimeter", "cdc_acm", false);
    const UsbPortInfo acm = ReadUsbPortInfo(system.roots.sys, "ttyACM0");
    EXPECT_EQ(acm.vendorId, "0483");
    EXPECT_EQ(acm.driver, "cdc_acm");

    // A tty without a USB device above it, as an on-board UART.
    std::filesystem::create_directories(system.roots.sys + "/devices/platform/serial8250/tty");
    std::filesystem::create_directories(system.roots.sys + "/class/tty/ttyS0");
    std::filesystem::create_symlink(system.roots.sys + "/devices/platform/serial8250/tty",
                                    system.roots.sys + "/class/tty/ttyS0/device");
    EXPECT_EQ(ReadUsbPortInfo(system.roots.sys, "ttyS0").vendorId, "unknown");

    const UsbPortInfo none = ReadUsbPortInfo(system.roots.sys, "3");
    EXPECT_EQ(none.vendorId, "unknown");
    EXPECT_EQ(none.product, "unknown");
    EXPECT_EQ(none.driver, "unknown");
}

}  // namespace
