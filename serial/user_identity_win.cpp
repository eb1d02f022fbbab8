#include "serial/user_identity.h"

#include <windows.h>

#include "base/wide_text.h"

// Windows grants a COM port to whoever opens it first; groups play no part.
UserIdentity UserIdentity::Current() {
    UserIdentity user;
    wchar_t name[257];
    DWORD length = sizeof name / sizeof name[0];
    if (GetUserNameW(name, &length) && length > 1) {
        user.name = Utf8FromWide(std::wstring_view(name, length - 1));
    }
    return user;
}

std::string GroupName(GroupId group) {
    return std::to_string(group);
}
