#pragma once

#include <string>

#include "upload/ftp_client.h"

// FtpClient over WinINet, the system's own FTP client: passive mode, one CWD
// per directory. WinINet speaks no FTPS, so the login, the commands and the
// file go in clear text, and the account's caFile is not used.
class WinInetFtpClient : public FtpClient {
  public:
    explicit WinInetFtpClient(FtpAccount account);

    FtpResult MakeDirectories(const std::vector<std::string>& directories,
                              std::uint32_t timeLimitMs) override;
    FtpResult AppendFile(const std::vector<std::string>& directories, const std::string& fileName,
                         const std::string& content, std::uint32_t timeLimitMs,
                         const FtpBytesSent& sent) override;

  private:
    FtpAccount account_;
};
