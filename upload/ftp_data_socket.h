#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstddef>
#include <cstdint>
#include <string>

// A passive-mode FTP data connection that the program opens itself, for a
// WinINet whose FtpCommand opens none (wine's). The server takes its close as
// the end of the file.
class FtpDataSocket {
  public:
    FtpDataSocket();
    ~FtpDataSocket();
    FtpDataSocket(const FtpDataSocket&) = delete;
    FtpDataSocket& operator=(const FtpDataSocket&) = delete;

    // Connects to `port` of `host` within `timeLimitMs`; false with Error() set.
    bool Connect(const std::string& host, int port, std::uint32_t timeLimitMs);
    // Sends some of `size` bytes, waiting at most `timeLimitMs`: the count
    // sent, 0 with Error() set on failure.
    std::size_t Send(const char* data, std::size_t size, std::uint32_t timeLimitMs);
    // Ends the file: what was sent still goes out, then the connection closes.
    void Close();
    const std::string& Error() const { return error_; }

  private:
    bool ConnectTo(const addrinfo& address, std::uint32_t timeLimitMs);
    void Fail(int error);

    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    std::string error_;
};
