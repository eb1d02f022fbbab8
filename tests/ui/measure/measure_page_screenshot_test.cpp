#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <memory>
#include <ostream>

#include "base/language.h"
#include "measure/measure_page.h"
#include "support/recording_host.h"
#include "support/worker_settle.h"
#include "ui/screenshots.h"
#include "unit/measure/measurement_fakes.h"

namespace {

class FontScale {
  public:
    explicit FontScale(double factor) : saved_(QApplication::font()) {
        QFont font = saved_;
        font.setPointSizeF(saved_.pointSizeF() * factor);
        QApplication::setFont(font);
    }
    ~FontScale() { QApplication::setFont(saved_); }

  private:
    QFont saved_;
};

struct Shot {
    Language language;
    double scale;
    bool bootMode;
    const char* file;
};

void PrintTo(const Shot& shot, std::ostream* out) {
    *out << shot.file;
}

class MeasurePageScreenshot : public ::testing::TestWithParam<Shot> {};

// At larger fonts (as at 125 % and 150 % display scaling) the page grows with
// its texts: every text fits in its widget at the page's own size hint.
TEST_P(MeasurePageScreenshot, EveryTextFitsAndTheShotIsWritten) {
    const Shot shot = GetParam();
    SetUiLanguage(shot.language);
    FontScale scale(shot.scale);
    FakeMeasureDevice device;
    const std::uint8_t unitWindows1251[] = {0xEC, 0xEA, 0xC7, 0xE2};  // мкЗв
    for (std::uint32_t i = 0; i < 4; ++i) {
        device.memory[FakeMeasureDevice::kDoseUnitAt + i] =
            shot.language == Language::Russian ? unitWindows1251[i] : "uSv"[i];
    }
    device.SetText(FakeMeasureDevice::kDoseTextAt, "1234,56");
    device.parameters[9] = 0;
    FakeDialogs dialogs;
    StopSignal stop;
    DeviceWorker worker(stop);
    RecordingHost host;
    const bool open = !shot.bootMode;
    MeasurePage page(
        device,
        [&](std::string& notice) {
            notice = open ? ""
                          : PickText("В режиме\n\rBOOT\n\rнедоступно",
                                     "In BOOT\n\rMode is\n\rUnavaliable");
            return open;
        },
        dialogs, [] { return std::uint32_t{0}; }, worker, host);
    page.Relabel();
    page.BitBtn_Measure_ReadClick();
    page.BitBtn_Measure_ReadClick();  // the indicators show their blink colour
    ASSERT_TRUE(Settle(worker));
    page.resize(page.sizeHint());
    page.show();

    for (QLabel* label : page.findChildren<QLabel*>()) {
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
        EXPECT_GE(label->height(), label->sizeHint().height()) << label->objectName().toStdString();
    }
    for (QAbstractButton* button : page.findChildren<QAbstractButton*>()) {
        EXPECT_GE(button->width(), button->sizeHint().width())
            << button->objectName().toStdString();
    }
    for (QGroupBox* group : page.findChildren<QGroupBox*>()) {
        EXPECT_GE(group->width(), group->fontMetrics().horizontalAdvance(group->title()));
    }
    const auto* fon = page.findChild<QLabel*>("Label_Measure_Fon");
    EXPECT_GT(fon->font().pointSizeF(), 2 * QApplication::font().pointSizeF());
    if (shot.bootMode) {
        EXPECT_EQ(fon->text(), "--------");
    } else {
        EXPECT_EQ(fon->text(), PickText("12,34 мкЗв/ч", "12,34 uSv/h"));
        EXPECT_EQ(page.findChild<QLabel*>("Label_Measure_Dose")->text(),
                  PickText("1234,56 мкЗв", "1234,56 uSv"));
    }

    const QString path = ScreenshotPath(shot.file);
    EXPECT_TRUE(page.grab().save(path, "PNG")) << path.toStdString();
    SetUiLanguage(Language::Russian);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, MeasurePageScreenshot,
    ::testing::Values(Shot{Language::Russian, 1.0, false, "measure_ru.png"},
                      Shot{Language::English, 1.0, false, "measure_en.png"},
                      Shot{Language::Russian, 1.25, false, "measure_ru_125.png"},
                      Shot{Language::English, 1.5, false, "measure_en_150.png"},
                      Shot{Language::Russian, 1.5, true, "measure_ru_boot_150.png"}),
    [](const ::testing::TestParamInfo<Shot>& info) {
        return std::string(info.param.language == Language::Russian ? "Russian" : "English") +
               std::to_string(static_cast<int>(info.param.scale * 100)) +
               (info.param.bootMode ? "Boot" : "");
    });

}  // namespace
