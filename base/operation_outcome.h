#pragma once

#include <string>

// How a device operation ended. The window has shown the boxes by then; the
// command line takes its exit status from the kind.
enum class OutcomeKind {
    Completed,
    Cancelled,  // the user said No
    Stopped,    // the program is closing
    NoAnswer,   // the device did not answer in time
    PortLost,   // the port was closed or its device vanished
    Refused,    // a gate or a check on the input refused it before any write
    BadAnswer,  // the device answered, but not as it must
};

struct OperationOutcome {
    OutcomeKind kind = OutcomeKind::Completed;
    // The failure as the user was told it; empty when completed.
    std::string text;

    bool Completed() const { return kind == OutcomeKind::Completed; }
};
