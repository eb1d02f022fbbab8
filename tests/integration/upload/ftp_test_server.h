#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/file_text.h"
#include "support/temp_dir.h"

// A real FTP server (pyftpdlib) on 127.0.0.1 with a private home folder, for
// one test; stopped when it goes out of scope.
class FtpTestServer {
  public:
    struct Options {
        std::string user = "reports";
        std::string password = "S3cret-Pw";
        std::string permissions = "elradfmw";  // pyftpdlib's letters
        bool tls = false;                      // offer TLS with a new certificate
        bool tlsFirstConnectionOnly = false;
    };

    explicit FtpTestServer(Options options);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // False when the server did not come up; the reason is in Error().
    bool Running() const { return port_ != 0; }
    const std::string& Error() const { return error_; }
    int Port() const { return port_; }
    const Options& Account() const { return options_; }
    // The server's root folder.
    std::string Home() const { return folder_.Path() + "/home"; }
    // The certificate the server offers, to be trusted by the client.
    std::string CertificateFile() const { return folder_.Path() + "/cert.pem"; }
    // Every command received so far as "tls CMD args" or "plain CMD args";
    // PASS without its argument.
    std::vector<std::string> Transcript() const;

  private:
    void Start();

    Options options_;
    TempDir folder_;
    pid_t pid_ = 0;
    int port_ = 0;
    std::string error_;
};
