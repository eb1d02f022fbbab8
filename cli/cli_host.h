#pragma once

#include <functional>
#include <utility>

#include "base/operation_host.h"

// The command line's front end for device operations: no pages, no busy
// window and no background connection test to switch off. SIGINT and SIGTERM
// become a stop request that the next wait sees, so an operation ends through
// its cancel path.
class CliHost final : public OperationHost {
  public:
    CliHost();
    ~CliHost() override;
    CliHost(const CliHost&) = delete;
    CliHost& operator=(const CliHost&) = delete;

    // A stop signal arrived (also before any wait noticed it).
    static bool Interrupted();

    // For an operation that must finish its exchange and tidy up in the
    // device when interrupted: the first signal is handed to `cancel` at the
    // next wait, a second one stops the waits as usual.
    void LeaveFirstSignalToCancel(std::function<void()> cancel) {
        cancelFirst_ = true;
        cancel_ = std::move(cancel);
    }

  protected:
    void SetLinkCheckEnabled(bool) override {}
    void SetPagesEnabled(bool) override {}
    void SetBusy(bool) override {}

  private:
    bool cancelFirst_ = false;
    std::function<void()> cancel_;
};
