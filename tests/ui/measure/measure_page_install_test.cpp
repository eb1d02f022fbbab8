#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <algorithm>

#include "history/archive_key.h"
#include "history/archive_path.h"
#include "history/live_archive.h"
#include "history/live_panel_widget.h"
#include "measure/measure_page.h"
#include "sim/simulated_device.h"
#include "ui/app/shell_fixture.h"
#include "ui/screenshots.h"

namespace {

constexpr int kIdentifyWithinMs = 8000;

// The measurement page inside the real main window, reading a simulated
// dosimeter through the window's own timer, port scan and identification.
class MeasurePageInFormTest : public ShellFixture {
  protected:
    void SetUp() override {
        ShellFixture::SetUp();
        portDir_ = UsePrivatePortFolder();
    }

    std::unique_ptr<TForm1> StartWithDevice(SimulatedDevice& device) {
        auto form = MakeForm();
        EXPECT_TRUE(form->StartedUp());
        form->show();
        WaitForStartPortsRecorded(*form);
        EXPECT_TRUE(device.PlugIn(portDir_, 5)) << device.LastError();
        EXPECT_TRUE(WaitShown(
            *form, [&] { return form->Connected(); }, kIdentifyWithinMs));
        return form;
    }

    static void SaveShot(TForm1& form, const char* name) {
        EXPECT_TRUE(form.grab().save(ScreenshotPath(QLatin1String(name)), "PNG"));
    }

    std::string portDir_;
};

TEST_F(MeasurePageInFormTest, ShowsTheLiveDoseRateAndDoseOfTheConnectedDevice) {
    SimulatedDevice device(SimOptions{});
    auto form = StartWithDevice(device);
    ASSERT_TRUE(WaitShown(
        *form, [&] { return form->DeviceRecognized(); }, kIdentifyWithinMs));
    auto* fon = Find<QLabel>(form.get(), "Label_Measure_Fon");
    auto* dose = Find<QLabel>(form.get(), "Label_Measure_Dose");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return fon->text().endsWith(QString::fromUtf8(" мкЗв/ч")); }, 3000))
        << fon->text().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dose->text() != QStringLiteral("--------"); }, 3000));
    EXPECT_TRUE(fon->text().contains(','));
    EXPECT_TRUE(Pages(*form)->isEnabled());
    SaveShot(*form, "measure_in_window_ru.png");

    // The window's timer goes on reading; the period itself is checked on the
    // fake clock (AutomaticReadTest), so one more read is enough here.
    const std::size_t before = device.CountRequests(0x01, 0x02);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return device.CountRequests(0x01, 0x02) - before >= 2u; }, 3000));

    form->ApplyLanguage(Language::English);
    EXPECT_EQ(Find<QPushButton>(form.get(), "BitBtn_Measure_Dose_Reset")->text(), "Dose Reset");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return fon->text().endsWith(QStringLiteral(" uSv/h")); }, 3000));
    SaveShot(*form, "measure_in_window_en.png");

    // Leaving the page blanks it at the next tick.
    Pages(*form)->setCurrentIndex(TForm1::PageDevInfo);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fon->text() == QStringLiteral("--------"); }, 1000));
    EXPECT_EQ(Find<QProgressBar>(form.get(), "ProgressBar_Measure_Fon")->value(), 0);

    // Every reading plotted is in the archive once the window has closed.
    const std::vector<LiveReading> plotted =
        Find<LivePanelWidget>(form.get(), "LivePanel")->ShownReadings();
    EXPECT_GE(plotted.size(), 3u);
    const ArchiveDeviceKey key = ArchiveKeyOf(form->Device());
    form.reset();
    HistoryArchive archive(ArchiveFilePath());
    ASSERT_TRUE(archive.Open()) << archive.Error();
    const auto archived = archive.DeviceId(key, false);
    ASSERT_TRUE(archived);
    const std::vector<LiveReading> kept = LiveArchive(archive).Readings(*archived, 0, INT64_MAX);
    for (const LiveReading& reading : plotted) {
        EXPECT_NE(std::find(kept.begin(), kept.end(), reading), kept.end()) << reading.timeMs;
    }
}

TEST_F(MeasurePageInFormTest, ADeviceInBootModeGetsTheBootNoticeInsteadOfValues) {
    SimOptions options;
    options.startInBootMode = true;
    SimulatedDevice device(options);
    auto form = StartWithDevice(device);
    auto* notice = Find<QLabel>(form.get(), "Label_Measure_Version_Msg");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notice->text().isEmpty(); }, kIdentifyWithinMs));
    EXPECT_EQ(notice->text(), QString::fromUtf8("В режиме\nBOOT\nнедоступно"));
    EXPECT_EQ(Find<QLabel>(form.get(), "Label_Measure_Fon")->text(), QStringLiteral("--------"));
    EXPECT_EQ(device.CountRequests(0x01, 0x0E), 0u);
}

}  // namespace
