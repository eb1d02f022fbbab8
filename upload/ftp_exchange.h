#pragma once

#include <string>
#include <string_view>

#include "upload/ftp_client.h"

// Follows the commands and replies of one FTP session to tell where it stood
// when it failed. Only command names are kept, never their arguments, so the
// password sent with PASS is never stored.
class FtpExchange {
  public:
    // One or more command lines as they went to the server.
    void Sent(std::string_view text);
    // One or more reply lines as they came from the server.
    void Received(std::string_view text);

    bool LoggedIn() const { return loggedIn_; }
    // The server accepted AUTH: it offers TLS.
    bool TlsOffered() const { return tlsOffered_; }
    // The server accepted a PROT command: the data connection's protection.
    bool ProtectionAccepted() const { return protectionAccepted_; }
    // The step that was under way, for a session that failed.
    FtpFailure FailedStep() const;
    // The last complete reply line, for the log.
    const std::string& LastReply() const { return lastReply_; }

  private:
    std::string lastCommand_;
    std::string lastReply_;
    bool loggedIn_ = false;
    bool tlsOffered_ = false;
    bool protectionAccepted_ = false;
};
