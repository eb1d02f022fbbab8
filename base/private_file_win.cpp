#include "base/private_file.h"

// The user's profile folders (%APPDATA%, %LOCALAPPDATA%) give access to the
// user alone, and a file made in them inherits that.
bool KeepFilePrivate(const std::string&) {
    return true;
}
