#include "upload/ftp_data_socket.h"

#include <algorithm>
#include <chrono>
#include <climits>

#include "base/wide_text.h"

FtpDataSocket::FtpDataSocket() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

FtpDataSocket::~FtpDataSocket() {
    Close();
    if (started_) {
        WSACleanup();
    }
}

bool FtpDataSocket::Connect(const std::string& host, int port, std::uint32_t timeLimitMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeLimitMs);
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (const int error = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
        error != 0) {
        Fail(error);
        return false;
    }
    bool connected = false;
    for (const addrinfo* address = found; address != nullptr && !connected;
         address = address->ai_next) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            Fail(WSAETIMEDOUT);
            break;
        }
        connected = ConnectTo(*address, static_cast<std::uint32_t>(left));
    }
    freeaddrinfo(found);
    return connected;
}

bool FtpDataSocket::ConnectTo(const addrinfo& address, std::uint32_t timeLimitMs) {
    Close();
    socket_ = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (socket_ == INVALID_SOCKET) {
        Fail(WSAGetLastError());
        return false;
    }
    // Without blocking, so that the wait for the connection can be bounded.
    u_long nonBlocking = 1;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
    if (connect(socket_, address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0 &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        Fail(WSAGetLastError());
        return false;
    }
    fd_set connected;
    fd_set failed;
    FD_ZERO(&connected);
    FD_ZERO(&failed);
    FD_SET(socket_, &connected);
    FD_SET(socket_, &failed);
    timeval wait{static_cast<long>(timeLimitMs / 1000),
                 static_cast<long>(timeLimitMs % 1000) * 1000};
    const int ready = select(0, nullptr, &connected, &failed, &wait);
    if (ready <= 0) {
        Fail(ready == 0 ? WSAETIMEDOUT : WSAGetLastError());
        return false;
    }
    int error = 0;
    int size = sizeof error;
    getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
    if (error != 0 || FD_ISSET(socket_, &failed)) {
        Fail(error != 0 ? error : WSAECONNREFUSED);
        return false;
    }
    nonBlocking = 0;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
    return true;
}

std::size_t FtpDataSocket::Send(const char* data, std::size_t size, std::uint32_t timeLimitMs) {
    const DWORD waitMs = std::max<DWORD>(timeLimitMs, 1);
    setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&waitMs),
               sizeof waitMs);
    const int sent = send(socket_, data, static_cast<int>(std::min<std::size_t>(size, INT_MAX)), 0);
    if (sent <= 0) {
        Fail(WSAGetLastError());
        return 0;
    }
    return static_cast<std::size_t>(sent);
}

void FtpDataSocket::Close() {
    if (socket_ != INVALID_SOCKET) {
        shutdown(socket_, SD_SEND);
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
}

void FtpDataSocket::Fail(int error) {
    error_ = SystemErrorText(static_cast<unsigned long>(error));
}
