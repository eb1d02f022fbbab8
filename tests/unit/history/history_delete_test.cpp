#include <gtest/gtest.h>

#include "base/language.h"
#include "history/history_delete.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "unit/history/fake_history_device.h"

namespace {

class HistoryDeleteTest : public ::testing::Test {
  protected:
    HistoryDeleteTest() { SetUiLanguage(Language::English); }
    ~HistoryDeleteTest() override { SetUiLanguage(Language::Russian); }

    void Click() {
        DeleteHistoryClick(HistoryAccess{device, host, [this] { return gateOpen; }}, dialogs);
    }

    FakeHistoryDevice device;
    RecordingHost host;
    RecordingDialogs dialogs;
    bool gateOpen = true;
};

TEST_F(HistoryDeleteTest, AsksThenDeletesInsideOneAccess) {
    dialogs.answerYes = false;
    Click();
    EXPECT_TRUE(device.commandWords.empty());
    EXPECT_EQ(dialogs.questions,
              std::vector<std::string>{"History in Device will be deleted!\r\nContinue"});

    dialogs.answerYes = true;
    Click();
    EXPECT_EQ(device.commandWords,
              (std::vector<std::uint32_t>{0xC0BA0010, 0xC0BA0012, 0xC0BA0011}));
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(host.calls, (std::vector<std::string>{"link-check off", "link-check on"}));
}

TEST_F(HistoryDeleteTest, ARefusedStartShowsTheErrorAndSendsNothingFurther) {
    dialogs.answerYes = true;
    gateOpen = false;
    Click();
    EXPECT_TRUE(device.commandWords.empty());
    gateOpen = true;
    device.refuseBegin = true;
    Click();
    EXPECT_EQ(device.commandWords, std::vector<std::uint32_t>{0xC0BA0010});
    device.refuseBegin = false;
    host.RequestStop();
    Click();
    EXPECT_EQ(device.commandWords, std::vector<std::uint32_t>{0xC0BA0010});
    EXPECT_EQ(dialogs.errors, std::vector<std::string>(3, "Error of History deleting"));
    EXPECT_TRUE(host.linkCheckEnabled);
}

}  // namespace
