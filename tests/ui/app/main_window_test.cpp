#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTextBlock>

#include "app/image_list_qt.h"
#include "shell_fixture.h"
#include "support/third_model.h"

namespace {

using MainWindow = ShellFixture;

QString ActionText(TForm1& form, const char* name) {
    QAction* action = form.findChild<QAction*>(QLatin1String(name));
    return action != nullptr ? action->text() : QStringLiteral("<missing %1>").arg(name);
}

TEST_F(MainWindow, StartsInRussianOnTheFirstPageWithTheDesignedLayout) {
    auto form = MakeForm();
    ASSERT_TRUE(form->StartedUp());
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(UiLanguage(), Language::Russian);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Dravo Explorer 1.1 (21.03.2023)"));
    QTabWidget* pages = Pages(*form);
    ASSERT_EQ(pages->count(), 6);
    const char* names[] = {"TabSheet_Measuring",       "TabSheet_DevHistory",
                           "TabSheet_DevControl_K310", "TabSheet_DevControl_K520",
                           "TabSheet_DevInfo",         "TabSheet_Log"};
    const bool visible[] = {true, true, false, false, true, false};
    for (int index = 0; index < 6; ++index) {
        EXPECT_EQ(pages->widget(index)->objectName(), QLatin1String(names[index]));
        EXPECT_EQ(pages->isTabVisible(index), visible[index]) << names[index];
    }
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(Find<QLabel>(form.get(), "Panel_COM")->width(), 55);
    EXPECT_EQ(Find<QProgressBar>(form.get(), "ProgressBar_Bottom_Info")->maximum(), 100);
    EXPECT_EQ(ActionText(*form, "Action_Menu_Help"), QString::fromUtf8("Помощь"));
    EXPECT_EQ(ActionText(*form, "Action_Language"), QStringLiteral("RUS"));
    QAction* exit = Find<QAction>(form.get(), "Action_Exit");
    EXPECT_EQ(exit->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    EXPECT_TRUE(Find<QAction>(form.get(), "Action_Connection_Auto")->isChecked());
    EXPECT_FALSE(Find<QAction>(form.get(), "Action_Connection_Manual")->isChecked());
    EXPECT_FALSE(Find<QAction>(form.get(), "Action_Data_Source")->isVisible());
    EXPECT_FALSE(Find<QAction>(form.get(), "Action_Connection_Manual_List")->isEnabled());
    EXPECT_TRUE(form->LinkCheckEnabled());
    EXPECT_FALSE(form->DeviceRecognized());

    const auto& lines = form->Log().Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[1].starts_with("# START: "));
    EXPECT_EQ(lines[2], "# APP VERSION = 1.1");
}

TEST_F(MainWindow, LanguageSwitchRewritesCaptionsAndIsRemembered) {
    auto form = MakeForm();
    const QString russianTitle = form->windowTitle();
    QAction* language = Find<QAction>(form.get(), "Action_Language");
    language->trigger();
    EXPECT_EQ(UiLanguage(), Language::English);
    EXPECT_EQ(ActionText(*form, "Action_Menu_Help"), QStringLiteral("Help"));
    EXPECT_EQ(ActionText(*form, "Action_Help_About"), QStringLiteral("About Programm"));
    EXPECT_EQ(ActionText(*form, "Action_Menu_File"), QStringLiteral("File"));
    EXPECT_EQ(ActionText(*form, "Action_Language"), QStringLiteral("ENG"));
    EXPECT_EQ(ImageIndexOf(language), ImageList::kEnglish);
    EXPECT_EQ(Find<QMenu>(form.get(), "N_Nastroiki")->title(), QStringLiteral("Settings"));
    EXPECT_EQ(Pages(*form)->tabText(TForm1::PageDevInfo), QStringLiteral("About Device"));
    EXPECT_EQ(form->windowTitle(), russianTitle);
    EXPECT_EQ(StoredOption("LANGUAGE"), QStringLiteral("2"));

    language->trigger();
    EXPECT_EQ(ActionText(*form, "Action_Menu_Help"), QString::fromUtf8("Помощь"));
    EXPECT_EQ(ActionText(*form, "Action_Help_About"), QString::fromUtf8("О программе"));
    EXPECT_EQ(ActionText(*form, "Action_Connection_Manual_Number"),
              QString::fromUtf8("Номер порта :"));
    EXPECT_EQ(Pages(*form)->tabText(TForm1::PageLog), QString::fromUtf8("Лог"));
    EXPECT_EQ(ImageIndexOf(language), ImageList::kRussian);
    EXPECT_EQ(StoredOption("LANGUAGE"), QStringLiteral("1"));
}

TEST_F(MainWindow, StoredLanguageIsAppliedAtStartWithoutWritingIt) {
    StoreOption("LANGUAGE", QStringLiteral("2"));
    {
        auto form = MakeForm();
        EXPECT_EQ(ActionText(*form, "Action_Exit"), QStringLiteral("Exit"));
        EXPECT_EQ(ActionText(*form, "Action_Language"), QStringLiteral("ENG"));
    }
    StoreOption("LANGUAGE", QStringLiteral("3"));
    auto form = MakeForm();
    EXPECT_EQ(ActionText(*form, "Action_Exit"), QString::fromUtf8("Выход"));
    EXPECT_EQ(StoredOption("LANGUAGE"), QStringLiteral("3"));
}

TEST_F(MainWindow, PageIsRestoredClampedAndStoredAtShutdown) {
    StoreOption("PAGENUM", QStringLiteral("4"));
    {
        auto form = MakeForm();
        EXPECT_EQ(Pages(*form)->currentIndex(), 4);
        Pages(*form)->setCurrentIndex(1);
    }
    EXPECT_EQ(StoredOption("PAGENUM"), QStringLiteral("1"));

    StoreOption("PAGENUM", QStringLiteral("77"));
    {
        auto form = MakeForm();
        // The last page is the hidden log; the toolkit shows a visible page instead.
        const int current = Pages(*form)->currentIndex();
        EXPECT_TRUE(Pages(*form)->isTabVisible(current)) << current;
    }
    StoreOption("PAGENUM", QStringLiteral("junk"));
    auto form = MakeForm();
    EXPECT_EQ(Pages(*form)->currentIndex(), 0);
}

// The options file may hold the upload password.
TEST_F(MainWindow, TheOptionsFileIsTheUsersAloneAndKeepsWhatItHolds) {
    const std::string file = options_->FileName().toStdString();
    const auto mode = [&file] {
        struct stat info {};
        return ::stat(file.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
    };
    ASSERT_FALSE(QFile::exists(options_->FileName()));
    MakeForm().reset();
    EXPECT_EQ(mode(), 0600u);

    {
        QSettings settings(options_->FileName(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("UPLOAD/Password"), QStringLiteral("secret"));
    }
    ::chmod(file.c_str(), 0644);
    MakeForm().reset();
    EXPECT_EQ(mode(), 0600u);
    QSettings settings(options_->FileName(), QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("UPLOAD/Password")).toString(), "secret");
}

TEST_F(MainWindow, StatusStylesColourThePanel) {
    auto form = MakeForm();
    QLabel* panel = form->findChild<QLabel*>(QStringLiteral("Panel_Bottom_Info_Text"));
    EXPECT_EQ(panel->text(), QString::fromUtf8("Ожидание соединения"));
    struct Case {
        int style;
        QColor panel;
        QColor text;
        bool bold;
    };
    const Case cases[] = {{1, QColor(0, 128, 0), QColor(255, 255, 255), true},
                          {2, QColor(255, 0, 0), QColor(255, 255, 0), true},
                          {3, QColor(255, 255, 0), QColor(0, 0, 255), true},
                          {7, QApplication::palette().color(QPalette::Button),
                           QApplication::palette().color(QPalette::WindowText), false}};
    for (const Case& check : cases) {
        form->ShowStatus("K310 S/N: 42", check.style);
        EXPECT_EQ(panel->palette().color(QPalette::Window), check.panel) << check.style;
        EXPECT_EQ(panel->palette().color(QPalette::WindowText), check.text) << check.style;
        EXPECT_EQ(panel->font().bold(), check.bold) << check.style;
        EXPECT_EQ(panel->text(), QStringLiteral("K310 S/N: 42"));
    }
}

TEST_F(MainWindow, LogActionTogglesThePageAndItsCaptionFollowsAtIdle) {
    auto form = MakeForm();
    QAction* toggle = Find<QAction>(form.get(), "Action_Log_Visible");
    EXPECT_EQ(toggle->text(), QString::fromUtf8("Показать лог"));
    EXPECT_EQ(ImageIndexOf(toggle), ImageList::kShowLog);
    toggle->trigger();
    EXPECT_TRUE(Pages(*form)->isTabVisible(TForm1::PageLog));
    EXPECT_EQ(Pages(*form)->currentIndex(), 0) << "showing the log keeps the page";
    form->UpdateActions();
    EXPECT_EQ(toggle->text(), QString::fromUtf8("Cкрыть лог"));
    EXPECT_EQ(toggle->text().at(0), QLatin1Char('C')) << "the first letter is Latin";
    EXPECT_EQ(ImageIndexOf(toggle), ImageList::kHideLog);

    Find<QAction>(form.get(), "Action_Language")->trigger();
    EXPECT_EQ(toggle->text(), QStringLiteral("Hide//Show Report"));
    form->UpdateActions();
    EXPECT_EQ(toggle->text(), QStringLiteral("Hide Report"));
    toggle->trigger();
    form->UpdateActions();
    EXPECT_EQ(toggle->text(), QStringLiteral("Show Report"));
}

TEST_F(MainWindow, LogMemoMirrorsAppendsReplacementsAndClearing) {
    auto form = MakeForm();
    QPlainTextEdit* memo = form->findChild<QPlainTextEdit*>(QStringLiteral("Memo_Log"));
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    form->Log().Clear();
    for (int index = 0; index < 10000; ++index) {
        form->Log().AddLine("line " + std::to_string(index));
    }
    form->Log().AddLine("beyond");
    form->FlushLog();
    EXPECT_EQ(memo->blockCount(), 10002);
    EXPECT_EQ(memo->document()->findBlockByNumber(10000).text(),
              QStringLiteral("!!!! LOG FULL !!!"));
    form->Log().AddLine("12%");
    form->Log().ReplaceLastLine("57%");
    form->FlushLog();
    EXPECT_EQ(memo->document()->lastBlock().text(), QStringLiteral("57%"));
    EXPECT_EQ(memo->blockCount(), 10003);

    Find<QAction>(form.get(), "Action_LOG_Clear")->trigger();
    form->FlushLog();
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    EXPECT_EQ(form->Log().LineCount(), 0u);
}

TEST_F(MainWindow, ExitSavesTheLogWithBothBannersOnce) {
    auto form = MakeForm();
    form->Log().AddLine("a message");
    form->show();
    Find<QAction>(form.get(), "Action_Exit")->trigger();
    form->FormDestroy();
    const QByteArray text = SavedLog();
    EXPECT_TRUE(text.contains("# APP VERSION = 1.1\n"));
    EXPECT_TRUE(text.contains("a message\n"));
    EXPECT_EQ(text.count("# END: "), 1);
    EXPECT_TRUE(text.endsWith(QByteArray(42, '#') + '\n'));
    EXPECT_FALSE(text.contains('\r'));
}

// A new model's row brings its own settings tab, built from its settings,
// and the page numbers users have saved keep naming the same pages.
TEST_F(MainWindow, AModelRowAddsItsSettingsTabAndSavedPagesKeepTheirNumbers) {
    const ThirdModel third;
    StoreOption("PAGENUM", QStringLiteral("4"));
    {
        auto form = MakeForm();
        ASSERT_TRUE(form->StartedUp());
        QTabWidget* tabs = Pages(*form);
        QWidget* tab = form->findChild<QWidget*>(QStringLiteral("TabSheet_DevControl_K777"));
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(
            tabs->indexOf(tab),
            tabs->indexOf(form->findChild<QWidget*>(QStringLiteral("TabSheet_DevControl_K520"))) +
                1);
        EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(tab)));
        EXPECT_NE(tab->findChild<QComboBox*>(QStringLiteral("ComboBox_Setup_K777_Units")), nullptr);
        EXPECT_NE(tab->findChild<QWidget*>(QStringLiteral("CheckBox_Setup_K777_Sound_EN")),
                  nullptr);
        EXPECT_EQ(tab->findChild<QComboBox*>(QStringLiteral("ComboBox_Setup_K777_Language")),
                  nullptr);
        EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("TabSheet_DevInfo"));
        tabs->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("TabSheet_DevHistory")));
    }
    EXPECT_EQ(StoredOption("PAGENUM"), QStringLiteral("1"));
}

TEST_F(MainWindow, SecondInstanceWarnsAndLeavesTheFirstAlone) {
    auto first = MakeForm();
    ASSERT_TRUE(first->StartedUp());
    QFile marker(TempFolder() + QStringLiteral("/staged.bin"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    StoreOption("PAGENUM", QStringLiteral("4"));
    {
        auto second = MakeForm();
        EXPECT_EQ(second->Startup(), StartupResult::AlreadyRunning);
        ASSERT_EQ(dialogs_.shown.size(), 1u);
        EXPECT_EQ(dialogs_.shown[0], "warning:Приложение уже запущено!");
        Pages(*second)->setCurrentIndex(1);
    }
    EXPECT_TRUE(marker.exists());
    EXPECT_FALSE(QFile::exists(TempFolder() + QStringLiteral("/log.txt")));
    EXPECT_EQ(StoredOption("PAGENUM"), QStringLiteral("4"));
}

TEST_F(MainWindow, UnusableTemporaryFolderIsReportedInTheStoredLanguage) {
    StoreOption("LANGUAGE", QStringLiteral("2"));
    // Files in the way of both the usual and the private folder.
    QFile blocker(TempFolder());
    QFile privateBlocker(PrivateTempFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    ASSERT_TRUE(privateBlocker.open(QIODevice::WriteOnly));
    blocker.close();
    privateBlocker.close();
    auto form = MakeForm();
    EXPECT_EQ(form->Startup(), StartupResult::TempFolderFailed);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0], "error:Error of creation temporary folder");
    form.reset();
    // The lock was given back: the next start succeeds once a folder can be made.
    privateBlocker.remove();
    auto next = MakeForm();
    EXPECT_TRUE(next->StartedUp());
    EXPECT_EQ(next->TempFolder(), PrivateTempFolder().toStdString());
}

TEST_F(MainWindow, DataSourceActionsActAsAPair) {
    auto form = MakeForm();
    QAction* internet = Find<QAction>(form.get(), "Action_Data_Source_Internet");
    QAction* local = Find<QAction>(form.get(), "Action_Data_Source_Local");
    QAction* source = Find<QAction>(form.get(), "Action_Data_Source");
    EXPECT_TRUE(internet->isChecked());
    local->trigger();
    EXPECT_TRUE(local->isChecked());
    EXPECT_FALSE(internet->isChecked());
    EXPECT_EQ(ImageIndexOf(source), ImageList::kSourceLocal);
    internet->trigger();
    EXPECT_FALSE(local->isChecked());
    EXPECT_EQ(ImageIndexOf(source), ImageList::kSourceInternet);
}

// Scaled to 125 %, a 1366 x 768 laptop screen leaves 1092 x 614 logical
// pixels, less a taskbar; 1920 x 1080 at 150 % leaves more. Every page, the
// settings pages included, must fit there in both languages without cutting
// a caption, a button or a list short.
TEST_F(MainWindow, EveryPageFitsAScaledLaptopScreenWithNoCaptionCut) {
    const QSize screen(1092, 580);
    auto form = MakeForm();
    QTabWidget* pages = Pages(*form);
    for (int index = 0; index < pages->count(); ++index) {
        pages->setTabVisible(index, true);
    }
    form->show();
    for (const char* language : {"ru", "en"}) {
        for (int index = 0; index < pages->count(); ++index) {
            SCOPED_TRACE(std::string(language) + " page " + std::to_string(index));
            pages->setCurrentIndex(index);
            const QSize least = form->minimumSizeHint();
            EXPECT_TRUE(least.width() <= screen.width() && least.height() <= screen.height())
                << least.width() << " x " << least.height();
            form->resize(least);
            QApplication::processEvents();
            for (QWidget* control : pages->widget(index)->findChildren<QWidget*>()) {
                const bool captioned = qobject_cast<QLabel*>(control) != nullptr ||
                                       qobject_cast<QAbstractButton*>(control) != nullptr ||
                                       qobject_cast<QComboBox*>(control) != nullptr;
                if (captioned && control->isVisible()) {
                    SCOPED_TRACE(control->objectName().toStdString());
                    EXPECT_GE(control->width(), control->sizeHint().width());
                    EXPECT_GE(control->height(), control->sizeHint().height());
                }
            }
        }
        Find<QAction>(form.get(), "Action_Language")->trigger();
    }
}

}  // namespace
