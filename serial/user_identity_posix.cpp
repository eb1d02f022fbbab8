#include "serial/user_identity.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <type_traits>

static_assert(std::is_same_v<uid_t, UserId> && std::is_same_v<gid_t, GroupId>);

namespace {

std::vector<GroupId> ProcessGroups() {
    std::vector<GroupId> groups{getegid()};
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<GroupId> extra(static_cast<std::size_t>(count));
        const int got = getgroups(count, extra.data());
        extra.resize(static_cast<std::size_t>(std::max(got, 0)));
        groups.insert(groups.end(), extra.begin(), extra.end());
    }
    return groups;
}

std::vector<GroupId> AccountGroups(const char* user, gid_t primary) {
    int count = 32;
    std::vector<GroupId> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user, primary, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(user, primary, groups.data(), &count) < 0) {
            return {primary};
        }
    }
    groups.resize(static_cast<std::size_t>(count));
    return groups;
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

std::string GroupName(GroupId group) {
    std::vector<char> buffer(16384);
    ::group entry{};
    ::group* found = nullptr;
    if (getgrgid_r(group, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return found->gr_name;
    }
    return std::to_string(group);
}
