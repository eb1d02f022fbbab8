#include "serial/user_identity.h"

#include <algorithm>

namespace {

bool Contains(const std::vector<GroupId>& groups, GroupId group) {
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

}  // namespace

bool UserIdentity::InSession(GroupId group) const {
    return Contains(sessionGroups, group);
}

bool UserIdentity::InAccount(GroupId group) const {
    return Contains(accountGroups, group);
}
