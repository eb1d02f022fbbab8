#include <gtest/gtest.h>

#include "history/history_delete.h"
#include "support/language_guard.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "unit/history/fake_history_device.h"

namespace {

class HistoryDeleteTest : public ::testing::Test {
  protected:
    void Click() {
        DeleteHistoryClick(HistoryAccess{device, host, [this] { return gateOpen; }}, dialogs);
    }

    FakeHistoryDevice device;
    RecordingHost host;
    RecordingDialogs dialogs;
    bool gateOpen = true;
    LanguageGuard english_{Language::English};
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

// The device's word for it is not enough: records still counted in the header
// after the delete, or a header that cannot be read, mean it did not happen.
TEST_F(HistoryDeleteTest, RecordsLeftAfterTheDeleteShowTheErrorAndTheAccessIsStillEnded) {
    struct Row {
        std::uint32_t records;
        bool ignoreDelete;
        bool headerUnreadable;
        bool error;
    };
    const Row rows[] = {{0x124, false, false, false},
                        {0x124, true, false, true},
                        {1, true, false, true},
                        {0, true, false, false},
                        {0x124, false, true, true}};
    dialogs.answerYes = true;
    for (const Row& row : rows) {
        device.SetHeader(4096, 0x100, 255, row.records, 0, row.records);
        device.ignoreDelete = row.ignoreDelete;
        if (row.headerUnreadable) {
            device.failParameter = 0xC021;
        }
        device.commandWords.clear();
        device.reads.clear();
        dialogs.errors.clear();
        Click();
        EXPECT_EQ(device.commandWords,
                  (std::vector<std::uint32_t>{0xC0BA0010, 0xC0BA0012, 0xC0BA0011}))
            << row.records;
        EXPECT_EQ(device.reads, std::vector<std::uint16_t>{0xC021}) << row.records;
        EXPECT_EQ(dialogs.errors,
                  std::vector<std::string>(row.error ? 1 : 0, "Error of History deleting"))
            << row.records << " " << row.ignoreDelete;
        device.failParameter.reset();
    }
    EXPECT_TRUE(host.linkCheckEnabled);
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
