#include "upload/wininet_append.h"

#include <algorithm>
#include <optional>

#include "base/wide_text.h"
#include "upload/ftp_data_socket.h"
#include "upload/ftp_passive_reply.h"
#include "upload/wininet_reply.h"

namespace {

constexpr std::size_t kPieceSize = 16 * 1024;

// Sends `content` through `write`, which sends some of the bytes it is given
// and tells how many (0 when it failed), and tells `sent` the running total.
template <typename Write>
bool SendInPieces(const std::string& content, const FtpBytesSent& sent, Write write) {
    std::size_t done = 0;
    while (done < content.size()) {
        const std::size_t piece =
            write(content.data() + done, std::min(kPieceSize, content.size() - done));
        if (piece == 0) {
            return false;
        }
        done += piece;
        if (sent) {
            sent(done);
        }
    }
    return true;
}

bool Command(const WinInetSession& session, const wchar_t* command) {
    return FtpCommandW(session.Connection(), FALSE, FTP_TRANSFER_TYPE_BINARY, command, 0,
                       nullptr) != FALSE;
}

// WinINet may read the transfer's final reply when the data connection
// closes; if not, it is the answer to the next command. Either way a NOOP
// brings a refused transfer to light.
FtpResult CheckFinalReply(const WinInetSession& session, const std::string& what) {
    if (!Command(session, L"NOOP")) {
        return session.Failed(FtpFailure::Append, what);
    }
    return {};
}

FtpResult SendThroughWinInet(const WinInetSession& session, HINTERNET data, const std::string& what,
                             const std::string& content, const FtpBytesSent& sent) {
    const bool written = SendInPieces(content, sent, [data](const char* bytes, std::size_t size) {
        DWORD count = 0;
        const BOOL ok = InternetWriteFile(data, bytes, static_cast<DWORD>(size), &count);
        return ok ? static_cast<std::size_t>(count) : 0;
    });
    if (!written) {
        const FtpResult failure = session.Failed(FtpFailure::Append, what);
        InternetCloseHandle(data);
        return failure;
    }
    if (!InternetCloseHandle(data)) {
        return session.Failed(FtpFailure::Append, what);
    }
    return CheckFinalReply(session, what);
}

// For a WinINet whose FtpCommand opens no data connection (wine's): the data
// connection is the program's own, to the port PASV names, and APPE goes as a
// plain command over it.
FtpResult SendThroughOwnSocket(const WinInetSession& session, const std::wstring& command,
                               const std::string& what, const std::string& content,
                               const FtpBytesSent& sent) {
    if (!Command(session, L"PASV")) {
        return session.Failed(FtpFailure::Append, "PASV");
    }
    const std::string reply = LastFtpReply();
    const std::optional<int> port = PassivePort(reply);
    if (!port) {
        return session.Failed(FtpFailure::Append, "PASV", "no data port in \"" + reply + "\"");
    }
    FtpDataSocket socket;
    if (!socket.Connect(session.Account().host, *port, session.RemainingMs())) {
        return session.Failed(FtpFailure::Append, "data connection", socket.Error());
    }
    if (!Command(session, command.c_str())) {
        return session.Failed(FtpFailure::Append, what);
    }
    const bool written = SendInPieces(content, sent, [&](const char* bytes, std::size_t size) {
        return socket.Send(bytes, size, session.RemainingMs());
    });
    if (!written) {
        return session.Failed(FtpFailure::Append, what, socket.Error());
    }
    socket.Close();
    return CheckFinalReply(session, what);
}

}  // namespace

FtpResult AppendInSession(const WinInetSession& session, const std::string& fileName,
                          const std::string& content, const FtpBytesSent& sent) {
    const std::string what = "APPE " + fileName;
    const std::wstring command = WideFromUtf8(what);
    HINTERNET data = nullptr;
    // A failure that sets no error is a FtpCommand without data connections.
    SetLastError(ERROR_SUCCESS);
    if (FtpCommandW(session.Connection(), TRUE, FTP_TRANSFER_TYPE_BINARY, command.c_str(), 0,
                    &data)) {
        return SendThroughWinInet(session, data, what, content, sent);
    }
    if (const DWORD error = GetLastError();
        error == ERROR_SUCCESS || error == ERROR_CALL_NOT_IMPLEMENTED) {
        return SendThroughOwnSocket(session, command, what, content, sent);
    }
    return session.Failed(FtpFailure::Append, what);
}
