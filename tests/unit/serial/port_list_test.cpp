#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/language.h"
#include "serial/port_access_notice.h"
#include "serial/port_list.h"

namespace {

// A scripted enumeration that the test changes between refreshes, plus the log.
class PortListTest : public ::testing::Test {
  protected:
    PortListTest() : list([this] { return names; }) {
        list.SetLogSink([this](const std::string& line) { log.push_back(line); });
    }

    std::vector<int> Order() const {
        std::vector<int> order;
        for (int i = 0; i < list.Count(); ++i) {
            order.push_back(list.ScanOrderAt(i));
        }
        return order;
    }

    std::vector<std::string> names;
    std::vector<std::string> log;
    PortList list;
};

TEST(PortNameParsing, TakesTheLastRunOfDigits) {
    EXPECT_EQ(PortList::ParsePortNumber("COM12"), 12);
    EXPECT_EQ(PortList::ParsePortNumber("COM3A"), 3);
    EXPECT_EQ(PortList::ParsePortNumber("COM1X25Y"), 25);
    EXPECT_EQ(PortList::ParsePortNumber("COM"), 0);
    EXPECT_EQ(PortList::ParsePortNumber(""), 0);
    EXPECT_EQ(PortList::ParsePortNumber("COM007"), 7);
    EXPECT_GE(PortList::ParsePortNumber("COM99999999999999999999"), PortList::kCapacity);
}

TEST(PortListCompaction, DropsEmptyEntriesAndRepeatsKeepingFirstOrder) {
    int entries[] = {255, 7, 3, 7, 255, 12, 3, 0, 0};
    ASSERT_EQ(PortList::Compact(entries, 9), 4);
    EXPECT_EQ((std::vector<int>(entries, entries + 4)), (std::vector<int>{7, 3, 12, 0}));
}

TEST_F(PortListTest, PortsPresentAtStartAreNeverTriedButNewOnesAre) {
    names = {"COM5", "COM1"};
    list.Refresh();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.RestartScan());
    EXPECT_EQ(log, (std::vector<std::string>{"PORT LIST: 5,1"}));

    names = {"COM5", "COM1", "COM9", "COM7"};
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{7, 9}));
    EXPECT_TRUE(list.RestartScan());

    // Still present next time: kept in the order, no restart.
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{7, 9}));
    EXPECT_FALSE(list.RestartScan());

    // A newcomer goes ahead of the known ports.
    names = {"COM5", "COM1", "COM9", "COM7", "COM8"};
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{8, 7, 9}));
    EXPECT_TRUE(list.RestartScan());
}

TEST_F(PortListTest, PortThatDisappearsAndReturnsIsNewAgain) {
    names = {"COM3", "COM4"};
    list.Refresh();
    names = {"COM4"};
    list.Refresh();
    EXPECT_EQ(list.Count(), 0);
    names = {"COM4", "COM3"};
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{3}));
    EXPECT_TRUE(list.RestartScan());
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{3}));
    EXPECT_FALSE(list.RestartScan());
}

TEST_F(PortListTest, LastConnectedPortLeadsAndRestartsEveryRefresh) {
    list.SetLastConnectedPort(4);
    names = {"COM2", "COM4"};
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{4}));
    EXPECT_TRUE(list.RestartScan());

    names = {"COM2", "COM4", "COM3", "COM1"};
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{4, 1, 3}));
    EXPECT_TRUE(list.RestartScan());
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{4, 1, 3}));
    EXPECT_TRUE(list.RestartScan());

    // Once it is gone, no restart and the others keep their places.
    names = {"COM2", "COM3", "COM1"};
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{1, 3}));
    EXPECT_FALSE(list.RestartScan());
}

TEST_F(PortListTest, PortConnectedAtStartIsNeverExcluded) {
    list.SetLastConnectedPort(4);
    names = {"COM2", "COM4"};
    list.Refresh();
    // A manual connection elsewhere: the old port stays among the known ports.
    list.SetLastConnectedPort(2);
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{2, 4}));
}

TEST_F(PortListTest, ConnectingToAnExcludedPortBringsItIntoTheOrder) {
    names = {"COM6"};
    list.Refresh();
    list.SetLastConnectedPort(6);  // e.g. a manual connection
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{6}));
}

TEST_F(PortListTest, DuplicatesNonComEntriesAnd255) {
    list.Refresh();
    names = {"COM3", "LPT1", "com3", "COM255", "Com7", "COMA", "CO"};
    list.Refresh();
    EXPECT_EQ(Order(), (std::vector<int>{0, 3, 7}));
    EXPECT_EQ(log.back(), "PORT LIST: 3,7,0");
}

TEST_F(PortListTest, PortsOf1000AndAboveAreLoggedButNeverTried) {
    list.Refresh();
    names = {"COM1000", "COM4", "COM65535"};
    list.Refresh();
    EXPECT_EQ(log.back(), "PORT LIST: 1000,4,65535");
    EXPECT_EQ(Order(), (std::vector<int>{4}));
}

TEST_F(PortListTest, OnlyTheFirst1000EntriesAreRead) {
    list.Refresh();
    for (int i = 0; i < 1005; ++i) {
        names.push_back("COM" + std::to_string(i < 999 ? 1 : i));
    }
    list.Refresh();
    // Entry 999 is COM999; entries 1000 and later are not read.
    EXPECT_EQ(Order(), (std::vector<int>{1, 999}));
    EXPECT_EQ(log.back(), "PORT LIST: 1,999");
}

TEST_F(PortListTest, LogsOnlyChangesOfTheList) {
    list.Refresh();
    list.Refresh();
    EXPECT_TRUE(log.empty());  // an empty list at start logs nothing

    names = {"COM3", "COM4"};
    list.Refresh();
    list.Refresh();
    names = {"COM4", "COM3"};
    list.Refresh();
    names = {};
    list.Refresh();
    list.Refresh();
    EXPECT_EQ(log, (std::vector<std::string>{"PORT LIST: 3,4", "PORT LIST: 4,3", "PORT LIST: "}));
}

TEST_F(PortListTest, ResetForgetsEverything) {
    names = {"COM3"};
    list.Refresh();
    list.SetLastConnectedPort(3);
    list.SetScanPosition(5);
    list.Reset();
    EXPECT_EQ(list.LastConnectedPort(), -1);
    EXPECT_EQ(list.ScanPosition(), 0);
    EXPECT_EQ(list.Count(), 0);
    // After a reset the next refresh is a first refresh again, logged afresh.
    names = {"COM3", "COM5"};
    list.Refresh();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(log.back(), "PORT LIST: 3,5");
}

TEST(PortAccessNotice, SaysARefusedPortOnceUntilItIsForgotten) {
    PortAccessNotice notice;
    EXPECT_EQ(notice.Refused(34, PortProblem::NoPermission), "Нет доступа к порту COM34");
    EXPECT_EQ(notice.Refused(34, PortProblem::NoPermission), std::nullopt);
    EXPECT_EQ(notice.Refused(35, PortProblem::Busy), std::nullopt);

    SetUiLanguage(Language::English);
    EXPECT_EQ(notice.Refused(66, PortProblem::NoPermission), "No access to port COM66");
    notice.Forget(34);
    EXPECT_EQ(notice.Refused(34, PortProblem::NoPermission), "No access to port COM34");
    SetUiLanguage(Language::Russian);
}

}  // namespace
