#include "upload/wininet_session.h"

#include <algorithm>

#include "base/wide_text.h"
#include "upload/ftp_url.h"
#include "upload/secret_text.h"
#include "upload/wininet_reply.h"

WinInetSession::WinInetSession(const FtpAccount& account, std::uint32_t timeLimitMs)
    : account_(account),
      timeLimitMs_(timeLimitMs),
      deadline_(Clock::now() + std::chrono::milliseconds(timeLimitMs)),
      root_(InternetOpenW(L"Dravo Explorer", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)) {
    // Handles made from the root take its time-outs; 0 would mean none at all.
    DWORD waitMs = std::max<DWORD>(timeLimitMs, 1);
    for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                               INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        InternetSetOptionW(root_, option, &waitMs, sizeof waitMs);
    }
    watcher_ = std::thread(&WinInetSession::Watch, this);
}

WinInetSession::~WinInetSession() {
    // The logout's QUIT is still bounded by the watching thread.
    if (connection_ != nullptr) {
        InternetCloseHandle(connection_);
    }
    {
        const std::lock_guard lock(mutex_);
        over_ = true;
        if (!expired_ && root_ != nullptr) {
            InternetCloseHandle(root_);
        }
    }
    ended_.notify_one();
    watcher_.join();
}

void WinInetSession::Watch() {
    std::unique_lock lock(mutex_);
    if (!ended_.wait_until(lock, deadline_, [this] { return over_; })) {
        expired_ = true;
        if (root_ != nullptr) {
            InternetCloseHandle(root_);
        }
    }
}

FtpResult WinInetSession::LogIn() {
    const std::wstring host = WideFromUtf8(account_.host);
    const std::wstring user = WideFromUtf8(account_.user);
    const std::wstring password = WideFromUtf8(account_.password);
    connection_ = InternetConnectW(root_, host.c_str(), static_cast<INTERNET_PORT>(account_.port),
                                   user.c_str(), password.c_str(), INTERNET_SERVICE_FTP,
                                   INTERNET_FLAG_PASSIVE, 0);
    if (connection_ == nullptr) {
        return Failed(FtpFailure::Connection, "login as " + account_.user + " to " +
                                                  FtpAuthority(account_.host, account_.port));
    }
    return {};
}

std::uint32_t WinInetSession::RemainingMs() const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
    return expired_ || left.count() <= 0 ? 0 : static_cast<std::uint32_t>(left.count());
}

FtpResult WinInetSession::Failed(FtpFailure step, const std::string& what) const {
    const DWORD error = GetLastError();
    return Failed(step, what, WinInetFailureText(error));
}

FtpResult WinInetSession::Failed(FtpFailure step, const std::string& what,
                                 const std::string& why) const {
    const std::string reason =
        expired_ ? "the session ran past its time limit of " + std::to_string(timeLimitMs_) + " ms"
                 : why;
    return {step, Masked(what + ": " + reason, account_.password)};
}
