#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "base/language.h"
#include "measure/measure_page.h"
#include "support/qt_application.h"
#include "support/worker_settle.h"
#include "unit/measure/measurement_fakes.h"

namespace {

[[maybe_unused]] const auto* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationOnce);

// Notes the pages' switches among the boxes, so a test sees what was locked
// while a box showed.
class PagesAmongBoxes : public OperationHost {
  public:
    explicit PagesAmongBoxes(RecordingDialogs& dialogs) : dialogs_(dialogs) {}

  protected:
    void SetLinkCheckEnabled(bool) override { dialogs_.shown.push_back("link check switched"); }
    void SetPagesEnabled(bool enabled) override {
        dialogs_.shown.push_back(enabled ? "pages on" : "pages off");
    }
    void SetBusy(bool) override { dialogs_.shown.push_back("busy switched"); }

  private:
    RecordingDialogs& dialogs_;
};

class MeasurePageTest : public ::testing::Test {
  protected:
    MeasurePageTest()
        : page_(
              device_,
              [this](std::string& notice) {
                  if (!gateOpen_) {
                      notice = "In BOOT\n\rMode is\n\rUnavaliable";
                  }
                  return gateOpen_;
              },
              dialogs_, SystemTicks, worker_, host_) {}
    ~MeasurePageTest() override {
        worker_.Shutdown();
        SetUiLanguage(Language::Russian);
    }

    // One periodic step as the window posts it, shown before this returns.
    void Step() {
        page_.TakeControlStates();
        worker_.Post([this] { page_.MeasureStep(); });
        EXPECT_TRUE(Settle(worker_));
    }

    template <typename T>
    T* Find(const char* name) {
        return page_.findChild<T*>(name);
    }
    QString Text(const char* label) { return Find<QLabel>(label)->text(); }
    QColor Colour(const char* indicator) {
        return Find<QLabel>(indicator)->palette().color(QPalette::Window);
    }

    FakeMeasureDevice device_;
    FakeDialogs dialogs_;
    PagesAmongBoxes host_{dialogs_};
    bool gateOpen_ = true;
    StopSignal stop_;
    DeviceWorker worker_{stop_};
    MeasurePage page_;
};

TEST_F(MeasurePageTest, ControlsCarryTheirNamesAndInitialStates) {
    ASSERT_NE(Find<QPushButton>("BitBtn_Measure_Read"), nullptr);
    ASSERT_NE(Find<QCheckBox>("CheckBox_Measure_AutoRead"), nullptr);
    ASSERT_NE(Find<QPushButton>("BitBtn_Measure_Dose_Reset"), nullptr);
    ASSERT_NE(Find<QGroupBox>("GroupBox_Measure_Fon"), nullptr);
    ASSERT_NE(Find<QGroupBox>("GroupBox_Measure_Dose"), nullptr);
    ASSERT_NE(Find<QProgressBar>("ProgressBar_Measure_Fon"), nullptr);
    for (const char* label :
         {"Label_Measure_Fon", "Label_Measure_Indicator_Fon", "Label_Measure_Dose",
          "Label_Measure_Indicator_Dose", "Label_Measure_Version_Msg"}) {
        ASSERT_NE(Find<QLabel>(label), nullptr) << label;
    }

    EXPECT_FALSE(Find<QPushButton>("BitBtn_Measure_Read")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("CheckBox_Measure_AutoRead")->isChecked());
    EXPECT_TRUE(Find<QPushButton>("BitBtn_Measure_Dose_Reset")->isEnabled());
    EXPECT_EQ(Text("Label_Measure_Fon"), "----");
    EXPECT_EQ(Text("Label_Measure_Dose"), "----");
    EXPECT_EQ(Text("Label_Measure_Version_Msg"), "");
    EXPECT_EQ(Colour("Label_Measure_Indicator_Fon"), QColor(Qt::cyan));
    EXPECT_EQ(Colour("Label_Measure_Indicator_Dose"), QColor(Qt::cyan));
    EXPECT_EQ(Find<QLabel>("Label_Measure_Version_Msg")->palette().color(QPalette::WindowText),
              QColor(Qt::red));
    const auto* bar = Find<QProgressBar>("ProgressBar_Measure_Fon");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 120);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(MeasurePageTest, RelabelFollowsTheLanguage) {
    SetUiLanguage(Language::English);
    page_.Relabel();
    EXPECT_EQ(Find<QGroupBox>("GroupBox_Measure_Fon")->title(), "Radiation Background");
    EXPECT_EQ(Find<QGroupBox>("GroupBox_Measure_Dose")->title(), "Accumulated Dose");
    EXPECT_EQ(Find<QCheckBox>("CheckBox_Measure_AutoRead")->text(), "AutoRead");
    EXPECT_EQ(Find<QPushButton>("BitBtn_Measure_Read")->text(), "Read");
    EXPECT_EQ(Find<QPushButton>("BitBtn_Measure_Dose_Reset")->text(), "Dose Reset");
    SetUiLanguage(Language::Russian);
    page_.Relabel();
    EXPECT_EQ(Find<QGroupBox>("GroupBox_Measure_Fon")->title(), "Радиационный фон");
    EXPECT_EQ(Find<QGroupBox>("GroupBox_Measure_Dose")->title(), "Накопленная доза");
    EXPECT_EQ(Find<QCheckBox>("CheckBox_Measure_AutoRead")->text(), "Авто");
    EXPECT_EQ(Find<QPushButton>("BitBtn_Measure_Read")->text(), "Прочитать");
    EXPECT_EQ(Find<QPushButton>("BitBtn_Measure_Dose_Reset")->text(), "Сброс дозы");
}

TEST_F(MeasurePageTest, UntickingAutoEnablesReadWhichShowsTheValues) {
    SetUiLanguage(Language::English);
    page_.show();
    device_.memory[FakeMeasureDevice::kLevelAt + 2] = 200;
    auto* autoRead = Find<QCheckBox>("CheckBox_Measure_AutoRead");
    auto* read = Find<QPushButton>("BitBtn_Measure_Read");
    QTest::mouseClick(autoRead, Qt::LeftButton, {}, QPoint(4, autoRead->height() / 2));
    ASSERT_TRUE(Settle(worker_));
    EXPECT_FALSE(autoRead->isChecked());
    ASSERT_TRUE(read->isEnabled());

    QTest::mouseClick(read, Qt::LeftButton);
    ASSERT_TRUE(Settle(worker_));
    EXPECT_EQ(Text("Label_Measure_Fon"), "12,34 uSv/h");
    EXPECT_EQ(Text("Label_Measure_Dose"), "0,05 uSv");
    EXPECT_EQ(Find<QProgressBar>("ProgressBar_Measure_Fon")->value(), 120);  // 200 fills the bar
    EXPECT_NE(Colour("Label_Measure_Indicator_Fon"), QColor(Qt::cyan));
    EXPECT_TRUE(read->isEnabled());
}

TEST_F(MeasurePageTest, RefusedGateShowsTheNoticeAndBlanks) {
    SetUiLanguage(Language::English);
    gateOpen_ = false;
    page_.BitBtn_Measure_ReadClick();
    ASSERT_TRUE(Settle(worker_));
    EXPECT_EQ(Text("Label_Measure_Version_Msg"), "In BOOT\nMode is\nUnavaliable");
    EXPECT_EQ(Text("Label_Measure_Fon"), "--------");
}

TEST_F(MeasurePageTest, AutomaticReadingFollowsTheActivePage) {
    QTabWidget tabs;
    auto* other = new QWidget;
    tabs.addTab(&page_, "measure");
    tabs.addTab(other, "other");
    page_.BindPageControl(&tabs);
    tabs.setCurrentIndex(1);
    for (int i = 0; i < 5; ++i) {
        Step();
    }
    EXPECT_TRUE(device_.parameterReads.empty());
    EXPECT_EQ(Text("Label_Measure_Fon"), "--------");

    tabs.setCurrentIndex(0);
    Step();
    Step();
    EXPECT_EQ(Text("Label_Measure_Fon"), "12,34 мкЗв/ч");
    tabs.removeTab(0);
    page_.setParent(nullptr);
}

TEST_F(MeasurePageTest, ReadStaysEnabledAfterTheWindowLockedAndFreedThePages) {
    QTabWidget tabs;
    tabs.addTab(&page_, "measure");
    page_.BindPageControl(&tabs);
    page_.Logic().AutoReadClick(false);
    ASSERT_TRUE(Settle(worker_));  // the check box shows it before the step takes it
    tabs.setEnabled(false);        // a long operation elsewhere holds the pages
    Step();
    Step();
    EXPECT_FALSE(tabs.isEnabled());
    tabs.setEnabled(true);
    EXPECT_TRUE(Find<QPushButton>("BitBtn_Measure_Read")->isEnabled());
    tabs.removeTab(0);
    page_.setParent(nullptr);
}

// The reset is a job on the worker: the pages are locked while it asks and
// writes, and free again after its box.
TEST_F(MeasurePageTest, DoseResetLocksThePagesAndReportsTheWrite) {
    SetUiLanguage(Language::English);
    page_.BitBtn_Measure_Dose_ResetClick();
    ASSERT_TRUE(Settle(worker_));
    EXPECT_EQ(device_.writes,
              (std::vector<std::pair<std::uint16_t, std::uint32_t>>{{0xFF00, 0xC0BA0020}}));

    device_.failWrites = true;
    page_.BitBtn_Measure_Dose_ResetClick();
    ASSERT_TRUE(Settle(worker_));
    EXPECT_EQ(dialogs_.shown,
              (std::vector<std::string>{"pages off", "ask:RESET ACCUMULATED DOSE\n\rContinue?",
                                        "info:Accumulated Dose\nReseted", "pages on", "pages off",
                                        "ask:RESET ACCUMULATED DOSE\n\rContinue?",
                                        "error:Error Reseting Accumulated Dose", "pages on"}));
}

}  // namespace
