#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "upload/ftp_client.h"

// One login to an FTP server through WinINet, in passive mode, bounded as a
// whole by a time limit: each wait is bounded by WinINet's time-outs, and when
// the limit passes the session's root handle is closed from a watching thread,
// which ends whatever WinINet call is blocked and fails every later one (wine
// does not apply the time-outs to an FTP control connection).
class WinInetSession {
  public:
    WinInetSession(const FtpAccount& account, std::uint32_t timeLimitMs);
    // Logs out.
    ~WinInetSession();
    WinInetSession(const WinInetSession&) = delete;
    WinInetSession& operator=(const WinInetSession&) = delete;

    // Connects and logs in; a failure is a Connection one.
    FtpResult LogIn();
    // The logged-in connection for the Ftp* calls.
    HINTERNET Connection() const { return connection_; }
    const FtpAccount& Account() const { return account_; }
    // The milliseconds left of the session, 0 once it ran out.
    std::uint32_t RemainingMs() const;

    // The failure of `step` while doing `what` (such as "CWD log5"), from the
    // calling thread's last error: call it right after the failed WinINet call.
    FtpResult Failed(FtpFailure step, const std::string& what) const;
    // The same for a failure outside WinINet, whose reason is `why`.
    FtpResult Failed(FtpFailure step, const std::string& what, const std::string& why) const;

  private:
    using Clock = std::chrono::steady_clock;
    void Watch();

    const FtpAccount& account_;
    const std::uint32_t timeLimitMs_;
    const Clock::time_point deadline_;
    HINTERNET root_ = nullptr;
    HINTERNET connection_ = nullptr;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool over_ = false;
    std::atomic<bool> expired_ = false;
    std::thread watcher_;
};
