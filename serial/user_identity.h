#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Numbers of the system's user and group database; Linux's uid_t and gid_t
// are of this size, Windows has no such numbers.
using UserId = std::uint32_t;
using GroupId = std::uint32_t;

// Who the program runs as, for telling why a device may not be opened. On
// Windows only the name is known.
struct UserIdentity {
    UserId uid = 0;
    std::string name = "unknown";
    // The groups this process has now; a membership added after login is not
    // among them until the user logs in again.
    std::vector<GroupId> sessionGroups;
    // The groups the account belongs to according to the group database.
    std::vector<GroupId> accountGroups;

    static UserIdentity Current();

    bool InSession(GroupId group) const;
    bool InAccount(GroupId group) const;
};

// The group's name, or its number where the group database does not know it.
std::string GroupName(GroupId group);
