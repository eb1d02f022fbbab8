#pragma once

#include <string>

#include "upload/ftp_client.h"
#include "upload/wininet_session.h"

// Appends `content` to the file `fileName` of the session's current directory
// with APPE in binary, telling `sent` the bytes sent so far, and checks the
// server's final reply. Any failure is an Append one.
FtpResult AppendInSession(const WinInetSession& session, const std::string& fileName,
                          const std::string& content, const FtpBytesSent& sent);
