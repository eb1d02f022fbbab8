#pragma once

#include <string>

// Keeps a file the user's alone before the program writes it (one that holds
// a password, or the history archive): a missing file is created empty with
// mode 0600, its folders as well; an existing regular file of the user's own
// loses any access of group and others. A link is left as it is and so is its
// target: in the user's own folders only the user can have made it. An
// existing file is never opened, since closing a descriptor would drop the
// locks SQLite holds on it in this process. False when the file could neither
// be made nor narrowed.
bool KeepFilePrivate(const std::string& path);
