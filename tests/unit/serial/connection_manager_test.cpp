#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "serial/connection_manager.h"
#include "support/language_guard.h"
#include "support/recording_dialogs.h"

namespace {

// Ports that exist on the machine and what a device behind each answers to the
// connection test. Opening a port that does not exist fails.
class ScriptedPort : public ConnectionPort {
  public:
    void SetPortNumber(int number) override { number_ = number; }
    int PortNumber() const override { return number_; }
    bool Open() override {
        ++opens;
        open_ = existing.count(number_) > 0;
        return open_;
    }
    void Close() override {
        if (open_) {
            ++closes;
        }
        open_ = false;
    }
    bool IsOpen() const override { return open_; }

    int Test() {
        ++tests;
        if (!open_) {
            return -2;
        }
        const auto answer = answers.find(number_);
        return answer == answers.end() ? 0 : answer->second;
    }

    std::set<int> existing;
    std::map<int, int> answers;
    int opens = 0;
    int closes = 0;
    int tests = 0;

  private:
    int number_ = 0;
    bool open_ = false;
};

class ConnectionManagerTest : public ::testing::Test {
  protected:
    ConnectionManagerTest()
        : ports([this] {
              std::vector<std::string> names;
              for (int number : port.existing) {
                  names.push_back("COM" + std::to_string(number));
              }
              return names;
          }),
          manager(ports, port,
                  {[this] { return onTest ? onTest() : port.Test(); },
                   [this] { return linkCheckEnabled; },
                   [this](const LinkIndicator& indicator) { shown.push_back(indicator); }}) {}

    // Runs a step and returns the indicator kind it showed, if any.
    std::string Step() {
        const std::size_t before = shown.size();
        manager.Timer_ConnectionTimer();
        return shown.size() == before ? "none" : shown.back().text;
    }

    void Plug(int number, int answer = 1) {
        port.existing.insert(number);
        port.answers[number] = answer;
    }

    // Starts in automatic mode with no ports and steps into scanning.
    void StartScanning() {
        Step();
        Step();
        ASSERT_EQ(manager.State().state, ConnectionMode::Scan);
    }

    ScriptedPort port;
    PortList ports;
    bool linkCheckEnabled = true;
    std::function<int()> onTest;
    std::vector<LinkIndicator> shown;
    ConnectionManager manager;
    RecordingDialogs dialogs;
    LanguageGuard english_{Language::English};
};

TEST(LinkIndicatorLook, ColoursTextsAndPortText) {
    const LinkIndicator ok = MakeLinkIndicator(LinkIndicatorKind::Ok, 1, true, 7);
    EXPECT_EQ(ok.colour, (Rgb{0, 255, 0}));
    EXPECT_EQ(ok.text, "= OK =");
    EXPECT_EQ(ok.portText, "COM 7");
    const LinkIndicator err = MakeLinkIndicator(LinkIndicatorKind::Err, 0, false, 7);
    EXPECT_EQ(err.colour, (Rgb{255, 0, 0}));
    EXPECT_EQ(err.text, "ERR");
    EXPECT_EQ(err.portText, "----");
    const LinkIndicator nok = MakeLinkIndicator(LinkIndicatorKind::Nok, 1, false, 0);
    EXPECT_EQ(nok.colour, (Rgb{255, 255, 255}));
    EXPECT_EQ(nok.text, "= NOK =");
}

TEST(ManualPortText, AcceptsOnlyDecimalIntegers) {
    EXPECT_EQ(ParsePortNumberText("5"), 5);
    EXPECT_EQ(ParsePortNumberText(" 12 "), 12);
    EXPECT_EQ(ParsePortNumberText("-3"), -3);
    EXPECT_EQ(ParsePortNumberText("abc"), -1);
    EXPECT_EQ(ParsePortNumberText("5a"), -1);
    EXPECT_EQ(ParsePortNumberText(""), -1);
    EXPECT_EQ(ParsePortNumberText("99999999999"), -1);
}

TEST_F(ConnectionManagerTest, PortsPresentAtStartAreNotOpened) {
    Plug(1);
    Plug(5);
    EXPECT_EQ(Step(), "= NOK =");
    EXPECT_EQ(manager.State().state, ConnectionMode::Scan);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(Step().find("NOK"), std::string::npos);
    }
    EXPECT_EQ(port.opens, 0);
    EXPECT_EQ(port.tests, 0);
    EXPECT_EQ(shown.back().portText, "----");
}

TEST_F(ConnectionManagerTest, FindsAPluggedDeviceAndKeepsCheckingIt) {
    StartScanning();
    Plug(7);
    EXPECT_EQ(Step(), "= OK =");
    EXPECT_EQ(manager.State().state, ConnectionMode::Check);
    EXPECT_TRUE(manager.State().Connected);
    EXPECT_EQ(manager.State().ConnectedPort, 7);
    EXPECT_EQ(ports.LastConnectedPort(), 7);
    EXPECT_EQ(shown.back().portText, "COM 7");

    // The text blinks between framed and plain on consecutive steps.
    EXPECT_EQ(Step(), "OK");
    EXPECT_EQ(Step(), "= OK =");
    EXPECT_EQ(Step(), "OK");
    EXPECT_EQ(port.opens, 1);
}

TEST_F(ConnectionManagerTest, TriesTheScanOrderOnePortPerStep) {
    StartScanning();
    Plug(3, 0);  // a port whose device does not answer
    Plug(4);
    EXPECT_EQ(Step(), "= ERR =");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(ports.ScanPosition(), 1);
    EXPECT_EQ(Step(), "OK");
    EXPECT_EQ(manager.State().ConnectedPort, 4);
    EXPECT_EQ(ports.ScanPosition(), 1);
}

TEST_F(ConnectionManagerTest, LostDeviceIsClosedAndFoundAgain) {
    StartScanning();
    Plug(7);
    Step();
    port.answers[7] = 0;  // the device stops answering
    EXPECT_EQ(Step(), "ERR");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(manager.State().Connected);
    EXPECT_EQ(manager.State().ConnectedPort, -1);
    EXPECT_EQ(manager.State().state, ConnectionMode::Scan);

    // Unplugged: nothing to scan.
    port.existing.erase(7);
    EXPECT_EQ(Step(), "= NOK =");
    EXPECT_EQ(manager.State().CandidatePort, -1);

    // Plugged in again: the last connected port is tried first.
    Plug(9);
    Plug(7);
    EXPECT_EQ(Step(), "OK");
    EXPECT_EQ(manager.State().ConnectedPort, 7);
}

TEST_F(ConnectionManagerTest, TestThatCannotRunGivesNokWithoutClosing) {
    StartScanning();
    Plug(7);
    Step();
    onTest = [] { return -1; };
    EXPECT_EQ(Step(), "NOK");
    EXPECT_EQ(manager.State().state, ConnectionMode::Scan);
    EXPECT_FALSE(manager.State().Connected);
    EXPECT_EQ(port.closes, 0);
}

TEST_F(ConnectionManagerTest, LongOperationKeepsOkWithoutAnyExchange) {
    StartScanning();
    Plug(7);
    Step();
    const int testsBefore = port.tests;
    linkCheckEnabled = false;
    port.answers[7] = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(Step().find("OK"), std::string::npos);
    }
    EXPECT_EQ(port.tests, testsBefore);
    EXPECT_TRUE(port.IsOpen());

    linkCheckEnabled = true;
    EXPECT_NE(Step().find("ERR"), std::string::npos);
}

TEST_F(ConnectionManagerTest, ClearedConnectionIsTestedAfresh) {
    StartScanning();
    Plug(7);
    Step();
    manager.ClearConnected();
    EXPECT_EQ(Step(), "NOK");
    EXPECT_EQ(Step(), "= OK =");
    EXPECT_EQ(manager.State().ConnectedPort, 7);
}

TEST_F(ConnectionManagerTest, ManualDialogTextsAndAcceptedPort) {
    dialogs.inputs = {"0"};
    manager.Action_Connection_Manual_Number(dialogs);
    EXPECT_EQ(dialogs.captions.back(), "Connecting");
    EXPECT_EQ(dialogs.prompts.back(), "Enter COM Port Number from 0 to 250");
    EXPECT_EQ(dialogs.defaults.back(), "1");
    EXPECT_EQ(manager.State().state, ConnectionMode::Manual);
    EXPECT_EQ(manager.State().ManualPort, 0);
    EXPECT_EQ(manager.State().CandidatePort, 0);
    EXPECT_TRUE(manager.Menu().manualChecked);
    EXPECT_FALSE(manager.Menu().autoChecked);
    EXPECT_EQ(manager.Menu().manualCaption, "Manual COM0");

    // No port 0 on this machine: every step tries and shows NOK.
    EXPECT_EQ(Step(), "= NOK =");
    EXPECT_EQ(Step(), "NOK");
    EXPECT_EQ(port.opens, 2);
    EXPECT_EQ(manager.State().state, ConnectionMode::Manual);

    SetUiLanguage(Language::Russian);
    dialogs.inputs = {"250"};
    manager.Action_Connection_Manual_Number(dialogs);
    EXPECT_EQ(dialogs.captions.back(), "Установка соединения");
    EXPECT_EQ(dialogs.prompts.back(), "Введите номер COM порта от 0 до 250");
    EXPECT_EQ(dialogs.defaults.back(), "0");
    EXPECT_EQ(manager.Menu().manualCaption, "Вручную COM250");
    manager.OnLanguageChanged();
    EXPECT_TRUE(manager.Menu().manualCaption.empty());
}

TEST_F(ConnectionManagerTest, FormatErrorsLeaveTheModeUnchanged) {
    for (const char* text : {"251", "-3", "abc"}) {
        dialogs.inputs = {text};
        manager.Action_Connection_Manual_Number(dialogs);
    }
    EXPECT_EQ(dialogs.errors, std::vector<std::string>(3, "COM Port Number Format Error"));
    EXPECT_EQ(manager.State().state, ConnectionMode::Check);
    EXPECT_EQ(manager.State().ManualPort, 1);
    EXPECT_EQ(manager.State().CandidatePort, -1);
    EXPECT_TRUE(manager.Menu().autoChecked);

    SetUiLanguage(Language::Russian);
    dialogs.inputs = {"abc"};
    manager.Action_Connection_Manual_Number(dialogs);
    EXPECT_EQ(dialogs.errors.back(), "Ошибка формата номера COM порта");
}

TEST_F(ConnectionManagerTest, CancelRestoresTheRecordedAutoMark) {
    dialogs.inputs = {"4"};
    manager.Action_Connection_Manual_Number(dialogs);
    manager.Action_Connection_ManualUpdate();  // records: auto unchecked

    dialogs.inputs.clear();
    manager.Action_Connection_Manual_Number(dialogs);
    EXPECT_FALSE(manager.Menu().autoChecked);
    EXPECT_TRUE(manager.Menu().manualChecked);
    EXPECT_EQ(manager.State().state, ConnectionMode::Manual);

    manager.Action_Connection_Auto();
    manager.Action_Connection_ManualUpdate();
    manager.Action_Connection_Manual_Number(dialogs);
    EXPECT_TRUE(manager.Menu().autoChecked);
    EXPECT_FALSE(manager.Menu().manualChecked);
    EXPECT_EQ(manager.State().state, ConnectionMode::Check);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ConnectionManagerTest, AnotherManualPortWhileConnectedDropsTheOldOneFirst) {
    Plug(3);
    Plug(4);
    dialogs.inputs = {"3"};
    manager.Action_Connection_Manual_Number(dialogs);
    EXPECT_EQ(Step(), "= OK =");
    EXPECT_EQ(manager.State().ConnectedPort, 3);
    EXPECT_EQ(ports.LastConnectedPort(), 3);

    dialogs.inputs = {"4"};
    manager.Action_Connection_Manual_Number(dialogs);
    EXPECT_EQ(Step(), "ERR");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(Step(), "= OK =");
    EXPECT_EQ(manager.State().ConnectedPort, 4);
    EXPECT_EQ(port.PortNumber(), 4);

    // A lost manual connection is retried on the same port at each step.
    port.answers[4] = 0;
    EXPECT_EQ(Step(), "ERR");
    port.answers[4] = 1;
    EXPECT_EQ(Step(), "= OK =");
    EXPECT_EQ(manager.State().state, ConnectionMode::Manual);

    // Back to automatic: the manual connection stays in use while it answers.
    manager.Action_Connection_Auto();
    EXPECT_EQ(Step(), "OK");
    EXPECT_EQ(manager.State().state, ConnectionMode::Check);
    EXPECT_EQ(manager.State().ConnectedPort, 4);
}

}  // namespace
