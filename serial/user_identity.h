#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

// Who the program runs as, for telling why a device may not be opened.
struct UserIdentity {
    uid_t uid = 0;
    std::string name = "unknown";
    // The groups this process has now; a membership added after login is not
    // among them until the user logs in again.
    std::vector<gid_t> sessionGroups;
    // The groups the account belongs to according to the group database.
    std::vector<gid_t> accountGroups;

    static UserIdentity Current();

    bool InSession(gid_t group) const;
    bool InAccount(gid_t group) const;
};

// The group's name, or its number where the group database does not know it.
std::string GroupName(gid_t group);
