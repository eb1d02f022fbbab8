#include <gtest/gtest.h>

#include "serial/start_ports_notice.h"
#include "support/language_guard.h"

namespace {

// On Windows the registry's device name tells a USB adapter from a built-in port.
TEST(StartPortsNoticeOnWindows, NamesOnlyTheUsbPortsPresentAtStart) {
    const LanguageGuard english(Language::English);
    const std::vector<PortEntry> ports = {{1, "\\\\.\\COM1", "\\Device\\Serial0"},
                                          {5, "\\\\.\\COM5", "\\Device\\USBSER000"},
                                          {9, "\\\\.\\COM9", "\\Device\\Silabser0"},
                                          {12, "\\\\.\\COM12", "\\Device\\USBSER001"}};
    EXPECT_EQ(StartPortsNotice({1, 5, 9}, ports),
              "To connect the device on COM5, COM9: unplug it and plug it in again, or choose "
              "its port under Connection, Manual");
    EXPECT_FALSE(StartPortsNotice({1}, ports).has_value());
}

}  // namespace
