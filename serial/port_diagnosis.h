#pragma once

#include <string>

#include "serial/port_holders.h"
#include "serial/system_roots.h"
#include "serial/user_identity.h"

// Why a serial port could not be opened, in the user's words rather than the
// bare "Error" of the open log line.
enum class PortProblem { None, NoPermission, Busy, Gone, Other };

struct PortDiagnosis {
    PortProblem problem = PortProblem::None;
    std::string devicePath;  // the device itself, links resolved
    // NoPermission: the device's owner group and the user's place in it.
    std::string userName;
    std::string group = "unknown";
    Knowledge inSessionGroup = Knowledge::Unknown;
    bool inAccountGroup = false;
    PortHolders holders;        // Busy: who has the device open
    std::string systemMessage;  // Other: the system's own text of the error
};

// The diagnosis of an open of `path` that failed with the system error `error`.
PortDiagnosis DiagnoseOpenError(const std::string& path, int error, const SystemRoots& roots,
                                const UserIdentity& user);

// Opens `path` the way the port does (read-write, exclusively locked, a
// terminal) and closes it again; the system error that stopped it, 0 when it
// opened.
int ProbePortOpen(const std::string& path);

// The reason in one sentence, without a trailing full stop.
std::string DiagnosisReason(const PortDiagnosis& diagnosis);
// The one thing the user can do about it; empty when there is nothing to advise.
std::string DiagnosisSuggestion(const PortDiagnosis& diagnosis);
// The reason followed by the suggestion: the log line beside "Open COM <n> : Error".
std::string DiagnosisText(const PortDiagnosis& diagnosis);

// DiagnosisText of a failed open on this machine, as the current user.
std::string PortOpenFailureText(const std::string& path, int error);
