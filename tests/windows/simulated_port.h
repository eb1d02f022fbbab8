#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// The COM port number of the simulated dosimeter that scripts/test-windows
// runs natively and plugs into the wine prefix; 0, with a failure, when the
// suite was started without it.
inline int SimulatedDevicePort() {
    const char* port = std::getenv("DRAVO_TEST_COM");
    if (port == nullptr || std::atoi(port) <= 0) {
        ADD_FAILURE() << "DRAVO_TEST_COM is not set: run the suite through scripts/test-windows";
        return 0;
    }
    return std::atoi(port);
}
