#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QVBoxLayout>
#include <memory>

#include "firmware/device_info_page.h"
#include "integration/firmware/firmware_rig.h"
#include "support/language_guard.h"
#include "support/qt_application.h"
#include "support/worker_settle.h"
#include "ui/screenshots.h"

namespace firmware_testing {
namespace {

[[maybe_unused]] const auto* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationOnce);

DeviceInfo Identified310(std::uint16_t mainVersion) {
    DeviceInfo info;
    info.valid = true;
    info.board = BoardInfo{310, 41, 0};
    info.bootVersion = 0x0400;
    info.mainVersion = mainVersion;
    info.modelName = "Halvane RDK-310.41.0";
    info.inf1[9] = 0x21;
    info.inf1[10] = 0x43;
    info.inf1[11] = 0x65;
    info.inf1[12] = 0x87;
    return info;
}

// The page in a frame with the status panel and progress bar the main window
// gives it, so that a screenshot shows an update as the user sees it.
class DeviceInfoPageTest : public FirmwareRig {
  protected:
    void SetUp() override {
        frame = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(frame.get());
        // The update runs on the worker: what it shows reaches the frame by queued calls.
        page = new DeviceInfoPage(
            DeviceInfoPageContext{session.Commands(), log, host, *worker, answers,
                                  [this] { return ticks.load(); }, Environment(),
                                  [this] { return Ready(); },
                                  [this](const std::string& text, StatusStyle) {
                                      QMetaObject::invokeMethod(
                                          frame.get(),
                                          [this, text] {
                                              statuses.push_back(text);
                                              status->setText(QString::fromStdString(text));
                                          },
                                          Qt::QueuedConnection);
                                  },
                                  [this](int percent) {
                                      QMetaObject::invokeMethod(
                                          frame.get(), [this, percent] { OnProgress(percent); },
                                          Qt::QueuedConnection);
                                  },
                                  [this] {
                                      ++settingsKept;
                                      return std::string("kept.json");
                                  }},
            frame.get());
        status = new QLabel(frame.get());
        bar = new QProgressBar(frame.get());
        layout->addWidget(page);
        layout->addWidget(status);
        layout->addWidget(bar);
        frame->resize(420, 360);
    }
    void TearDown() override { worker->Shutdown(); }

    void ClickUpdate() {
        QTest::mouseClick(Button(), Qt::LeftButton);
        ASSERT_TRUE(Settle(*worker));
    }

    void OnProgress(int percent) {
        bar->setValue(percent);
        if (statuses.size() == 4 && percent >= 50 && !shotTaken) {
            shotTaken = frame->grab().save(ScreenshotPath("device_info_update.png"));
            buttonDuringUpdate = Button()->isEnabled();
        }
    }

    QTextEdit* Memo() { return page->findChild<QTextEdit*>("Memo_Info"); }
    QPushButton* Button() { return page->findChild<QPushButton*>("BitBtn_ReNewDeviceInfo"); }

    ScriptedAnswers answers;
    std::unique_ptr<DeviceWorker> worker = std::make_unique<DeviceWorker>(host.Stop());
    std::vector<std::string> statuses;
    std::unique_ptr<QWidget> frame;
    DeviceInfoPage* page = nullptr;
    QLabel* status = nullptr;
    QProgressBar* bar = nullptr;
    bool shotTaken = false;
    bool buttonDuringUpdate = true;
    std::atomic<int> settingsKept{0};
};

TEST_F(DeviceInfoPageTest, LinesFollowIdentificationAndLanguage) {
    ASSERT_NE(Memo(), nullptr);
    ASSERT_NE(Button(), nullptr);
    LanguageGuard english(Language::English);
    page->FillPage(Identified310(0x0C05));
    EXPECT_EQ(Memo()->toPlainText().toStdString(),
              "Connected Device Information\nDevice: Halvane RDK-310.41.0\nS/N: 123-45678\n"
              "------------------------------\nSW BOOT: 4.0\nSW MAIN: 1.20.12.5\n"
              "------------------------------\nUpgrade to Version 1.20.12.6\nis avaliable");
    EXPECT_TRUE(Memo()->isReadOnly());
    for (QTextBlock block = Memo()->document()->begin(); block.isValid(); block = block.next()) {
        EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    }
    EXPECT_TRUE(frame->grab().save(ScreenshotPath("device_info_en.png")));

    SetUiLanguage(Language::Russian);
    page->Relabel();
    EXPECT_EQ(Button()->text().toStdString(), "Обновление");
    EXPECT_TRUE(Memo()->toPlainText().endsWith(QString::fromUtf8("до версии 1.20.12.6")));
    EXPECT_TRUE(frame->grab().save(ScreenshotPath("device_info_ru.png")));

    page->FillPage(Identified310(0x0C06));
    EXPECT_FALSE(Memo()->toPlainText().contains(QString::fromUtf8("Доступно")));
    page->ClearPage();
    EXPECT_TRUE(Memo()->toPlainText().isEmpty());
}

TEST_F(DeviceInfoPageTest, ButtonIsOnOnlyWhileARecognisedDeviceIsThere) {
    EXPECT_FALSE(Button()->isEnabled());
    page->SetRenewButtonEnabled(true);
    EXPECT_TRUE(Button()->isEnabled());
    page->SetRenewButtonEnabled(false);
    EXPECT_FALSE(Button()->isEnabled());
}

TEST_F(DeviceInfoPageTest, AnsweringNoSendsNothing) {
    Start(Model(SimModel::K520, 2, 0x0C02));
    page->SetRenewButtonEnabled(true);
    answers.answers = {false};
    ClickUpdate();
    EXPECT_EQ(answers.questions.size(), 1u);
    EXPECT_TRUE(device->Requests().empty());
    EXPECT_TRUE(Button()->isEnabled());
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(DeviceInfoPageTest, TheButtonRunsTheUpdateWithItsStepTexts) {
    LanguageGuard english(Language::English);
    SimOptions options = Model(SimModel::K310, 41, 0x0C05);
    options.mainVersionAfterCpuWrite = 0x0C06;
    Start(options);
    page->Relabel();
    page->FillPage(info);
    page->SetRenewButtonEnabled(true);
    frame->show();
    answers.answers = {true};
    ClickUpdate();
    ASSERT_EQ(answers.shown.size(), 2u) << log.Text();
    EXPECT_EQ(answers.shown[1], "info:Congratulations\n\rYour Device successfully\n\rupdated");
    EXPECT_EQ(statuses.size(), 5u);
    EXPECT_EQ(settingsKept, 1) << "the settings are kept before the update writes";
    EXPECT_TRUE(shotTaken);
    EXPECT_FALSE(buttonDuringUpdate);
    page->SetRenewButtonEnabled(true);
    EXPECT_TRUE(Button()->isEnabled()) << "identification turns it on again";
    EXPECT_TRUE(host.pagesEnabled);
    EXPECT_TRUE(host.linkCheckEnabled);
}

}  // namespace
}  // namespace firmware_testing
