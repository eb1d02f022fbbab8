#include "serial/port_diagnosis.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string ResolvedPath(const std::string& path) {
    std::error_code error;
    const fs::path resolved = fs::canonical(path, error);
    return error ? path : resolved.string();
}

void LearnOwnerGroup(PortDiagnosis& diagnosis, const UserIdentity& user) {
    diagnosis.userName = user.name;
    struct stat status {};
    if (stat(diagnosis.devicePath.c_str(), &status) != 0) {
        return;
    }
    diagnosis.group = GroupName(status.st_gid);
    diagnosis.inSessionGroup = user.InSession(status.st_gid) ? Knowledge::Yes : Knowledge::No;
    diagnosis.inAccountGroup = user.InAccount(status.st_gid);
}

PortProblem ProblemOf(int error) {
    switch (error) {
        case 0:
            return PortProblem::None;
        case EACCES:
        case EPERM:
            return PortProblem::NoPermission;
        case EBUSY:
        case EWOULDBLOCK:
            return PortProblem::Busy;
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR:
            return PortProblem::Gone;
        default:
            return PortProblem::Other;
    }
}

}  // namespace

PortDiagnosis DiagnoseOpenError(const std::string& path, int error, const SystemRoots& roots,
                                const UserIdentity& user) {
    PortDiagnosis diagnosis;
    diagnosis.problem = ProblemOf(error);
    diagnosis.devicePath = ResolvedPath(path);
    if (diagnosis.problem == PortProblem::NoPermission) {
        LearnOwnerGroup(diagnosis, user);
    } else if (diagnosis.problem == PortProblem::Busy) {
        diagnosis.holders = FindPortHolders(roots.proc, diagnosis.devicePath);
    } else if (diagnosis.problem == PortProblem::Other) {
        diagnosis.systemMessage = std::strerror(error);
    }
    return diagnosis;
}

int ProbePortOpen(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    if (!isatty(fd)) {
        error = ENOTTY;
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
    }
    close(fd);
    return error;
}
