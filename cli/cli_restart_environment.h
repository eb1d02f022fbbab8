#pragma once

#include <cstdint>

#include "cli/cli_session.h"
#include "firmware/device_restart.h"

// What the command line gives a restart in place of the window's timer: the
// port is opened again and the device identified about once a second until
// it is back.
class CliRestartEnvironment {
  public:
    CliRestartEnvironment(CliSession& session, OperationHost& host, DeviceInfo& info)
        : session_(session), host_(host), info_(info) {}

    RestartEnvironment Environment();

  private:
    void Step();

    CliSession& session_;
    OperationHost& host_;
    DeviceInfo& info_;
    bool back_ = true;
    std::uint32_t lastTry_ = 0;
};
