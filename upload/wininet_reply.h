#pragma once

#include <string>

// The last reply of an FTP server to a WinINet call of the calling thread, its
// lines joined by spaces; empty when there is none.
std::string LastFtpReply();

// Why a WinINet call of the calling thread failed with `error`: the server's
// reply where the server refused the login or a command, else the system's
// text of the error.
std::string WinInetFailureText(unsigned long error);
