#pragma once

#include <optional>
#include <string>

// The update server account, from the options file's group UPLOAD.
struct UploadConfig {
    static constexpr int kDefaultPort = 21;
    static constexpr int kDefaultTimeoutSeconds = 10;
    static constexpr int kLongestTimeoutSeconds = 600;
    static constexpr const char* kDefaultPassword = "Upl_40928";

    std::string host;  // empty: no upload at all
    int port = kDefaultPort;
    std::string user;
    std::string password = kDefaultPassword;
    // The bound of the whole upload, every attempt and pause included.
    int timeoutSeconds = kDefaultTimeoutSeconds;
    // A PEM certificate bundle trusted for TLS instead of the system's.
    std::string caFile;
    // Set when the options hold a value that must not be used; what is wrong,
    // for the log. Never quotes the password.
    std::string problem;

    bool Configured() const { return !host.empty(); }
};

// The values of one options group by name; nothing for a missing value.
class UploadOptionsSource {
  public:
    virtual ~UploadOptionsSource() = default;
    virtual std::optional<std::string> ReadString(const std::string& name) = 0;
};

inline constexpr const char* kUploadGroup = "UPLOAD";

// Reads Host, Port, User, Password, TimeoutSeconds and CaFile. Host may carry
// the port ("name:2121", "[2001:db8::7]:2121"); one that differs from Port is
// refused, and an IPv6 address stands alone or in brackets. A time-out
// outside 1 to 600 seconds is brought to the nearer end, an unreadable one
// gives the default; a host, user or password that could not be sent as it is,
// or a port that is not one, leaves `problem` set.
UploadConfig ReadUploadConfig(UploadOptionsSource& source);
