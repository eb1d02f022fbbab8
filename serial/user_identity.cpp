#include "serial/user_identity.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>

namespace {

std::vector<gid_t> ProcessGroups() {
    std::vector<gid_t> groups{getegid()};
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> extra(static_cast<std::size_t>(count));
        const int got = getgroups(count, extra.data());
        extra.resize(static_cast<std::size_t>(std::max(got, 0)));
        groups.insert(groups.end(), extra.begin(), extra.end());
    }
    return groups;
}

std::vector<gid_t> AccountGroups(const char* user, gid_t primary) {
    int count = 32;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user, primary, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(user, primary, groups.data(), &count) < 0) {
            return {primary};
        }
    }
    groups.resize(static_cast<std::size_t>(count));
    return groups;
}

bool Contains(const std::vector<gid_t>& groups, gid_t group) {
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

}  // namespace

UserIdentity UserIdentity::Current() {
    UserIdentity user;
    user.uid = geteuid();
    user.sessionGroups = ProcessGroups();
    user.accountGroups = user.sessionGroups;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(user.uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        user.name = found->pw_name;
        user.accountGroups = AccountGroups(found->pw_name, found->pw_gid);
    }
    return user;
}

bool UserIdentity::InSession(gid_t group) const {
    return Contains(sessionGroups, group);
}

bool UserIdentity::InAccount(gid_t group) const {
    return Contains(accountGroups, group);
}

std::string GroupName(gid_t group) {
    std::vector<char> buffer(16384);
    ::group entry{};
    ::group* found = nullptr;
    if (getgrgid_r(group, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return found->gr_name;
    }
    return std::to_string(group);
}
