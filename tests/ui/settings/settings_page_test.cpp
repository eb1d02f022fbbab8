#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "base/language.h"
#include "protocol/device_models.h"
#include "settings/settings_page.h"
#include "support/qt_application.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "support/sim_on_stack.h"
#include "support/worker_settle.h"
#include "ui/screenshots.h"

namespace {

[[maybe_unused]] const auto* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationOnce);

std::string Tag() {
    return ::testing::TestWithParam<SimModel>::GetParam() == SimModel::K310 ? "K310" : "K520";
}

// A settings page of the simulated device's model, standalone in a tab widget,
// over the real device stack.
class SettingsPageTest : public ::testing::TestWithParam<SimModel> {
  protected:
    SettingsPageTest() {
        EXPECT_EQ(rig_.Error(), "");
        SettingsPageContext context{{rig_.Stack().Commands(), host_, dialogs_, log_,
                                     [](const std::string&) { return true; },
                                     [this] {
                                         ++restarts_;
                                         return true;
                                     },
                                     PcLocalTime},
                                    worker_,
                                    [this] { return loadPath_; }};
        page_ = new SettingsPage(*FindSupportedModel(GetParam() == SimModel::K310 ? 310 : 520),
                                 std::move(context));
        tabs_.addTab(new QWidget, "Measure");
        tabs_.addTab(page_, "?");
        page_->BindPageControl(&tabs_);
        // Built in the default Russian: the tests switch its captions by Relabel.
        SetUiLanguage(Language::English);
    }
    ~SettingsPageTest() override { SetUiLanguage(Language::Russian); }

    static SimOptions Options() {
        SimOptions options;
        options.model = GetParam();
        options.deviceTime = 0;
        return options;
    }
    DeviceStackOptions StackOptions() {
        DeviceStackOptions options;
        options.log = &log_;
        return options;
    }
    template <typename T>
    T* Find(const std::string& kind, const std::string& role) {
        const std::string name = kind + "_Setup_" + Tag() + "_" + role;
        T* widget = page_->findChild<T*>(QString::fromStdString(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QComboBox* List(const std::string& role) { return Find<QComboBox>("ComboBox", role); }
    QCheckBox* Box(const std::string& role) { return Find<QCheckBox>("CheckBox", role); }
    // The action runs on the worker; its boxes and the widgets follow before this returns.
    void Click(const std::string& role) {
        Find<QPushButton>("BitBtn", role)->click();
        EXPECT_TRUE(Settle(worker_));
    }
    void SaveShot(const std::string& language) {
        tabs_.setCurrentWidget(page_);
        tabs_.show();
        tabs_.resize(tabs_.sizeHint());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs_));
        const QString file = QString::fromStdString("settings_" + Tag() + "_" + language + ".png");
        EXPECT_TRUE(tabs_.grab().save(ScreenshotPath(file), "PNG"));
    }

    AppLog log_;
    RecordingDialogs dialogs_;
    RecordingHost host_;
    SimOnStack rig_{Options(), StackOptions(), 8, SimOnStack::StoppedClock()};
    QTabWidget tabs_;
    SettingsPage* page_ = nullptr;
    int restarts_ = 0;
    std::string loadPath_;
    // Goes first: no job outlives the page and the stack it works on.
    StopSignal stop_;
    DeviceWorker worker_{stop_};
};

TEST_P(SettingsPageTest, ReadsTheDeviceIntoItsWidgets) {
    page_->Relabel();
    EXPECT_EQ(tabs_.tabText(1), "Settings");
    EXPECT_EQ(List("Units")->currentIndex(), -1);  // nothing before a read
    rig_.ForceParameter(9, 1);
    rig_.ForceParameter(7, 12);
    rig_.ForceParameter(17, 0);
    rig_.ForceParameter(3, 0);
    Click("Read");
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(List("Units")->currentText(), "Roentgen");
    EXPECT_EQ(List("Fon_Level")->currentText(), "1 mR/h");
    EXPECT_EQ(List("Screen_TOff")->currentText(), "Always ON");
    EXPECT_EQ(Box("Sound_EN")->isChecked(), GetParam() == SimModel::K310);
    EXPECT_EQ(Find<QLineEdit>("Edit", "Time")->text(), "[01.01.2000]-[00:00:00]");
    EXPECT_EQ(Find<QLineEdit>("Edit", "Calibr")->text(),
              GetParam() == SimModel::K310 ? "1,27" : "1,00");
    EXPECT_TRUE(host_.pagesEnabled);
    EXPECT_TRUE(host_.linkCheckEnabled);
    SaveShot("en");
}

TEST_P(SettingsPageTest, UnitsPastTheListLeaveItEmptyAndShowTheCpmColumn) {
    rig_.ForceParameter(9, 3);
    rig_.ForceParameter(8, 15);
    Click("Read");
    EXPECT_EQ(List("Units")->currentIndex(), -1);
    EXPECT_EQ(List("Fon_Level")->itemText(0), "60 CPM");
    EXPECT_EQ(List("Dose_Level")->currentIndex(), -1);
    EXPECT_EQ(List("Dose_Level")->itemText(14), "1e12 PULSES");
    page_->Relabel();  // the column stays while the units list shows nothing
    EXPECT_EQ(List("Fon_Level")->itemText(15), "20000 CPM");
}

TEST_P(SettingsPageTest, DefaultAloneCannotBeSavedButAfterAReadItIs) {
    dialogs_.answerYes = true;
    Click("Default");
    EXPECT_EQ(List("Fon_Level")->currentText(), "1,2 uSv/h");
    EXPECT_EQ(List("Dose_Level")->currentText(), "100 Sv");
    Click("Write");
    EXPECT_EQ(dialogs_.errors,
              (std::vector<std::string>{"Some Settings undefined\n\rSaving unavaliable"}));
    EXPECT_EQ(rig_.Sim().CountRequests(0x01, 0x0F), 0u);

    rig_.ForceParameter(16, 3);
    Click("Read");
    Click("Default");
    EXPECT_EQ(List("Screen_Bright")->currentText(), "2");
    if (GetParam() == SimModel::K310) {
        Find<QComboBox>("ComboBox", "Alarm_H")->setEditText("7");
    } else {
        Box("Led_Lights")->setChecked(false);
    }
    Click("Write");
    EXPECT_EQ(dialogs_.questions.size(), 2u);  // the save, then the restart offer
    EXPECT_EQ(restarts_, 1);
    EXPECT_EQ(rig_.Parameter(16), 1u);
    EXPECT_EQ(rig_.Parameter(21), GetParam() == SimModel::K310 ? 7u : 0u);
    EXPECT_EQ(rig_.Parameter(20), 0u);
}

TEST_P(SettingsPageTest, SelectionsSurviveALanguageSwitchAndAUnitsChange) {
    page_->Relabel();
    Click("Read");
    List("Fon_Level")->setCurrentIndex(8);
    List("History_M")->setCurrentIndex(0);
    QComboBox* units = List("Units");
    units->setCurrentIndex(1);
    emit units->activated(1);
    EXPECT_EQ(List("Fon_Level")->currentText(), "120 uR/h");

    SetUiLanguage(Language::Russian);
    page_->Relabel();
    EXPECT_EQ(tabs_.tabText(1), QString::fromUtf8("Настройки"));
    EXPECT_EQ(units->currentText(), QString::fromUtf8("Рентген"));
    EXPECT_EQ(List("Fon_Level")->currentIndex(), 8);
    EXPECT_EQ(List("Fon_Level")->currentText(), QString::fromUtf8("120 мкР/ч"));
    EXPECT_EQ(List("History_M")->currentText(), QString::fromUtf8("По времени"));
    EXPECT_EQ(Find<QPushButton>("BitBtn", "Read")->text(), QString::fromUtf8("Прочитать"));
    SaveShot("ru");
}

TEST_P(SettingsPageTest, CalibrationFieldFiltersKeysAndSavesTheNormalForm) {
    QLineEdit* field = Find<QLineEdit>("Edit", "Calibr");
    field->clear();
    QTest::keyClicks(field, "1a .x5");
    EXPECT_EQ(field->text(), "1.5");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "1.");
    dialogs_.answerYes = true;
    Click("Calibr_Save");
    EXPECT_EQ(field->text(), "1,00");
    EXPECT_EQ(rig_.Parameter(4), 100u);
}

TEST_P(SettingsPageTest, LoadsAFileIntoTheWidgetsAndSendsNothing) {
    Click("Read");
    List("Dose_Level")->setCurrentIndex(2);
    dialogs_.saveAs = rig_.Folder() + "/saved.json";
    Click("Save_File");
    Click("Default");
    ASSERT_EQ(List("Dose_Level")->currentIndex(), 14);
    rig_.Sim().ClearTranscript();
    loadPath_ = dialogs_.saveAs;
    Click("Load_File");
    EXPECT_EQ(List("Dose_Level")->currentIndex(), 2);
    EXPECT_TRUE(rig_.Sim().Requests().empty());

    loadPath_ = rig_.Folder() + "/missing.json";
    Click("Load_File");
    EXPECT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_EQ(List("Dose_Level")->currentIndex(), 2);
}

TEST_P(SettingsPageTest, ShowAndHideToggleItsTab) {
    page_->Hide();
    EXPECT_FALSE(tabs_.isTabVisible(1));
    page_->Show();
    EXPECT_TRUE(tabs_.isTabVisible(1));
}

INSTANTIATE_TEST_SUITE_P(BothModels, SettingsPageTest,
                         ::testing::Values(SimModel::K310, SimModel::K520), [](const auto& info) {
                             return info.param == SimModel::K310 ? "K310" : "K520";
                         });

}  // namespace
