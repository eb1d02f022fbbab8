#pragma once

#include <memory>
#include <string>

#include "upload/ftp_client.h"

// The FTP client of this system: libcurl's on Linux. The Windows build has
// none (Debian has no libcurl for it, and the system's own FTP client speaks
// no TLS): there it is null and the upload is refused with NoFtpClientText.
std::unique_ptr<FtpClient> SystemFtpClient(FtpAccount account);

// The log line of an upload that this build cannot make.
std::string NoFtpClientText();
