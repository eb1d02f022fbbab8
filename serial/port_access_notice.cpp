#include "serial/port_access_notice.h"

#include "base/language.h"

std::optional<std::string> PortAccessNotice::Refused(int port, PortProblem problem) {
    if (problem != PortProblem::NoPermission || !reported_.insert(port).second) {
        return std::nullopt;
    }
    return PickText("Нет доступа к порту COM", "No access to port COM") + std::to_string(port);
}

void PortAccessNotice::Forget(int port) {
    reported_.erase(port);
}
