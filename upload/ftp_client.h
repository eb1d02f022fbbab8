#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Which step of an FTP session failed.
enum class FtpFailure {
    None,
    Connection,  // connect, the TLS handshake or the login
    Directory,   // a change or creation of directory
    Append,      // the transfer type, the data connection or the append itself
};

struct FtpResult {
    FtpFailure failure = FtpFailure::None;
    // Why, for the log; never holds the account's password.
    std::string detail;

    bool Ok() const { return failure == FtpFailure::None; }
};

// Where and as whom the client logs in.
struct FtpAccount {
    std::string host;
    int port = 21;
    std::string user;
    std::string password;
    // A PEM certificate bundle trusted for TLS instead of the system's; empty
    // for the system's.
    std::string caFile;
};

// Told the bytes of the file sent so far.
using FtpBytesSent = std::function<void(std::uint64_t)>;

// An FTP account on one server. Each call is a session of its own: it logs in,
// does its work from the login directory and logs out, within `timeLimitMs`
// for the whole session.
class FtpClient {
  public:
    virtual ~FtpClient() = default;

    // Changes into each directory in turn; where that fails, makes the
    // directory and changes into it.
    virtual FtpResult MakeDirectories(const std::vector<std::string>& directories,
                                      std::uint32_t timeLimitMs) = 0;

    // Sets the transfer type "TYPE L 8", changes into each directory in turn
    // (never making one) and appends `content` to the file `fileName` there.
    virtual FtpResult AppendFile(const std::vector<std::string>& directories,
                                 const std::string& fileName, const std::string& content,
                                 std::uint32_t timeLimitMs, const FtpBytesSent& sent) = 0;
};
