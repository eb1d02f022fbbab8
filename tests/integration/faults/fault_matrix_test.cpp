#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "base/language.h"
#include "base/ui_thread.h"
#include "base/worker_dialogs.h"
#include "history/history_commands_device.h"
#include "history/read_history.h"
#include "measure/measure_commands_device.h"
#include "measure/measurement.h"
#include "protocol/device_models.h"
#include "protocol/identification.h"
#include "settings/setting_codes.h"
#include "settings/settings_actions.h"
#include "support/fault_rows.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "support/sim_on_stack.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCom = 4;
constexpr std::uint32_t kSliceMs = 10;
constexpr std::uint32_t kLateSliceMs = 50;
constexpr auto kTickWithin = std::chrono::milliseconds(200);

class CoreFaultMatrix;

// One device operation as the program runs it, with the request a fault aims
// at and the boxes a failure of that request shows.
struct CoreColumn {
    const char* name;
    int group;
    int code;
    bool (CoreFaultMatrix::*run)();
    std::vector<std::string> failureErrors;
};

using Cell = std::tuple<FaultRow, CoreColumn, bool>;

// The device stack over a pseudo-terminal to the simulated dosimeter. Time
// is a fake clock that every reading by the link moves on by the slice the
// link blocks for between readings; a reading is also where the stop request
// comes in once the faulted request was sent.
class CoreFaultMatrix : public ::testing::TestWithParam<Cell> {
  protected:
    CoreFaultMatrix() {
        SetUiLanguage(Language::English);
        dialogs_.answerYes = true;
        EXPECT_EQ(rig_.Error(), "");
        rig_.Stack().Link().SetClockLook(std::chrono::milliseconds(kSliceMs));
    }
    ~CoreFaultMatrix() override { SetUiLanguage(Language::Russian); }

    // A short history, so that a reading is a few dozen requests.
    static SimOptions Options() {
        SimOptions options;
        options.history = {
            .shape = HistoryShape::Partial, .records = 40, .recordWhileRunning = false};
        return options;
    }

    DeviceStackOptions StackOptions() {
        return {.clock = [this] { return ReadClock(); },
                .stop = &host_.Stop(),
                .dialogs = &shown_,
                .log = &log_};
    }

    std::uint32_t ReadClock() {
        NoteTick();
        if (host_.StopRequested() && !firstLookAfterStop_) {
            firstLookAfterStop_ = ticks_.load();
        }
        const bool targetSent =
            target_ && rig_.Sim().CountRequests(target_->first, target_->second) > 0;
        if (targetSent && stopAtTarget_) {
            host_.RequestStop();
        }
        ticks_ += TimeStep(targetSent);
        return ticks_.load();
    }

    // A late answer comes after the wait for it, before the next send: once
    // the delayed request is out, time runs fast until it was sent again, then
    // stands still until the answer is in.
    std::uint32_t TimeStep(bool targetSent) {
        if (!lateAnswer_ || (!targetSent && !targetSentAt_)) {
            return kSliceMs;
        }
        if (targetSent && !targetSentAt_) {
            targetSentAt_ = ticks_.load();
        }
        const bool resent =
            targetSentAt_ && ticks_ - *targetSentAt_ > DeviceLink::kAnswerTimeoutMs + kLateSliceMs;
        return resent ? 0 : kLateSliceMs;
    }

    // The device records a request it delays only once it is done with the
    // one before.
    std::size_t RequestsWhenSettled(const CoreColumn& column, std::size_t expected) const {
        rig_.Sim().WaitForRequests(column.group, column.code, expected, std::chrono::seconds(2));
        return Requests(column);
    }

    void NoteTick() {
        const Clock::time_point now = Clock::now();
        if (lastTick_) {
            longestGap_ = std::max(longestGap_, now - *lastTick_);
        }
        lastTick_ = now;
    }

    std::size_t Requests(const CoreColumn& column) const {
        return rig_.Sim().CountRequests(column.group, column.code);
    }

  public:
    bool TestEcho() {
        const char* echo = "faults";
        return rig_.Stack().Commands().Test(reinterpret_cast<const std::uint8_t*>(echo),
                                            static_cast<int>(std::strlen(echo)), false) == 1;
    }
    bool Identification() {
        // As the identification step does before each identification.
        rig_.Stack().Commands().ForgetDeviceData();
        DeviceInfo info;
        return Identify(rig_.Stack().Commands(), log_, info) && info.valid;
    }
    bool Read() {
        return measurement_.ReadMeasurement(true) &&
               measurement_.State().fonText != MeasurePageState::kBlankText;
    }
    bool HistoryRead() {
        ReadHistory reading(HistoryAccess{historyDevice_, host_, nullptr}, history_, shown_, &log_);
        return reading.Run(2) == HistoryOutcome::Completed;
    }
    // As the settings page's Read button: success is every setting shown and
    // no error box.
    bool SettingsRead() {
        const std::size_t boxes = dialogs_.errors.size();
        SettingsActions actions(*FindSupportedModel(310),
                                {rig_.Stack().Commands(), host_, shown_, log_,
                                 [](const std::string&) { return true; }, [] { return true; }});
        actions.Read();
        return dialogs_.errors.size() == boxes && !actions.State().values.AnyUndefined();
    }
    bool DoseReset() {
        dialogs_.informations.clear();
        measurement_.DoseResetClick();
        return dialogs_.informations == std::vector<std::string>{"Accumulated Dose\nReseted"};
    }

  protected:
    RecordingDialogs dialogs_;
    AppLog log_;
    std::atomic<std::uint32_t> ticks_{0};
    RecordingHost host_;
    // As in the window and the command line: no box once a stop was requested.
    InlineUiThread ui_;
    WorkerDialogs shown_{dialogs_, ui_, host_.Stop()};
    SimOnStack rig_{Options(), StackOptions(), kCom, SimOnStack::StoppedClock(),
                    SimOnStack::Opening::ByPortTable};
    CommandsMeasureDevice device_{rig_.Stack().Commands(), &log_};
    Measurement measurement_{device_, [](std::string&) { return true; }, shown_,
                             [this] { return ticks_.load(); }};
    CommandsHistoryDevice historyDevice_{rig_.Stack().Commands()};
    DeviceHistory history_;
    // The request the fault aims at; the wait is stopped when it was sent.
    std::optional<std::pair<int, int>> target_;
    bool stopAtTarget_ = false;
    bool lateAnswer_ = false;
    std::optional<std::uint32_t> targetSentAt_;
    // The time the link read first once the stop was requested.
    std::optional<std::uint32_t> firstLookAfterStop_;
    std::optional<Clock::time_point> lastTick_;
    Clock::duration longestGap_{};
};

const std::vector<CoreColumn>& Columns() {
    using M = CoreFaultMatrix;
    const std::string lost = "No answer - Parameter WRITE";
    static const std::vector<CoreColumn> columns = {
        {"ConnectionTest", 0x01, 0x00, &M::TestEcho, {}},
        {"Identification", 0x01, 0x01, &M::Identification, {}},
        {"MeasurementRead", 0x01, 0x02, &M::Read, {}},
        {"DoseReset", 0x01, 0x0F, &M::DoseReset, {lost, "Error Reseting Accumulated Dose"}},
        // The end of the history access is still sent after the failed read.
        {"HistoryRead", 0x02, 0x02, &M::HistoryRead, {lost, "Error of History reading"}},
        {"SettingsRead", 0x01, 0x0E, &M::SettingsRead, {"Error reading Parameters"}},
    };
    return columns;
}

TEST_P(CoreFaultMatrix, TheOperationEndsAsSpecifiedAndTheProgramStaysResponsive) {
    const auto& [row, column, stop] = GetParam();
    ASSERT_TRUE((this->*column.run)()) << "the operation fails without a fault";
    const std::size_t cleanSends = Requests(column);
    rig_.Sim().ClearTranscript();
    dialogs_.errors.clear();
    rig_.Sim().SetFaults({RuleFor(row, column.group, column.code)});
    target_ = {column.group, column.code};
    stopAtTarget_ = stop;
    lateAnswer_ = row.delayMs > 0;

    const std::uint32_t start = ticks_;
    lastTick_ = Clock::now();
    const bool succeeded = (this->*column.run)();
    NoteTick();  // the first tick after the wait's end

    const bool expectSuccess = !stop && row.outcome == FaultOutcome::Retried;
    EXPECT_EQ(succeeded, expectSuccess);
    const std::size_t expectedSends = ExpectedSends(row.outcome, stop, cleanSends);
    EXPECT_EQ(RequestsWhenSettled(column, expectedSends), expectedSends);
    EXPECT_LE(longestGap_, kTickWithin) << "a wait looks at the clock and the stop often";
    // Every guard of the operation was released.
    EXPECT_TRUE(host_.linkCheckEnabled);
    EXPECT_TRUE(host_.pagesEnabled);
    EXPECT_FALSE(host_.busy);
    if (stop || row.outcome == FaultOutcome::Lost) {
        // Up to the end of the stopped wait: what is still owed to the device
        // after it (the end of a history access) may wait for its answer.
        const std::uint32_t end = stop ? firstLookAfterStop_.value_or(ticks_) : ticks_.load();
        EXPECT_LT(end - start, DeviceLink::kAnswerTimeoutMs) << "no wait for an answer";
    }
    if (stop) {
        EXPECT_TRUE(StopShowedOnlyItsLoss(row, dialogs_.errors, column.failureErrors));
    } else {
        EXPECT_EQ(dialogs_.errors,
                  expectSuccess ? std::vector<std::string>{} : column.failureErrors);
    }

    // Afterwards: a stopped program sends nothing more; otherwise the device
    // is used again once it answers (late answers were not taken for new ones).
    rig_.Sim().SetFaults({});
    rig_.Sim().ClearTranscript();
    target_.reset();
    if (stop) {
        EXPECT_FALSE((this->*column.run)());
        EXPECT_TRUE(rig_.Sim().Requests().empty());
        return;
    }
    if (row.outcome == FaultOutcome::Lost) {
        if (row.replugMs == 0) {
            const std::uint32_t before = ticks_;
            EXPECT_FALSE((this->*column.run)());
            EXPECT_LT(ticks_ - before, DeviceLink::kAnswerTimeoutMs)
                << "a vanished device fails fast";
            return;
        }
        ASSERT_TRUE(rig_.Sim().WaitForAppearance(2, std::chrono::seconds(5)));
        ASSERT_TRUE(rig_.Stack().Open(kCom));
    }
    EXPECT_TRUE((this->*column.run)());
}

INSTANTIATE_TEST_SUITE_P(Cells, CoreFaultMatrix,
                         ::testing::Combine(::testing::ValuesIn(FaultRows()),
                                            ::testing::ValuesIn(Columns()), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<Cell>& info) {
                             return CellName(std::get<0>(info.param).name,
                                             std::get<1>(info.param).name, std::get<2>(info.param));
                         });

}  // namespace
