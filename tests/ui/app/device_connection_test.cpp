#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

#include "protocol/device_models.h"
#include "shell_fixture.h"
#include "sim/simulated_device.h"
#include "support/log_lines.h"

namespace {

// The main window against a simulated dosimeter plugged into a private port
// folder: finding, identifying and losing the device as a user sees it.
class DeviceConnection : public ShellFixture {
  protected:
    void SetUp() override {
        ShellFixture::SetUp();
        portDir_ = UseEnglishWindowOnPrivatePorts();
    }

    // The bottom bar's panels: the status text, the port and the link.
    static QLabel* StatusPanel(TForm1& form) {
        return Find<QLabel>(&form, "Panel_Bottom_Info_Text");
    }
    static QLabel* PortPanel(TForm1& form) { return Find<QLabel>(&form, "Panel_COM"); }
    static QLabel* LinkPanel(TForm1& form) { return Find<QLabel>(&form, "Panel_Connection"); }
    static QString Status(TForm1& form) { return StatusPanel(form)->text(); }

    // A connection menu action runs on the device worker; its boxes and the
    // menu it leaves are shown before this returns.
    static void Trigger(TForm1& form, QAction* action) {
        action->trigger();
        EXPECT_TRUE(Settle(form.Worker()));
    }

    // Lets the connection timer take `steps` more steps: what it would have
    // done by then, it has done.
    static bool LetConnectionStepsRun(TForm1& form, int steps) {
        const auto done = [&form] { return form.Session().Connection().State().stepsDone; };
        const int until = done() + steps;
        return QTest::qWaitFor([&] { return done() >= until; }, 10000);
    }

    static bool LogHas(TForm1& form, const std::string& line) {
        return CountLines(form.Log(), line) > 0;
    }

    static bool LogHasPrefix(TForm1& form, const std::string& prefix) {
        for (const auto& line : form.Log().Lines()) {
            if (line.rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    }

    std::string portDir_;
};

TEST_F(DeviceConnection, APortPresentAtStartIsNotTried) {
    SimulatedDevice device(SimOptions{});
    ASSERT_TRUE(device.PlugIn(portDir_, 12)) << device.LastError();
    auto form = MakeForm();
    ASSERT_TRUE(form->StartedUp());
    ASSERT_TRUE(LetConnectionStepsRun(*form, 3));
    EXPECT_FALSE(LogHasPrefix(*form, "Open COM 12"));
    EXPECT_TRUE(LogHas(*form, "PORT LIST: 12"));
    EXPECT_TRUE(LinkPanel(*form)->text().contains(QStringLiteral("NOK")));
    EXPECT_EQ(PortPanel(*form)->text(), QStringLiteral("----"));
    EXPECT_EQ(device.CountRequests(0x01, 0x00), 0u);
}

TEST_F(DeviceConnection, APluggedDeviceIsIdentifiedAndItsLossResetsTheStatus) {
    auto form = MakeForm();
    ASSERT_TRUE(form->StartedUp());
    SimulatedDevice device(SimOptions{});
    WaitForStartPortsRecorded(*form);
    ASSERT_TRUE(device.PlugIn(portDir_, 12)) << device.LastError();

    ASSERT_TRUE(WaitShown(
        *form, [&] { return form->DeviceRecognized(); }, 8000));
    EXPECT_EQ(Status(*form), QStringLiteral("Halvane RDK-310.41.0 S/N: 123-45678"));
    EXPECT_TRUE(StatusPanel(*form)->font().bold());
    EXPECT_EQ(StatusPanel(*form)->palette().color(QPalette::Window), QColor(0, 128, 0));
    EXPECT_TRUE(Pages(*form)->isTabVisible(FindSupportedModel(310)->pageNumber));
    EXPECT_FALSE(Pages(*form)->isTabVisible(FindSupportedModel(520)->pageNumber));
    EXPECT_EQ(PortPanel(*form)->text(), QStringLiteral("COM 12"));
    for (const char* line : {"PORT LIST: 12", "Open COM 12 : OK", "# Read Device Information:",
                             "# Device: Halvane RDK-310.41.0", "# S/N   : 123-45678"}) {
        EXPECT_TRUE(LogHas(*form, line)) << line;
    }

    // A long operation owns the link: the loss waits until it has ended.
    form->SetLinkCheckEnabled(false);
    device.Unplug();
    ASSERT_TRUE(LetConnectionStepsRun(*form, 3));
    EXPECT_TRUE(form->DeviceRecognized());
    EXPECT_TRUE(LinkPanel(*form)->text().contains(QStringLiteral("OK")));

    form->SetLinkCheckEnabled(true);
    ASSERT_TRUE(WaitShown(
        *form, [&] { return !form->DeviceRecognized(); }, 8000));
    EXPECT_EQ(Status(*form), QStringLiteral("Waiting Connection"));
    EXPECT_FALSE(StatusPanel(*form)->font().bold());
    EXPECT_FALSE(Pages(*form)->isTabVisible(FindSupportedModel(310)->pageNumber));
    EXPECT_TRUE(LogHas(*form, "Close COM 12 : OK"));
}

TEST_F(DeviceConnection, AnUnsupportedRevisionIsShownAsUnknownInRed) {
    auto form = MakeForm();
    SimOptions options;
    options.hardwareRevision = 43;
    SimulatedDevice device(options);
    WaitForStartPortsRecorded(*form);
    ASSERT_TRUE(device.PlugIn(portDir_, 7)) << device.LastError();

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Status(*form).startsWith(QStringLiteral("Unknown Device [")); }, 8000));
    EXPECT_EQ(Status(*form), QStringLiteral("Unknown Device [Halvane RDK-310.43.0]"));
    EXPECT_EQ(StatusPanel(*form)->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_FALSE(form->DeviceRecognized());
    EXPECT_FALSE(Pages(*form)->isTabVisible(FindSupportedModel(310)->pageNumber));
    EXPECT_TRUE(LogHas(*form, "# ERROR: \"Wrong Device Type\""));
}

TEST_F(DeviceConnection, AK520WithVariantOneIsNamedAfterItsVariant) {
    auto form = MakeForm();
    SimOptions options;
    options.model = SimModel::K520;
    SimulatedDevice device(options);
    WaitForStartPortsRecorded(*form);
    ASSERT_TRUE(device.PlugIn(portDir_, 3)) << device.LastError();

    ASSERT_TRUE(WaitShown(
        *form, [&] { return form->DeviceRecognized(); }, 8000))
        << form->Log().Text();
    EXPECT_TRUE(Status(*form).startsWith(QStringLiteral("DRAVO 07X ECO RDK-520.2.1 S/N: ")));
    EXPECT_TRUE(Pages(*form)->isTabVisible(FindSupportedModel(520)->pageNumber));
    EXPECT_FALSE(Pages(*form)->isTabVisible(FindSupportedModel(310)->pageNumber));
}

TEST_F(DeviceConnection, ManualModeOpensTheChosenPortEvenWhenItWasPresentAtStart) {
    SimulatedDevice device(SimOptions{});
    ASSERT_TRUE(device.PlugIn(portDir_, 12)) << device.LastError();
    auto form = MakeForm();
    QAction* manual = Find<QAction>(form.get(), "Action_Connection_Manual");
    QAction* automatic = Find<QAction>(form.get(), "Action_Connection_Auto");
    dialogs_.inputs = {"12"};
    Trigger(*form, Find<QAction>(form.get(), "Action_Connection_Manual_Number"));
    EXPECT_EQ(dialogs_.shown.back(), "input:Enter COM Port Number from 0 to 250[1]");
    EXPECT_TRUE(manual->isChecked());
    EXPECT_FALSE(automatic->isChecked());
    EXPECT_EQ(manual->text(), QStringLiteral("Manual COM12"));

    ASSERT_TRUE(WaitShown(
        *form, [&] { return form->DeviceRecognized(); }, 8000))
        << form->Log().Text();
    EXPECT_TRUE(LogHas(*form, "Open COM 12 : OK"));
    EXPECT_EQ(PortPanel(*form)->text(), QStringLiteral("COM 12"));

    // A language switch puts the plain caption back; the mode stays manual.
    Trigger(*form, Find<QAction>(form.get(), "Action_Language"));
    Trigger(*form, Find<QAction>(form.get(), "Action_Language"));
    EXPECT_EQ(manual->text(), QStringLiteral("Manual"));
    EXPECT_TRUE(manual->isChecked());
}

TEST_F(DeviceConnection, ManualPortZeroIsAcceptedAndNeverOpens) {
    auto form = MakeForm();
    dialogs_.inputs = {"0"};
    Trigger(*form, Find<QAction>(form.get(), "Action_Connection_Manual_Number"));
    EXPECT_EQ(Find<QAction>(form.get(), "Action_Connection_Manual")->text(),
              QStringLiteral("Manual COM0"));
    ASSERT_TRUE(LetConnectionStepsRun(*form, 3));
    EXPECT_TRUE(LinkPanel(*form)->text().contains(QStringLiteral("NOK")));
    EXPECT_FALSE(LogHasPrefix(*form, "Open COM"));
    EXPECT_FALSE(form->Connected());
}

TEST_F(DeviceConnection, ManualNumbersOutOfRangeOrNotNumbersAreRefused) {
    auto form = MakeForm();
    QAction* number = Find<QAction>(form.get(), "Action_Connection_Manual_Number");
    for (const char* text : {"251", "-3", "abc"}) {
        dialogs_.inputs = {text};
        Trigger(*form, number);
        EXPECT_EQ(dialogs_.shown.back(), "error:COM Port Number Format Error") << text;
        EXPECT_TRUE(Find<QAction>(form.get(), "Action_Connection_Auto")->isChecked()) << text;
        EXPECT_EQ(Find<QAction>(form.get(), "Action_Connection_Manual")->text(),
                  QStringLiteral("Manual"));
    }
    // The default text is still the first manual port.
    dialogs_.inputs.clear();
    Trigger(*form, number);
    EXPECT_EQ(dialogs_.shown.back(), "input:Enter COM Port Number from 0 to 250[1]");
}

}  // namespace
