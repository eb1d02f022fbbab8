#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/screen_markup.h"

namespace {

using Screens = std::vector<std::string>;

TEST(ScreenMarkup, StartScreensNameThePortOnEachBoard) {
    EXPECT_EQ(StartScreens(ScreenLayout::Narrow, 12),
              (Screens{"{X0|Y0|Cg|RA}", "{F02|Bg|CW|AL|T0}", "{Y1|AS|*}PC CONNECT",
                       "{Y21|AS|*}COM-12", "{Y60|X11|CB|RF106:16|x3|y3|Cb|RF100:10}"}));
    EXPECT_EQ(StartScreens(ScreenLayout::Wide, 12),
              (Screens{"{X0|Y0|Cg|RF240:320}", "{F02|Bg|CW|AL|T0}", "{Y5|AS|*}PC CONNECTED",
                       "{Y25|AS|*}COM-12", "{Y60|X67|CB|RF106:16|x3|y3|Cb|RF100:10}"}));
    EXPECT_EQ(PcConnectionText(12), "COM 12");
}

TEST(ScreenMarkup, EndScreensOfEachBoard) {
    EXPECT_EQ(EndScreens(ScreenLayout::Narrow),
              (Screens{"#{X0|Y60|Cg|Bg|RF128:20|F02}", "{Y83|CY|T0|AS|*}END OF#{y20|AS|*}WRITE"}));
    EXPECT_EQ(EndScreens(ScreenLayout::Wide),
              (Screens{"#{X0|Y280|Cg|Bg|RF240:20|F02}", "{Y280|CY|T0|AS|*}END OF WRITE"}));
}

TEST(ScreenMarkup, OnlyTheTwoModelsHaveAScreen) {
    EXPECT_EQ(ScreenLayoutOf(310), ScreenLayout::Narrow);
    EXPECT_EQ(ScreenLayoutOf(520), ScreenLayout::Wide);
    EXPECT_FALSE(ScreenLayoutOf(405).has_value());
}

TEST(ProgressScreens, BarIsAsWideAsThePercentOnEachBoard) {
    ProgressScreens screens;
    EXPECT_EQ(screens.Step(ScreenLayout::Narrow, 37),
              (Screens{"{X14|Y63|CY|RF37:10}", "{Y83|CC|F02|AS|*}|"}));
    EXPECT_EQ(screens.Step(ScreenLayout::Wide, 100),
              (Screens{"{X70|Y63|CY|RF100:10}", "{Y83|CC|F02|AS|*}/"}));
}

TEST(ProgressScreens, SpinnerTurnsPerStepSkipsZeroAndCarriesOverToTheNextWrite) {
    ProgressScreens screens;
    std::string spun;
    for (int percent : {1, 0, 2, 3, 4, 5}) {
        const Screens step = screens.Step(ScreenLayout::Narrow, percent);
        if (percent == 0) {
            EXPECT_TRUE(step.empty());
            continue;
        }
        ASSERT_EQ(step.size(), 2u);
        spun += step[1].back();
    }
    EXPECT_EQ(spun, "|/-\\|");
    // A later write (after 100 %) goes on from where the spinner stopped.
    EXPECT_EQ(screens.Step(ScreenLayout::Wide, 1)[1], "{Y83|CC|F02|AS|*}/");
}

}  // namespace
