#pragma once

#include <memory>

#include "upload/ftp_client.h"

// The FTP client of this system: libcurl's on Linux (with TLS where the server
// offers it), WinINet's on Windows (which speaks no TLS).
std::unique_ptr<FtpClient> SystemFtpClient(FtpAccount account);
