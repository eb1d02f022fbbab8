#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "protocol/device_models.h"
#include "sim/simulated_device.h"
#include "ui/app/shell_fixture.h"

namespace {

constexpr int kCom = 12;
constexpr int kWaitMs = 15000;
// Late, but within the connection test's 700 ms: a slow adapter or a busy device.
constexpr unsigned kLateMs = 600;
constexpr int kTestGroup = 0x01;
constexpr int kTestCode = 0x00;

// A page action that talks to the device, clicked while the periodic step
// waits for a late answer to the connection test.
struct PageAction {
    const char* name;
    int page;
    const char* button;
    // Every request the action needs went out and was answered.
    std::function<bool(SimulatedDevice&)> done;
};

std::size_t Count(const std::vector<std::uint32_t>& words, std::uint32_t word) {
    return static_cast<std::size_t>(std::count(words.begin(), words.end(), word));
}

std::function<bool(SimulatedDevice&)> CommandWordSent(std::uint32_t word) {
    return [word](SimulatedDevice& device) {
        return device.WithModel(
                   [word](DeviceModel& model) { return Count(model.CommandWords(), word); }) > 0;
    };
}

std::vector<PageAction> Actions() {
    return {
        {"DoseReset", TForm1::PageMeasuring, "BitBtn_Measure_Dose_Reset",
         CommandWordSent(0xC0BA0020)},
        {"HistoryRead", TForm1::PageDevHistory, "BitBtn_HIS_Read", CommandWordSent(0xC0BA0011)},
        {"HistoryDelete", TForm1::PageDevHistory, "BitBtn_HIS_Delete", CommandWordSent(0xC0BA0012)},
        {"SettingsRead", FindSupportedModel(310)->pageNumber, "BitBtn_Setup_K310_Read",
         [](SimulatedDevice& device) { return device.CountRequests(0x01, 0x0E) >= 10; }},
    };
}

class ClickDuringPeriodicStep : public ShellFixture,
                                public ::testing::WithParamInterface<PageAction> {
  protected:
    void SetUp() override {
        ShellFixture::SetUp();
        form_ = StartWindowOnPrivatePorts(portDir_);
    }

    // Plugs the device in and waits until identification has recognised it.
    void PlugIn(const SimOptions& options = SimOptions{}) {
        sim_ = std::make_unique<SimulatedDevice>(options);
        ASSERT_TRUE(sim_->PlugIn(portDir_, kCom)) << sim_->LastError();
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return Find<QPushButton>(form_.get(), "BitBtn_ReNewDeviceInfo")->isEnabled();
            },
            kWaitMs))
            << form_->Log().Text();
    }

    std::size_t Entries(TranscriptEntry::Direction direction) {
        const auto entries = sim_->TranscriptEntries();
        return static_cast<std::size_t>(
            std::count_if(entries.begin(), entries.end(), [direction](const auto& entry) {
                return entry.direction == direction && entry.group == kTestGroup &&
                       entry.code == kTestCode;
            }));
    }

    // Clicks `button` on `page` as soon as a connection test has reached the
    // device and its answer is still held back; true once clicked so.
    void ClickDuringTheTest(int page, const char* button, bool& clickedDuringWait) {
        auto* poll = new QTimer(form_.get());
        QObject::connect(poll, &QTimer::timeout, poll, [=, this, &clickedDuringWait] {
            const std::size_t asked = Entries(TranscriptEntry::Direction::Request);
            if (asked == 0) {
                return;
            }
            poll->stop();
            clickedDuringWait = Entries(TranscriptEntry::Direction::Answer) < asked;
            Pages(*form_)->setCurrentIndex(page);
            Find<QPushButton>(form_.get(), button)->click();
        });
        poll->start(2);
    }

    static SimOptions K310On12_5() {
        SimOptions options;
        options.mainVersion = 0x0C05;
        options.mainVersionAfterCpuWrite = 0x0C06;
        return options;
    }

    std::string portDir_;
    std::unique_ptr<SimulatedDevice> sim_;
    std::unique_ptr<TForm1> form_;
};

// The click is neither refused nor run inside the waiting step: it waits
// behind the step on the device worker and then runs whole.
TEST_P(ClickDuringPeriodicStep, RunsAfterTheStepAndIsNotRefused) {
    const PageAction& action = GetParam();
    PlugIn();
    Find<QCheckBox>(form_.get(), "CheckBox_Measure_AutoRead")->setChecked(false);
    sim_->SetFaults({FaultRule{FaultKind::Delay, kTestGroup, kTestCode, 1, 0, 0, kLateMs, 0}});
    sim_->ClearTranscript();

    bool clickedDuringWait = false;
    ClickDuringTheTest(action.page, action.button, clickedDuringWait);
    ASSERT_TRUE(QTest::qWaitFor([&] { return action.done(*sim_); }, kWaitMs))
        << form_->Log().Text();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form_->Worker().Idle(); }, kWaitMs));
    EXPECT_TRUE(clickedDuringWait);
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    // Nothing else went to the device while the step waited for its answer. A
    // step posted before auto-reading was switched off may still have read the
    // measurements ahead of the test; that is not the click.
    const auto entries = sim_->TranscriptEntries();
    const auto isTest = [](const TranscriptEntry& entry) {
        return entry.group == kTestGroup && entry.code == kTestCode;
    };
    const auto asked = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
        return entry.direction == TranscriptEntry::Direction::Request && isTest(entry);
    });
    ASSERT_NE(asked, entries.end());
    const auto answered = std::find_if(asked, entries.end(), [&](const auto& entry) {
        return entry.direction == TranscriptEntry::Direction::Answer && isTest(entry);
    });
    ASSERT_NE(answered, entries.end());
    const auto otherDuringWait = std::find_if(asked, answered, [&](const auto& entry) {
        return entry.direction == TranscriptEntry::Direction::Request && !isTest(entry);
    });
    EXPECT_EQ(otherDuringWait, answered)
        << "request " << otherDuringWait->group << "/" << otherDuringWait->code;
}

using UpdateDuringPeriodicStep = ClickDuringPeriodicStep;

// The update's restarts find the device again by themselves on the worker,
// also when its Update click landed inside the connection test's wait.
TEST_F(UpdateDuringPeriodicStep, TakesTheDeviceToTheCarriedVersion) {
    PlugIn(K310On12_5());
    sim_->SetFaults({FaultRule{FaultKind::Delay, kTestGroup, kTestCode, 1, 0, 0, kLateMs, 0}});
    sim_->ClearTranscript();
    bool clickedDuringWait = false;
    ClickDuringTheTest(TForm1::PageDevInfo, "BitBtn_ReNewDeviceInfo", clickedDuringWait);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs_.informations.empty(); }, 4 * kWaitMs))
        << form_->Log().Text();
    EXPECT_TRUE(clickedDuringWait);
    EXPECT_EQ(dialogs_.informations,
              std::vector<std::string>{"Congratulations\n\rYour Device successfully\n\rupdated"});
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(sim_->WithModel([](DeviceModel& model) { return model.ReportedMainVersion(); }),
              0x0C06);
}

INSTANTIATE_TEST_SUITE_P(PageActions, ClickDuringPeriodicStep, ::testing::ValuesIn(Actions()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
