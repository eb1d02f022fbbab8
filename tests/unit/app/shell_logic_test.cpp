#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/banner.h"
#include "app/caption_table.h"
#include "app/launch_options.h"
#include "app/window_geometry.h"
#include "base/status_style.h"

namespace {

TEST(CentredOver, HalvesTruncateTowardsZero) {
    // The busy indicator (131 x 115) over an 844 x 400 window at (100, 50).
    EXPECT_EQ(CentredOver(100, 50, 844, 400, 131, 115),
              (ScreenPoint{100 + 422 - 65, 50 + 200 - 57}));
    EXPECT_EQ(CentredOver(-300, -20, 101, 99, 131, 115),
              (ScreenPoint{-300 + 50 - 65, -20 + 49 - 57}));
    EXPECT_EQ(CentredOver(0, 0, 100, 100, 100, 100), (ScreenPoint{0, 0}));
}

TEST(StatusStyle, UnknownNumbersAreNeutral) {
    EXPECT_EQ(StatusStyleFromNumber(1), StatusStyle::Success);
    EXPECT_EQ(StatusStyleFromNumber(3), StatusStyle::Warning);
    EXPECT_EQ(StatusStyleFromNumber(4), StatusStyle::Neutral);
    EXPECT_EQ(StatusStyleFromNumber(-1), StatusStyle::Neutral);
    EXPECT_TRUE(ColoursOf(StatusStyle::Neutral).systemColours);
    EXPECT_FALSE(ColoursOf(StatusStyle::Neutral).bold);
    const StatusColours error = ColoursOf(StatusStyle::Error);
    EXPECT_EQ(error.panelRgb, 0xFF0000u);
    EXPECT_EQ(error.textRgb, 0xFFFF00u);
    EXPECT_TRUE(error.bold);
}

TEST(Banners, FrameTheRunWithRulesOf42Hashes) {
    const auto start = StartBanner("08.12.2026 23:00:00");
    ASSERT_EQ(start.size(), 4u);
    EXPECT_EQ(start[0], std::string(42, '#'));
    EXPECT_EQ(start[1], "# START: 08.12.2026 23:00:00");
    EXPECT_EQ(start[2], "# APP VERSION = 1.1");
    EXPECT_EQ(start[3], start[0]);
    const auto end = EndBanner("x");
    ASSERT_EQ(end.size(), 3u);
    EXPECT_EQ(end[1], "# END: x");
    EXPECT_EQ(end[2], std::string(42, '#'));
    EXPECT_FALSE(LocalDateTimeText().empty());
}

TEST(LaunchOptions, DemoIsRecognisedAndOthersAreKeptAsUnknown) {
    EXPECT_FALSE(ParseLaunchArguments({}).demo);
    const LaunchOptions options = ParseLaunchArguments({"--demo", "--frobnicate"});
    EXPECT_TRUE(options.demo);
    EXPECT_EQ(options.unknown, std::vector<std::string>{"--frobnicate"});
}

TEST(CaptionTable, LaterRowsWinForTheHelpMenuAndAboutItem) {
    std::string help;
    std::string about;
    for (const CaptionRow& row : MainCaptionTable()) {
        if (std::string(row.control) == "Action_Menu_Help") {
            help = row.russian;
        }
        if (std::string(row.control) == "Action_Help_About") {
            about = row.english;
        }
    }
    EXPECT_EQ(help, "Помощь");
    EXPECT_EQ(about, "About Programm");
}

}  // namespace
