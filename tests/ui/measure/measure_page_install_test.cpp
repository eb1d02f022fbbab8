#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include "measure/measure_page.h"
#include "measure/measure_page_install_qt.h"
#include "ui/app/shell_fixture.h"
#include "unit/measure/measurement_fakes.h"

namespace {

// The page inside the real main window, driven by the window's own timer step.
class MeasurePageInFormTest : public ShellFixture {
  protected:
    FakeMeasureDevice device_;
};

TEST_F(MeasurePageInFormTest, TimerStepsReadWhileTheFirstPageIsShownAndCaptionsFollowTheLanguage) {
    auto form = MakeForm();
    ASSERT_TRUE(form->StartedUp());
    std::uint32_t now = 1000;
    MeasurePage* page = InstallMeasurePage(
        *form, device_, [](std::string&) { return true; }, [&now] { return now; });
    ASSERT_EQ(form->PageControl()->currentIndex(), TForm1::PageMeasuring);
    auto* fon = Find<QLabel>(form.get(), "Label_Measure_Fon");
    ASSERT_NE(fon, nullptr);
    EXPECT_TRUE(page->isAncestorOf(fon));

    for (int i = 0; i < 3; ++i) {
        form->Timer_ProcTimer();
        now += 100;
    }
    EXPECT_EQ(fon->text(), "12,34 мкЗв/ч");
    const QString shot = BinDir() + QStringLiteral("/../screenshots/measure_in_window_ru.png");
    QDir().mkpath(BinDir() + QStringLiteral("/../screenshots"));
    EXPECT_TRUE(form->grab().save(shot, "PNG"));

    form->PageControl()->setCurrentIndex(TForm1::PageDevInfo);
    form->Timer_ProcTimer();
    EXPECT_EQ(fon->text(), "12,34 мкЗв/ч");
    form->Timer_ProcTimer();
    EXPECT_EQ(fon->text(), "--------");

    form->ApplyLanguage(Language::English);
    EXPECT_EQ(Find<QPushButton>(form.get(), "BitBtn_Measure_Dose_Reset")->text(), "Dose Reset");
    form->ApplyLanguage(Language::Russian);
    EXPECT_EQ(Find<QPushButton>(form.get(), "BitBtn_Measure_Dose_Reset")->text(), "Сброс дозы");
}

}  // namespace
