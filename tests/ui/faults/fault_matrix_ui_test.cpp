#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <tuple>

#include "protocol/device_models.h"
#include "sim/simulated_device.h"
#include "support/fault_rows.h"
#include "support/log_lines.h"
#include "ui/app/shell_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCom = 9;
constexpr int kWaitMs = 10000;
constexpr auto kTickWithin = std::chrono::milliseconds(200);

// Records when the window's timer last fired.
class TickRecorder : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer && on) {
            last = Clock::now();
        }
        return QObject::eventFilter(watched, event);
    }
    bool on = false;
    std::optional<Clock::time_point> last;
};

class UiFaultMatrix;

// One operation of the window: how to bring it to the point where the fault
// hits, and what the user sees when it failed.
struct UiColumn {
    const char* name;
    int group;
    int code;
    bool faultBeforePlugIn;
    void (*start)(UiFaultMatrix& test);
    bool (*failed)(UiFaultMatrix& test);
    std::vector<std::string> failureErrors;
};

using UiCell = std::tuple<FaultRow, UiColumn, bool>;

// The main window against the simulated dosimeter in a private port folder.
class UiFaultMatrix : public ShellFixture, public ::testing::WithParamInterface<UiCell> {
  protected:
    void SetUp() override {
        ShellFixture::SetUp();
        form_ = StartWindowOnPrivatePorts(portDir_);
        form_->findChild<QTimer*>(QStringLiteral("Timer_Proc"))->installEventFilter(&ticks_);
    }

  public:
    void PlugIn() { ASSERT_TRUE(sim_.PlugIn(portDir_, kCom)) << sim_.LastError(); }

    // Until the first automatic read has ended: its dose, read last, is shown.
    // The rate alone is shown before the read writes the dose refresh word.
    void WaitUntilReading() {
        ASSERT_TRUE(WaitShown(
            *form_, [this] { return form_->DeviceRecognized(); }, kWaitMs))
            << form_->Log().Text();
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return Shown(FonText()) && Shown(LabelText("Label_Measure_Dose")); },
            kWaitMs));
    }

    QString LabelText(const char* name) { return Find<QLabel>(form_.get(), name)->text(); }
    QString FonText() { return LabelText("Label_Measure_Fon"); }
    static bool Shown(const QString& value) {
        return value != QStringLiteral("--------") && !value.isEmpty();
    }

    // Counts the requests of this kind on the device worker, in a job queued
    // once the first of them reached the device: it runs when the job that
    // met the fault has ended, before any later step (a port scan after a lost
    // connection) can send the same request again.
    void CountSendsWhenTheOperationEnds(int group, int code) {
        WhenReady([this, group, code] { return sim_.CountRequests(group, code) > 0; },
                  [this, group, code] {
                      form_->Worker().Post(
                          [this, group, code] { sendsAtEnd_ = sim_.CountRequests(group, code); });
                  });
    }

    bool LogHas(const std::string& line) const { return CountLines(form_->Log(), line) > 0; }

    // Calls `action` from the event loop as soon as `ready` holds, also from
    // inside a wait's event processing.
    void WhenReady(std::function<bool()> ready, std::function<void()> action) {
        auto* poll = new QTimer(form_.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, ready, action] {
            if (ready()) {
                poll->stop();
                action();
            }
        });
        poll->start(5);
    }

    static constexpr std::size_t kNotCounted = SIZE_MAX;

    std::string portDir_;
    SimulatedDevice sim_{SimOptions{}};
    TickRecorder ticks_;
    // Set on the worker; outlives the window, whose worker is stopped first.
    std::atomic<std::size_t> sendsAtEnd_{kNotCounted};
    std::unique_ptr<TForm1> form_;

    void AutoRead(bool on) {
        auto* box = Find<QCheckBox>(form_.get(), "CheckBox_Measure_AutoRead");
        if (box->isChecked() != on) {
            box->click();
        }
    }
    void ClickDoseReset() { Find<QPushButton>(form_.get(), "BitBtn_Measure_Dose_Reset")->click(); }
    // Opens a page and clicks one of its buttons, as the user does.
    void ClickOnPage(int page, const char* button) {
        Pages(*form_)->setCurrentIndex(page);
        Find<QPushButton>(form_.get(), button)->click();
    }
    bool HasError(const std::string& text) const {
        return std::find(dialogs_.errors.begin(), dialogs_.errors.end(), text) !=
               dialogs_.errors.end();
    }
};

const std::vector<UiColumn>& UiColumns() {
    static const std::vector<UiColumn> columns = {
        {"ConnectionTest",
         0x01,
         0x00,
         false,
         [](UiFaultMatrix& t) { t.AutoRead(false); },
         [](UiFaultMatrix& t) { return !t.form_->Connected(); },
         {}},
        {"Identification",
         0x01,
         0x01,
         true,
         [](UiFaultMatrix&) {},
         [](UiFaultMatrix& t) { return t.LogHas("# ERROR: \"Read BoardCode\""); },
         {}},
        {"MeasurementRead",
         0x01,
         0x02,
         false,
         [](UiFaultMatrix&) {},
         [](UiFaultMatrix& t) { return t.FonText() == QStringLiteral("--------"); },
         {}},
        {"DoseReset",
         0x01,
         0x0F,
         false,
         [](UiFaultMatrix& t) {
             t.AutoRead(false);
             t.ClickDoseReset();
         },
         [](UiFaultMatrix& t) { return t.HasError("Error Reseting Accumulated Dose"); },
         {"No answer - Parameter WRITE", "Error Reseting Accumulated Dose"}},
        // The end of the history access is still sent after the failed read.
        {"HistoryRead",
         0x02,
         0x02,
         false,
         [](UiFaultMatrix& t) { t.ClickOnPage(TForm1::PageDevHistory, "BitBtn_HIS_Read"); },
         [](UiFaultMatrix& t) { return t.HasError("Error of History reading"); },
         {"No answer - Parameter WRITE", "Error of History reading"}},
        {"SettingsRead",
         0x01,
         0x0E,
         false,
         [](UiFaultMatrix& t) {
             t.ClickOnPage(FindSupportedModel(310)->pageNumber, "BitBtn_Setup_K310_Read");
         },
         [](UiFaultMatrix& t) { return t.HasError("Error reading Parameters"); },
         {"Error reading Parameters"}},
    };
    return columns;
}

const std::vector<FaultRow> UiRows() {
    std::vector<FaultRow> rows;
    for (const FaultRow& row : FaultRows()) {
        if (row.outcome != FaultOutcome::Retried && row.replugMs == 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

using WindowFaults = UiFaultMatrix;

// The wait on a device that no longer answers: the failure the user sees, a
// timer that kept ticking, and, when the window is closed during the wait,
// the close carried out with the log saved.
TEST_P(WindowFaults, TheWaitEndsAsSpecifiedAndTheWindowStaysResponsive) {
    const auto& [row, column, stop] = GetParam();
    const FaultRule rule = RuleFor(row, column.group, column.code);
    if (column.faultBeforePlugIn) {
        sim_.SetFaults({rule});
        PlugIn();
        ASSERT_TRUE(WaitShown(
            *form_, [this] { return form_->Connected(); }, kWaitMs));
    } else {
        PlugIn();
        WaitUntilReading();
        sim_.SetFaults({rule});
        sim_.ClearTranscript();
    }
    dialogs_.errors.clear();
    ticks_.on = true;
    bool closeAsked = false;
    if (stop) {
        WhenReady([&] { return sim_.CountRequests(column.group, column.code) > 0; },
                  [&] {
                      closeAsked = true;
                      ticks_.on = false;
                      form_->close();
                  });
    } else {
        CountSendsWhenTheOperationEnds(column.group, column.code);
    }
    column.start(*this);

    // A stopped program sends nothing after the stop: what it sent by its end is the count.
    std::size_t sends = 0;
    const bool ended = QTest::qWaitFor(
        [&] {
            if (stop) {
                sends = sim_.CountRequests(column.group, column.code);
                return SavedLog().contains("# END: ");
            }
            sends = sendsAtEnd_;
            return column.failed(*this) && sends != kNotCounted;
        },
        kWaitMs);
    ASSERT_TRUE(ended) << form_->Log().Text();
    EXPECT_EQ(sends, ExpectedSends(row.outcome, stop, 1));
    if (stop) {
        EXPECT_TRUE(closeAsked);
        EXPECT_TRUE(form_->StopRequested());
        EXPECT_TRUE(StopShowedOnlyItsLoss(row, dialogs_.errors, column.failureErrors));
        return;
    }
    EXPECT_EQ(dialogs_.errors, column.failureErrors);
    // The first tick after the wait's end comes as usual.
    const Clock::time_point end = Clock::now();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks_.last && *ticks_.last > end; }, 1000));
    EXPECT_LE(*ticks_.last - end, kTickWithin);
}

INSTANTIATE_TEST_SUITE_P(Cells, WindowFaults,
                         ::testing::Combine(::testing::ValuesIn(UiRows()),
                                            ::testing::ValuesIn(UiColumns()), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<UiCell>& info) {
                             return CellName(std::get<0>(info.param).name,
                                             std::get<1>(info.param).name, std::get<2>(info.param));
                         });

}  // namespace
