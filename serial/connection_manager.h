#pragma once

#include <functional>
#include <string>

#include "base/dialogs.h"
#include "serial/connection_port.h"
#include "serial/link_indicator.h"
#include "serial/port_list.h"

enum class ConnectionMode : int { Manual = 1, Check = 2, Scan = 21 };

struct ConnectionState {
    ConnectionMode state = ConnectionMode::Check;
    bool Connected = false;
    int ConnectedPort = -1;
    // The port to open next: the manual number, or the scan-order entry being tried.
    int CandidatePort = -1;
    // The last number accepted in the manual dialog, and its default text.
    int ManualPort = 1;
    int BlinkToggle = 0;
    // Steps run so far: lets a watcher tell that a step has looked at the
    // ports without timing it.
    int stepsDone = 0;
};

// The check marks and caption of the connection menu, bound to the actions by
// the page.
struct ConnectionMenu {
    bool autoChecked = true;
    bool manualChecked = false;
    // The auto mark as the manual action's idle update last saw it; a cancelled
    // dialog puts it back.
    bool recordedAutoChecked = true;
    // Empty until the dialog accepts a number; the language switch empties it.
    std::string manualCaption;
};

// What the manager uses besides the port. connectionTest runs the TEST echo
// exchange: 1 echoed, 0 no or wrong answer, -2 port not open, -1 request not
// formed. While linkCheckEnabled says false the manager sends nothing.
struct ConnectionHooks {
    std::function<int()> connectionTest;
    std::function<bool()> linkCheckEnabled;
    std::function<void(const LinkIndicator&)> showIndicator;
};

// Finds the dosimeter and keeps watching it: one step per second, automatic
// (check the connection, else scan the port list one port per step) or manual
// (keep opening and checking the one port the user typed).
class ConnectionManager {
  public:
    static constexpr int kHighestManualPort = 250;

    ConnectionManager(PortList& ports, ConnectionPort& port, ConnectionHooks hooks);

    const ConnectionState& State() const { return state_; }
    const ConnectionMenu& Menu() const { return menu_; }

    // Forget the connection and the candidate, as at program start.
    void Reset();
    // The restart procedures drop the connection to have it tested afresh.
    void ClearConnected() { state_.Connected = false; }

    // One step of the connection test, the scan or the manual port.
    void Timer_ConnectionTimer();

    int ConnectionTest();
    void ShowLinkIndicator(LinkIndicatorKind kind);

    void Action_Connection_Auto();
    void Action_Connection_Manual_Number(Dialogs& dialogs);
    // Idle-time update of Action_Connection_Manual.
    void Action_Connection_ManualUpdate() { menu_.recordedAutoChecked = menu_.autoChecked; }
    void OnLanguageChanged() { menu_.manualCaption.clear(); }

  private:
    void CheckStep();
    void ScanStep();
    void ManualStep();
    // Opens CandidatePort; false when it cannot be opened.
    bool OpenCandidate();
    void Disconnect();
    void ConnectCandidate();
    // Acts on a failed test: ERR and close for no answer, NOK otherwise.
    void OnTestFailed(int result);

    PortList& ports_;
    ConnectionPort& port_;
    ConnectionHooks hooks_;
    ConnectionState state_;
    ConnectionMenu menu_;
};

// The manual dialog's number: -1 unless the text is a decimal integer.
int ParsePortNumberText(const std::string& text);
