#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/language.h"
#include "serial/port_list.h"
#include "serial/start_ports_notice.h"
#include "support/temp_dir.h"

namespace {

TEST(StartPortsNotice, TellsHowToConnectADeviceOnAUsbPortPresentAtStart) {
    TempDir folder;
    std::filesystem::create_symlink("/dev/ttyACM2", folder.Path() + "/COM7");
    std::filesystem::create_symlink("/dev/pts/4", folder.Path() + "/COM8");
    const std::vector<PortEntry> table = {
        {1, "/dev/ttyS0"},       {34, "/dev/ttyUSB1"},         {35, "/dev/ttyUSB2"},
        {66, "/dev/ttyACM0"},    {7, folder.Path() + "/COM7"}, {8, folder.Path() + "/COM8"},
        {9, "/dev/ttyUSBserial"}};

    // Found by the first refresh: the list the connection manager keeps.
    std::vector<std::string> names = {"COM66", "COM1", "COM34", "COM8", "COM7", "COM9"};
    PortList list([&names] { return names; });
    list.Refresh();
    names.push_back("COM35");  // plugged in later: tried automatically
    list.Refresh();
    EXPECT_EQ(list.StartPorts(), (std::vector<int>{1, 7, 8, 9, 34, 66}));

    SetUiLanguage(Language::English);
    EXPECT_EQ(StartPortsNotice(list.StartPorts(), table),
              "To connect the device on COM7, COM34, COM66: unplug it and plug it in again, "
              "or choose its port under Connection, Manual");
    SetUiLanguage(Language::Russian);
    EXPECT_EQ(StartPortsNotice({34}, table),
              "Чтобы подключить прибор на COM34: отключите его и подключите снова "
              "или выберите его порт в меню Соединение, Вручную");

    // A serial port on the board, a pseudo-terminal, a port gone since start.
    for (const std::vector<int>& start :
         {std::vector<int>{1, 8, 9}, std::vector<int>{}, std::vector<int>{36}}) {
        EXPECT_EQ(StartPortsNotice(start, table), std::nullopt) << start.size();
    }
}

}  // namespace
