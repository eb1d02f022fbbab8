#pragma once

// The exit status of every dravo-cli command.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailure = 1,   // the device or the operation failed
    kExitUsage = 2,     // bad arguments
    kExitNoDevice = 3,  // no device found or the port is not one
    kExitAlarm = 4,     // a watched dose rate reached --alarm-above
    kExitInterrupted = 130,
};
