#pragma once

#include <string>

#include "upload/ftp_client.h"

// FtpClient over libcurl: passive mode (PASV), one CWD per directory, TLS on
// the control and data connections where the server offers it. Once a server
// has offered TLS in this client's lifetime, every later session requires it
// (on the data connection too when the server protected that), so a failed
// handshake or an offer that vanished never leads to the password going out
// in clear text.
class CurlFtpClient : public FtpClient {
  public:
    explicit CurlFtpClient(FtpAccount account);

    FtpResult MakeDirectories(const std::vector<std::string>& directories,
                              std::uint32_t timeLimitMs) override;
    FtpResult AppendFile(const std::vector<std::string>& directories, const std::string& fileName,
                         const std::string& content, std::uint32_t timeLimitMs,
                         const FtpBytesSent& sent) override;

  private:
    class Session;
    FtpResult Finish(Session& session);

    FtpAccount account_;
    long tlsLevel_;
};
