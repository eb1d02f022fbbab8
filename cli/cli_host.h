#pragma once

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

  protected:
    void SetLinkCheckEnabled(bool) override {}
    void SetPagesEnabled(bool) override {}
    void SetBusy(bool) override {}
};
