#include <windows.h>

#include <algorithm>
#include <csignal>

#include "app/signal_bridge_qt.h"
#include "base/ui_thread_qt.h"

namespace {

// Windows has no SIGTERM to send: a console's Ctrl+C and Ctrl+Break stand for
// SIGINT, closing the console or ending the session for SIGTERM. The system
// calls the handler on a thread of its own, so the signal is queued to the
// GUI thread.
SignalBridge* bridge = nullptr;
std::vector<int>* wanted = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
    const int number = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM;
    if (bridge == nullptr || std::find(wanted->begin(), wanted->end(), number) == wanted->end()) {
        return FALSE;
    }
    QtUiThread(bridge).Post([number] { emit bridge->Received(number); });
    return TRUE;
}

}  // namespace

SignalBridge::SignalBridge(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent), signalNumbers_(signalNumbers) {
    bridge = this;
    wanted = &signalNumbers_;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

SignalBridge::~SignalBridge() {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    bridge = nullptr;
    wanted = nullptr;
}
