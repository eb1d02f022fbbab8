#include "base/worker_dialogs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "base/device_worker.h"
#include "support/queued_ui_thread.h"
#include "support/recording_dialogs.h"

namespace {

// Boxes asked for by jobs on a device worker, shown by the test's thread as
// the user interface's.
class WorkerDialogsTest : public ::testing::Test {
  protected:
    // Runs `ask` as a job and hands its result back.
    template <typename Ask>
    std::future<decltype(std::declval<Ask>()())> OnWorker(Ask ask) {
        auto task = std::make_shared<std::packaged_task<decltype(ask())()>>(std::move(ask));
        auto result = task->get_future();
        worker_.Post([task] { (*task)(); });
        return result;
    }

    template <typename T>
    static T Get(std::future<T>& result) {
        if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the job is still waiting";
            return T{};
        }
        return result.get();
    }

    StopSignal stop_;
    QueuedUiThread ui_;
    RecordingDialogs shown_;
    WorkerDialogs dialogs_{shown_, ui_, stop_};
    DeviceWorker worker_{stop_};
};

TEST_F(WorkerDialogsTest, AJobsBoxesAreShownOnTheUserInterfaceThreadWithTheirAnswers) {
    shown_.answerYes = true;
    shown_.inputs = {"12"};
    auto asked = OnWorker([this] {
        dialogs_.Warning("Low battery");
        const bool yes = dialogs_.AskYesNo("Continue?");
        std::string value = "5";
        const bool entered = dialogs_.InputQuery("Port", "Number", value);
        return yes && entered ? value : std::string("refused");
    });
    // The job goes on only as the test's thread shows each box.
    for (int box = 0; box < 3; ++box) {
        ASSERT_TRUE(ui_.RunNext());
    }
    EXPECT_EQ(Get(asked), "12");
    EXPECT_EQ(shown_.shown, (std::vector<std::string>{"warning:Low battery", "ask:Continue?",
                                                      "input:Number[5]"}));

    shown_.answerYes = false;
    auto declined = OnWorker([this] { return dialogs_.AskYesNo("Delete?"); });
    ASSERT_TRUE(ui_.RunNext());
    EXPECT_FALSE(Get(declined));
}

TEST_F(WorkerDialogsTest, OnTheUserInterfaceThreadABoxIsShownAtOnce) {
    shown_.answerYes = true;
    EXPECT_TRUE(dialogs_.AskYesNo("Continue?"));
    dialogs_.Error("Failed");
    EXPECT_EQ(shown_.shown, (std::vector<std::string>{"ask:Continue?", "error:Failed"}));
    EXPECT_EQ(ui_.Pending(), 0u);
}

TEST_F(WorkerDialogsTest, AfterAStopNothingIsShownAndEveryQuestionIsNo) {
    shown_.answerYes = true;
    shown_.inputs = {"12"};
    shown_.saveAs = "out.csv";
    stop_.RequestStop();
    std::string value = "5";
    std::string file;
    dialogs_.Information("Done");
    EXPECT_FALSE(dialogs_.AskYesNo("Continue?"));
    EXPECT_FALSE(dialogs_.InputQuery("Port", "Number", value));
    EXPECT_FALSE(dialogs_.SaveFileName("Save", "*.csv", file));
    EXPECT_EQ(value, "5");
    EXPECT_TRUE(file.empty());
    EXPECT_TRUE(shown_.shown.empty());
    EXPECT_EQ(ui_.Pending(), 0u);
}

TEST_F(WorkerDialogsTest, AStopReleasesAJobWaitingForItsAnswer) {
    shown_.answerYes = true;
    auto asked = OnWorker([this] { return dialogs_.AskYesNo("Continue?"); });
    ASSERT_TRUE(ui_.WaitPosted());
    stop_.RequestStop();
    EXPECT_FALSE(Get(asked));
    // The box it had asked for comes too late to be shown.
    ASSERT_TRUE(ui_.RunNext());
    EXPECT_TRUE(shown_.shown.empty());
}

}  // namespace
