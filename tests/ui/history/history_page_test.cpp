#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/language.h"
#include "history/history_chart_widget.h"
#include "history/history_commands_device.h"
#include "history/history_page.h"
#include "protocol/identification.h"
#include "support/file_text.h"
#include "support/log_lines.h"
#include "support/qt_application.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "support/scoped_env.h"
#include "support/sim_history.h"
#include "support/sim_on_stack.h"
#include "support/worker_settle.h"
#include "ui/screenshots.h"

namespace {

[[maybe_unused]] const auto* const historyQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationOnce);

// 2023-03-07 14:05:09, with three days of records behind it.
constexpr std::uint32_t kNow = 731513109;

// The history page on its own over an identified simulated K310 with a
// stopped clock, archiving into the test's own folder.
class HistoryPageTest : public ::testing::Test {
  protected:
    HistoryPageTest() {
        SetUiLanguage(Language::English);
        EXPECT_EQ(rig_.Error(), "");
        EXPECT_TRUE(Identify(rig_.Stack().Commands(), log_, info_));
        page_ = std::make_unique<HistoryPage>(HistoryPageContext{
            device_, host_, *worker_, dialogs_, &log_,
            [this](std::string& notice) {
                if (!gateOpen_) {
                    notice = "In BOOT\n\rMode is\n\rUnavaliable";
                }
                return gateOpen_;
            },
            [] { return 2; }, [this] { return std::optional<DeviceInfo>(info_); }});
        page_->resize(900, 560);
        page_->show();
    }
    ~HistoryPageTest() override {
        worker_->Shutdown();
        page_.reset();
        SetUiLanguage(Language::Russian);
    }

    template <typename T>
    T* Find(const char* name) {
        T* found = page_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Clicks and waits until the job it posted and what it shows are done.
    void Click(const char* name) {
        Find<QPushButton>(name)->click();
        EXPECT_TRUE(Settle(*worker_));
    }

    // Chooses a source and waits until what it shows is there.
    void ChooseSource(const char* name) {
        Find<QRadioButton>(name)->click();
        EXPECT_TRUE(Settle(*worker_));
    }

    static SimOptions Options() {
        SimOptions options;
        options.deviceTime = kNow;
        options.history.recordWhileRunning = false;
        return options;
    }

    void AddRecords(std::uint32_t count) { AddMinuteRecords(rig_.Sim(), count); }
    std::size_t FlashReads() const { return rig_.Sim().CountRequests(2, 0x02); }

    // Value and colour of every point of the chart's three series.
    std::vector<std::pair<double, QRgb>> Points() const {
        HistoryChartWidget* chart = page_->Chart();
        std::vector<std::pair<double, QRgb>> points;
        for (int series = 0; series < HistoryChartWidget::kSeriesCount; ++series) {
            for (int i = 0; i < chart->PointCount(series); ++i) {
                points.emplace_back(chart->PointValue(series, i),
                                    chart->PointColor(series, i).rgb());
            }
        }
        return points;
    }

    // Climbs the chart by `levels`, as clicks on Up do.
    void Up(int levels = 1) {
        for (int i = 0; i < levels; ++i) {
            Find<QPushButton>("BitBtn_HIS_Up")->click();
        }
    }

    void DoubleClickBar(int bar) {
        HistoryChartWidget* chart = page_->Chart();
        const QPoint at = chart->BarRect(bar).center();
        QTest::mouseClick(chart, Qt::LeftButton, {}, at);
        QTest::mouseDClick(chart, Qt::LeftButton, {}, at);
    }

    SimOnStack rig_{Options(), {}, 6, SimOnStack::StoppedClock()};
    ScopedEnv dataHome_{"XDG_DATA_HOME", rig_.Folder() + "/data"};
    const std::string archivePath_ = rig_.Folder() + "/data/DRAVO/history.sqlite3";
    DeviceInfo info_;
    CommandsHistoryDevice device_{rig_.Stack().Commands()};
    RecordingHost host_;
    std::unique_ptr<DeviceWorker> worker_ = std::make_unique<DeviceWorker>(host_.Stop());
    RecordingDialogs dialogs_;
    AppLog log_;
    bool gateOpen_ = true;
    std::unique_ptr<HistoryPage> page_;
};

TEST_F(HistoryPageTest, ReadingShowsProgressRefusesPageChangesAndDrawsTheMinute) {
    auto* read = Find<QPushButton>("BitBtn_HIS_Read");
    auto* progress = Find<QProgressBar>("ProgressBar_HIS_Read");
    auto* panel = Find<QWidget>("Panel_HIS_Buttons");
    auto* save = Find<QPushButton>("BitBtn_HIS_Save_CSV");
    EXPECT_EQ(read->text(), QStringLiteral("Read"));
    EXPECT_FALSE(panel->isEnabled());

    std::vector<int> values;
    int maximumDuringReading = 0;
    bool refusedDuringReading = true;
    QString captionDuringReading;
    QObject::connect(progress, &QProgressBar::valueChanged, [&](int value) {
        values.push_back(value);
        maximumDuringReading = std::max(maximumDuringReading, progress->maximum());
        refusedDuringReading = refusedDuringReading && !page_->PageControl1Changing();
        if (captionDuringReading.isEmpty() && value > 0) {
            captionDuringReading = read->text();
            SetUiLanguage(Language::Russian);
            page_->Relabel();
            captionDuringReading += "/" + read->text();
            SetUiLanguage(Language::English);
            EXPECT_FALSE(save->isEnabled());
        }
    });
    read->click();
    EXPECT_TRUE(Settle(*worker_));

    EXPECT_TRUE(page_->History().valid);
    EXPECT_TRUE(refusedDuringReading);
    EXPECT_EQ(captionDuringReading, QString::fromUtf8("Cancel/Отмена"));
    // Three days of minute records fill 17 pages: one step per page, then back to 0.
    std::vector<int> expected;
    for (int page = 1; page <= 17; ++page) {
        expected.push_back(page);
    }
    expected.push_back(0);
    EXPECT_EQ(values, expected);
    EXPECT_EQ(maximumDuringReading, 17);
    EXPECT_TRUE(page_->PageControl1Changing());
    EXPECT_EQ(read->text(), QStringLiteral("Read"));
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(save->isEnabled());
    HistoryChartWidget* chart = page_->Chart();
    EXPECT_EQ(chart->TitleLines(),
              (QStringList{QStringLiteral("Hostory for Minute : 07.03.2023-14:05"),
                           QStringLiteral("uR/h  K = 1,27")}));
    EXPECT_EQ(chart->PointCount(1), 6);
    EXPECT_EQ(rig_.Sim().WithModel([](DeviceModel& model) { return model.HistoryAccessOpen(); }),
              false);
}

TEST_F(HistoryPageTest, DrillsDownByDoubleClickAndSavesTheCsv) {
    Click("BitBtn_HIS_Read");
    ASSERT_TRUE(page_->History().valid);
    Up(2);
    HistoryChartWidget* chart = page_->Chart();
    ASSERT_EQ(chart->PointCount(1), 24);
    EXPECT_EQ(chart->TitleLines().front(), QStringLiteral("Hostory for Day : 07.03.2023"));
    // The hours before 14:00 are recorded in full; the hours after it are empty.
    EXPECT_EQ(chart->PointColor(2, 10), QColor(0x00, 0x80, 0x00));
    EXPECT_EQ(chart->PointColor(1, 20), QColor(0x00, 0x00, 0xFF));
    EXPECT_EQ(chart->BarToolTip(10),
              QStringLiteral("07.03.2023 10:00:00 - 07.03.2023 10:59:59\n%1 uR/h")
                  .arg(static_cast<int>(chart->PointValue(1, 10))));
    EXPECT_EQ(chart->BarToolTip(20),
              QStringLiteral("07.03.2023 20:00:00 - 07.03.2023 20:59:59\nno data"));

    DoubleClickBar(10);
    EXPECT_EQ(page_->ChartView().level, HistoryLevel::Hour);
    EXPECT_EQ(chart->TitleLines().front(), QStringLiteral("Hostory for Hour : 07.03.2023-10"));
    EXPECT_EQ(chart->PointCount(1), 60);

    Find<QCheckBox>("CheckBox_HIS_Show_MaxVal")->click();
    EXPECT_EQ(chart->PointColor(0, 5), QColor(0xFF, 0xFF, 0x00));
    EXPECT_GE(chart->PointValue(0, 5), chart->PointValue(1, 5));

    dialogs_.saveAs = rig_.Folder() + "/history.csv";
    Find<QPushButton>("BitBtn_HIS_Save_CSV")->click();
    EXPECT_EQ(FileText(dialogs_.saveAs), std::string(page_->History().csv.Bytes()));
    EXPECT_EQ(page_->LastCsvFileName(), dialogs_.saveAs);
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(HistoryPageTest, TheReadButtonCancelsARunningReading) {
    auto* read = Find<QPushButton>("BitBtn_HIS_Read");
    auto* progress = Find<QProgressBar>("ProgressBar_HIS_Read");
    // The second click, once the first page has been shown, is the Cancel.
    QObject::connect(progress, &QProgressBar::valueChanged, read, [read](int value) {
        if (value == 1) {
            read->click();
        }
    });
    read->click();
    EXPECT_TRUE(Settle(*worker_));
    EXPECT_FALSE(page_->History().valid);
    EXPECT_EQ(dialogs_.warnings, std::vector<std::string>{"Reading of History canceled"});
    // A page is 128 record reads; the reading ended after whole pages, before the last.
    const std::size_t recordReads = rig_.Sim().CountRequests(2, 0x02);
    EXPECT_EQ(recordReads % 128, 0u);
    EXPECT_GE(recordReads, 128u);
    EXPECT_LT(recordReads, 17u * 128u);
    EXPECT_FALSE(
        rig_.Sim().WithModel([](DeviceModel& model) { return model.HistoryAccessOpen(); }));
    EXPECT_FALSE(Find<QWidget>("Panel_HIS_Buttons")->isEnabled());
    EXPECT_EQ(page_->Chart()->TitleLines(),
              QStringList{QStringLiteral("Waiting of reading History")});
    Find<QPushButton>("BitBtn_HIS_Save_CSV")->click();
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"First read History from Device"});
}

TEST_F(HistoryPageTest, ARefusedGateShowsItsNoticeAndTheReadingError) {
    gateOpen_ = false;
    Click("BitBtn_HIS_Read");
    EXPECT_EQ(Find<QLabel>("Label_HIS_Version_Msg")->text(),
              QStringLiteral("In BOOT\nMode is\nUnavaliable"));
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"Error of History reading"});
    EXPECT_EQ(rig_.Sim().CountRequests(1, 0x0F), 0u);
}

TEST_F(HistoryPageTest, ChartScreenshotsAtYearMonthAndDay) {
    Click("BitBtn_HIS_Read");
    ASSERT_TRUE(page_->History().valid);
    HistoryChartWidget* chart = page_->Chart();
    for (Language language : {Language::English, Language::Russian}) {
        SetUiLanguage(language);
        page_->Relabel();
        Find<QPushButton>("BitBtn_HIS_To_Last")->click();
        const QString suffix = language == Language::English ? "en" : "ru";
        Up(2);
        EXPECT_TRUE(chart->SavePng(ScreenshotPath("history_day_" + suffix + ".png")));
        Up();
        EXPECT_TRUE(chart->SavePng(ScreenshotPath("history_month_" + suffix + ".png")));
        Up();
        EXPECT_TRUE(chart->SavePng(ScreenshotPath("history_year_" + suffix + ".png")));
        EXPECT_EQ(page_->ChartView().level, HistoryLevel::Year);
    }
    Find<QPushButton>("BitBtn_HIS_To_Last")->click();
    Up(2);
    // Captions changed with the language: let the layout catch up before the picture.
    QCoreApplication::sendPostedEvents();
    page_->layout()->activate();
    EXPECT_TRUE(page_->grab().save(ScreenshotPath("history_page_ru.png"), "PNG"));
}

TEST_F(HistoryPageTest,
       TheArchiveKeepsWhatTheDeviceDeletedShowsItWithItsCsvAndGivesBackTheReading) {
    auto* full = Find<QCheckBox>("CheckBox_HIS_Full");
    auto* device = Find<QRadioButton>("RadioButton_HIS_Device");
    auto* archive = Find<QRadioButton>("RadioButton_HIS_Archive");
    auto* devices = Find<QComboBox>("ComboBox_HIS_ArchiveDevice");
    EXPECT_EQ(full->text(), QStringLiteral("Full reading"));
    EXPECT_FALSE(full->isChecked());
    EXPECT_EQ(device->text(), QStringLiteral("Device"));
    EXPECT_EQ(archive->text(), QStringLiteral("Archive"));
    EXPECT_TRUE(device->isChecked());
    EXPECT_FALSE(devices->isVisible());

    Click("BitBtn_HIS_Read");
    ASSERT_TRUE(page_->History().valid);
    Up(2);
    const QStringList dayTitle = page_->Chart()->TitleLines();
    const auto readPoints = Points();
    const std::string readCsv(page_->History().csv.Bytes());

    // The device forgets its history; the next reading finds nothing.
    dialogs_.answerYes = true;
    Click("BitBtn_HIS_Delete");
    Click("BitBtn_HIS_Read");
    ASSERT_TRUE(page_->History().valid);
    ASSERT_EQ(page_->History().header.count, 0u);
    Up(2);
    const auto emptyPoints = Points();
    ASSERT_NE(emptyPoints, readPoints);

    ChooseSource("RadioButton_HIS_Archive");
    // The connected device is the one shown; the list only names it.
    EXPECT_TRUE(devices->isVisible());
    EXPECT_FALSE(devices->isEnabled());
    EXPECT_EQ(devices->currentText(),
              QStringLiteral("123-45678 (%1)").arg(QString::fromStdString(info_.modelName)));
    EXPECT_TRUE(Find<QWidget>("Panel_HIS_Buttons")->isEnabled());
    EXPECT_EQ(page_->ChartView().level, HistoryLevel::Minute);
    Up(2);
    EXPECT_EQ(page_->Chart()->TitleLines(), dayTitle);
    EXPECT_EQ(Points(), readPoints);
    EXPECT_TRUE(Find<QLabel>("Label_HIS_Archive_Msg")->text().isEmpty());

    // The records of the first reading give back that reading's CSV.
    dialogs_.saveAs = rig_.Folder() + "/archive.csv";
    Find<QPushButton>("BitBtn_HIS_Save_CSV")->click();
    EXPECT_EQ(FileText(dialogs_.saveAs), readCsv);
    EXPECT_TRUE(dialogs_.errors.empty());

    SetUiLanguage(Language::Russian);
    page_->Relabel();
    EXPECT_EQ(full->text(), QString::fromUtf8("Полное чтение"));
    EXPECT_EQ(device->text(), QString::fromUtf8("Прибор"));
    EXPECT_EQ(archive->text(), QString::fromUtf8("Архив"));
    SetUiLanguage(Language::English);
    page_->Relabel();

    Find<QPushButton>("BitBtn_HIS_Back")->click();
    ChooseSource("RadioButton_HIS_Device");
    EXPECT_FALSE(devices->isVisible());
    EXPECT_EQ(page_->ChartView().level, HistoryLevel::Day);
    EXPECT_EQ(page_->Chart()->TitleLines(), dayTitle);
    EXPECT_EQ(Points(), emptyPoints);
}

TEST_F(HistoryPageTest, ASecondReadingAsksOnlyForTheNewRecordsUnlessFullReadingIsChecked) {
    Click("BitBtn_HIS_Read");
    ASSERT_TRUE(page_->History().valid);
    const std::size_t first = FlashReads();

    AddRecords(100);
    // A reading asked for while the archive is shown shows the reading.
    ChooseSource("RadioButton_HIS_Archive");
    auto* progress = Find<QProgressBar>("ProgressBar_HIS_Read");
    int maximum = 0;
    const auto watch = QObject::connect(progress, &QProgressBar::valueChanged, [&](int value) {
        if (value > 0) {
            maximum = std::max(maximum, progress->maximum());
        }
    });
    Click("BitBtn_HIS_Read");
    QObject::disconnect(watch);
    EXPECT_TRUE(Find<QRadioButton>("RadioButton_HIS_Device")->isChecked());
    ASSERT_TRUE(page_->History().valid);
    const std::size_t second = FlashReads() - first;
    EXPECT_GT(second, 0u);
    EXPECT_LE(second, 60u);
    EXPECT_EQ(maximum, static_cast<int>(second)) << "the bar runs over the pairs asked for";
    EXPECT_EQ(page_->History().header.count,
              rig_.Sim().WithModel([](DeviceModel& model) { return model.History().Count(); }));

    AddRecords(10);
    Find<QCheckBox>("CheckBox_HIS_Full")->click();
    Click("BitBtn_HIS_Read");
    EXPECT_TRUE(page_->History().valid);
    EXPECT_GE(FlashReads() - first - second, first);
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(HistoryPageTest, AFileThatIsNoArchiveIsNamedAndTheReadingStillWorks) {
    const std::string notArchive = "these are not the records you are looking for\n";
    std::filesystem::create_directories(std::filesystem::path(archivePath_).parent_path());
    std::ofstream(archivePath_, std::ios::binary) << notArchive;

    Click("BitBtn_HIS_Read");
    EXPECT_TRUE(page_->History().valid);
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(page_->Chart()->PointCount(1), 6);
    auto* message = Find<QLabel>("Label_HIS_Archive_Msg");
    const std::string text = message->text().toStdString();
    EXPECT_NE(text.find(archivePath_), std::string::npos) << text;
    EXPECT_EQ(CountLines(log_, "# ERROR: \"History archive: " + text + "\""), 1);

    // The archive source cannot show it either: the same message over an empty chart.
    ChooseSource("RadioButton_HIS_Archive");
    EXPECT_EQ(message->text().toStdString(), text);
    EXPECT_EQ(page_->Chart()->PointCount(1), 0);
    EXPECT_FALSE(Find<QWidget>("Panel_HIS_Buttons")->isEnabled());
    EXPECT_EQ(FileText(archivePath_), notArchive);

    // Once the archive can be made, the next reading clears the message.
    std::filesystem::remove(archivePath_);
    Click("BitBtn_HIS_Read");
    EXPECT_TRUE(page_->History().valid);
    EXPECT_TRUE(message->text().isEmpty());
    EXPECT_TRUE(std::filesystem::exists(archivePath_));
}

}  // namespace
