#include <QAction>
#include <QDeadlineTimer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/window_geometry.h"
#include "shell_fixture.h"
#include "ui/screenshots.h"

namespace {

using SecondaryWindows = ShellFixture;

bool WaitFor(const std::function<bool()>& condition) {
    QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return condition();
}

TEST_F(SecondaryWindows, BusyIndicatorIntervalRulesAndCentring) {
    auto form = MakeForm();
    form->setGeometry(120, 80, 844, 400);
    form->show();
    TForm3* busy = form->findChild<TForm3*>();
    EXPECT_EQ(busy->size(), QSize(131, 115));
    busy->ShowBusy(200);
    EXPECT_TRUE(busy->isVisible());
    EXPECT_EQ(busy->AnimationTimer()->interval(), 200);
    EXPECT_TRUE(busy->AnimationTimer()->isActive());
    const QRect frame = form->frameGeometry();
    const ScreenPoint centre =
        CentredOver(frame.x(), frame.y(), frame.width(), frame.height(), 131, 115);
    EXPECT_EQ(busy->pos(), QPoint(centre.x, centre.y));

    busy->ShowBusy(5000);
    EXPECT_EQ(busy->AnimationTimer()->interval(), 200) << "out of range keeps the interval";
    busy->ShowBusy(1000);
    EXPECT_EQ(busy->AnimationTimer()->interval(), 1000);
    busy->ShowBusy(0);
    EXPECT_FALSE(busy->isVisible());
    EXPECT_FALSE(busy->AnimationTimer()->isActive());
    EXPECT_EQ(busy->AnimationTimer()->interval(), 1000) << "0 only hides";

    busy->ShowBusy(1);
    EXPECT_TRUE(WaitFor([busy] { return busy->FrameIndex() == 2; }));
    busy->AnimationTimer()->stop();
    EXPECT_TRUE(busy->findChild<QLabel*>(QStringLiteral("Image3"))->isVisibleTo(busy));
    EXPECT_FALSE(busy->findChild<QLabel*>(QStringLiteral("Image1"))->isVisibleTo(busy));
    busy->AnimationTimer()->start();
    form->move(form->pos() + QPoint(40, 30));
    const QRect moved = form->frameGeometry();
    const ScreenPoint followed =
        CentredOver(moved.x(), moved.y(), moved.width(), moved.height(), 131, 115);
    EXPECT_TRUE(WaitFor([&] { return busy->pos() == QPoint(followed.x, followed.y); }))
        << "the indicator follows the main window at its next tick";
    busy->HideBusy();
}

TEST_F(SecondaryWindows, AboutShowsTheVersionPerLanguageAndClosesOnClick) {
    auto form = MakeForm();
    form->show();
    TForm2* about = form->findChild<TForm2*>();
    QAction* open = Find<QAction>(form.get(), "Action_Help_About");
    open->trigger();
    open->trigger();
    QLabel* version = Find<QLabel>(about, "Label_Version");
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->AboutShowing());
    EXPECT_EQ(version->text(), QString::fromUtf8("Версия1.1"));
    EXPECT_TRUE(Find<QLabel>(about, "Image_RUS")->isVisible());
    EXPECT_FALSE(Find<QLabel>(about, "Image_ENG")->isVisible());
    EXPECT_FALSE(Find<QLabel>(about, "Image_RUS")->pixmap().isNull()) << "the picture decodes";

    QTest::mouseClick(version, Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    EXPECT_FALSE(about->AboutShowing());

    Find<QAction>(form.get(), "Action_Language")->trigger();
    open->trigger();
    EXPECT_EQ(version->text(), QStringLiteral("Version1.1"));
    EXPECT_TRUE(Find<QLabel>(about, "Image_ENG")->isVisible());
    QTest::mouseClick(Find<QLabel>(about, "Image_ENG"), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
}

TEST_F(SecondaryWindows, ActivatingTheMainWindowClosesAbout) {
    auto form = MakeForm();
    form->show();
    Find<QAction>(form.get(), "Action_Help_About")->trigger();
    ASSERT_TRUE(form->findChild<TForm2*>()->isVisible());
    form->FormActivate();
    EXPECT_FALSE(form->findChild<TForm2*>()->isVisible());
}

// Pictures of the windows for a human to look at, in build/screenshots.
TEST_F(SecondaryWindows, Screenshots) {
    auto form = MakeForm();
    form->resize(844, 400);
    form->show();
    Find<QAction>(form.get(), "Action_Log_Visible")->trigger();
    Pages(*form)->setCurrentIndex(TForm1::PageLog);
    form->ShowStatusSuccess("RDK-310 S/N: 0042");
    form->FlushLog();
    QCoreApplication::processEvents();
    const QImage russian = form->grab().toImage();
    ASSERT_TRUE(russian.save(ScreenshotPath("main_ru.png")));
    Find<QAction>(form.get(), "Action_Language")->trigger();
    Pages(*form)->setCurrentIndex(TForm1::PageMeasuring);
    form->ShowStatusNeutral("Waiting Connection");
    QCoreApplication::processEvents();
    ASSERT_TRUE(form->grab().toImage().save(ScreenshotPath("main_en.png")));
    Find<QAction>(form.get(), "Action_Help_About")->trigger();
    QCoreApplication::processEvents();
    const QImage about = form->findChild<TForm2*>()->grab().toImage();
    ASSERT_TRUE(about.save(ScreenshotPath("about_en.png")));
    EXPECT_EQ(about.size(), QSize(520, 367));
    EXPECT_GE(russian.width(), 844);
}

}  // namespace
