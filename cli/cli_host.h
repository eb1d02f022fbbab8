#pragma once

#include <functional>
#include <mutex>
#include <thread>

#include "base/operation_host.h"

// The command line's front end for device operations: no pages, no busy
// window and no background connection test to switch off; operations run on
// the main thread, the worker's simplest client. SIGINT and SIGTERM (on
// Windows Ctrl+C, Ctrl+Break and closing the console) become a stop request
// at once (a watcher thread sees them), so a blocked wait ends and the
// operation leaves through its cancel path.
class CliHost final : public OperationHost {
  public:
    CliHost();
    ~CliHost() override;
    CliHost(const CliHost&) = delete;
    CliHost& operator=(const CliHost&) = delete;

    // A stop signal arrived (also before any wait noticed it).
    static bool Interrupted();
    // Records that one arrived; safe inside a signal handler.
    static void NoteStopSignal();

    // For an operation that must finish its exchange and tidy up in the
    // device when interrupted: the first signal is handed to `cancel`, a
    // second one stops the waits as usual.
    void LeaveFirstSignalToCancel(std::function<void()> cancel);

  protected:
    void SetLinkCheckEnabled(bool) override {}
    void SetPagesEnabled(bool) override {}
    void SetBusy(bool) override {}

  private:
    void Watch();
    void OnSignal();

    std::mutex lock_;
    int signals_ = 0;
    std::function<void()> cancel_;
    std::thread watcher_;
};
