#pragma once

#include <string>

// Opens `folder` as a directory of the user's own, making it with mode 0700
// when it is missing. It is never opened through a link, and it is refused
// when another user owns it or group or others may write to it, since anyone
// who can change it could swap the files the program writes, reads back or
// deletes there. Returns the open descriptor, or -1.
int OpenOwnFolder(const std::string& folder);
