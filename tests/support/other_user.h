#pragma once

#include <unistd.h>

#include <string>

// Hands `path` (not a link's target) to another user, the one nobody runs
// as. Only root can; elsewhere the cases that need it are left out and the
// link and mode cases stand for them.
inline bool GiveToAnotherUser(const std::string& path) {
    constexpr uid_t kNobody = 65534;
    return ::geteuid() == 0 && ::lchown(path.c_str(), kNobody, kNobody) == 0;
}
