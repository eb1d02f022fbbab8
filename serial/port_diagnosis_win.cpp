#include "serial/port_diagnosis.h"

#include <windows.h>

#include "base/wide_text.h"

namespace {

PortProblem ProblemOf(int error) {
    switch (error) {
        case 0:
            return PortProblem::None;
        // Windows gives a COM port to one program at a time and refuses the
        // others access.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return PortProblem::Busy;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_BAD_UNIT:
            return PortProblem::Gone;
        default:
            return PortProblem::Other;
    }
}

// "\\.\COM12" is COM12 to the user.
std::string PortName(const std::string& path) {
    const std::string prefix = "\\\\.\\";
    return path.rfind(prefix, 0) == 0 ? path.substr(prefix.size()) : path;
}

}  // namespace

// Windows tells neither who holds a port nor anything of groups: the error
// code says it all.
PortDiagnosis DiagnoseOpenError(const std::string& path, int error, const SystemRoots&,
                                const UserIdentity& user) {
    PortDiagnosis diagnosis;
    diagnosis.problem = ProblemOf(error);
    diagnosis.devicePath = PortName(path);
    diagnosis.userName = user.name;
    diagnosis.holders.complete = false;
    if (diagnosis.problem == PortProblem::Other) {
        diagnosis.systemMessage = SystemErrorText(static_cast<DWORD>(error));
    }
    return diagnosis;
}

int ProbePortOpen(const std::string& path) {
    const HANDLE port = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error != 0 ? static_cast<int>(error) : ERROR_GEN_FAILURE;
    }
    DCB line{};
    line.DCBlength = sizeof line;
    // A file or another device opens too, but has no line settings.
    const int error = GetCommState(port, &line) ? 0 : ERROR_NOT_SUPPORTED;
    CloseHandle(port);
    return error;
}
