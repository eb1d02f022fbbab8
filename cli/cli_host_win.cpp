#include "cli/cli_host.h"

#include <windows.h>

namespace {

// The console's control handler only counts the event; the watcher thread
// acts on it. The system calls the handler on a thread of its own.
HANDLE signalCount = nullptr;
HANDLE quit = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    CliHost::NoteStopSignal();
    ReleaseSemaphore(signalCount, 1, nullptr);
    return TRUE;
}

}  // namespace

CliHost::CliHost() {
    signalCount = CreateSemaphoreW(nullptr, 0, LONG_MAX, nullptr);
    quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (signalCount == nullptr || quit == nullptr) {
        return;
    }
    watcher_ = std::thread([this] { Watch(); });
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

CliHost::~CliHost() {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    if (watcher_.joinable()) {
        SetEvent(quit);
        watcher_.join();
    }
    for (HANDLE* handle : {&signalCount, &quit}) {
        if (*handle != nullptr) {
            CloseHandle(*handle);
            *handle = nullptr;
        }
    }
}

void CliHost::Watch() {
    const HANDLE wakers[2] = {quit, signalCount};
    while (WaitForMultipleObjects(2, wakers, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        OnSignal();
    }
}
