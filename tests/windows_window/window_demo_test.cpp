#include <QPushButton>

#include "history/history_chart_widget.h"
#include "protocol/device_models.h"
#include "sim/demo_device.h"
#include "window_fixture.h"

namespace {

class WindowDemo : public WindowFixture {
  protected:
    // Every captioned control of the current page at least as large as it
    // asks to be, at the window's least size: nothing is cut off.
    static void ExpectNothingCut(TForm1& form, const std::string& language) {
        QTabWidget* pages = Pages(form);
        form.resize(form.minimumSizeHint());
        QApplication::processEvents();
        for (QWidget* control : pages->currentWidget()->findChildren<QWidget*>()) {
            const bool captioned = qobject_cast<QLabel*>(control) != nullptr ||
                                   qobject_cast<QAbstractButton*>(control) != nullptr ||
                                   qobject_cast<QComboBox*>(control) != nullptr;
            if (captioned && control->isVisible()) {
                const QSize wanted = control->sizeHint();
                EXPECT_TRUE(control->width() >= wanted.width() &&
                            control->height() >= wanted.height())
                    << language << " page " << pages->currentIndex() << " "
                    << control->objectName().toStdString();
            }
        }
    }

    // The pages a K310 shows, in both languages, each checked and, when
    // DRAVO_SHOT_DIR names a folder, shot into it as <page>-<language>.png.
    static void ShootEveryPage(TForm1& form) {
        const QString folder = qEnvironmentVariable("DRAVO_SHOT_DIR");
        QTabWidget* pages = Pages(form);
        auto* language = Find<QAction>(&form, QStringLiteral("Action_Language"));
        // With the two built-in models a page's number is also its tab's index.
        const int shown[] = {TForm1::PageMeasuring, TForm1::PageDevHistory,
                             FindSupportedModel(310)->pageNumber, TForm1::PageDevInfo,
                             TForm1::PageLog};
        pages->setTabVisible(TForm1::PageLog, true);
        for (const char* name : {"en", "ru"}) {
            for (const int index : shown) {
                pages->setCurrentIndex(index);
                ExpectNothingCut(form, name);
                form.resize(std::max(form.width(), 900), std::max(form.height(), 600));
                QApplication::processEvents();
                if (!folder.isEmpty()) {
                    EXPECT_TRUE(form.grab().save(
                        QStringLiteral("%1/%2-%3.png").arg(folder).arg(index).arg(name)));
                }
            }
            language->trigger();
            QApplication::processEvents();
        }
    }
};

// The simulated dosimeter of --demo, on its line in memory: found by the scan
// once plugged in, its history read and charted, its settings saved with the
// restart that follows, and every page drawn by the system's fonts.
TEST_F(WindowDemo, IsIdentifiedReadsItsHistoryAndRestartsAfterASettingsSave) {
    DemoDevice demo;
    ASSERT_TRUE(demo.PreparePortFolder());
    auto form = MakeEnglishForm();
    ASSERT_TRUE(form->StartedUp());
    ASSERT_TRUE(WaitForStartPortsRecorded(*form));
    demo.Start();
    ASSERT_TRUE(WaitForStatus(*form, QStringLiteral("RDK-310")))
        << form->findChild<QLabel*>(QStringLiteral("Panel_Bottom_Info_Text"))->text().toStdString();
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("Panel_COM"))->text(),
              QStringLiteral("COM 7"));

    Pages(*form)->setCurrentIndex(TForm1::PageDevHistory);
    Click(*form, QStringLiteral("BitBtn_HIS_Read"));
    auto* chart = Find<HistoryChartWidget>(form.get(), QString());
    ASSERT_NE(chart, nullptr);
    EXPECT_GT(chart->PointCount(1), 0);
    EXPECT_TRUE(chart->TitleLines().value(0).startsWith(QStringLiteral("Hostory for ")));

    Pages(*form)->setCurrentIndex(FindSupportedModel(310)->pageNumber);
    Click(*form, QStringLiteral("BitBtn_Setup_K310_Read"));
    Click(*form, QStringLiteral("BitBtn_Setup_K310_Write"));
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{});
    EXPECT_EQ(dialogs_.questions.size(), 2u);  // the save, then the restart offer
    ASSERT_TRUE(QTest::qWaitFor([&] { return demo.Device()->PlugCount() >= 2; }, 20000));
    ASSERT_TRUE(WaitForStatus(*form, QStringLiteral("RDK-310")));

    // The measurement page reads by itself every second while it is shown.
    Pages(*form)->setCurrentIndex(TForm1::PageMeasuring);
    auto* rate = Find<QLabel>(form.get(), QStringLiteral("Label_Measure_Fon"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return rate->text().contains(QStringLiteral("uSv/h")); }, 10000))
        << rate->text().toStdString();

    ShootEveryPage(*form);
    EXPECT_EQ(RegistryOption(L"LANGUAGE"), std::optional<DWORD>(2));
    form.reset();
    EXPECT_EQ(RegistryOption(L"PAGENUM"), std::optional<DWORD>(TForm1::PageLog));
}

}  // namespace
