#include "upload/wininet_ftp_client.h"

#include "base/wide_text.h"
#include "upload/wininet_append.h"
#include "upload/wininet_session.h"

namespace {

bool ChangeDirectory(const WinInetSession& session, const std::wstring& name) {
    return FtpSetCurrentDirectoryW(session.Connection(), name.c_str()) != FALSE;
}

}  // namespace

WinInetFtpClient::WinInetFtpClient(FtpAccount account) : account_(std::move(account)) {}

FtpResult WinInetFtpClient::MakeDirectories(const std::vector<std::string>& directories,
                                            std::uint32_t timeLimitMs) {
    WinInetSession session(account_, timeLimitMs);
    if (FtpResult login = session.LogIn(); !login.Ok()) {
        return login;
    }
    for (const std::string& directory : directories) {
        const std::wstring name = WideFromUtf8(directory);
        if (ChangeDirectory(session, name)) {
            continue;
        }
        if (!FtpCreateDirectoryW(session.Connection(), name.c_str())) {
            return session.Failed(FtpFailure::Directory, "MKD " + directory);
        }
        if (!ChangeDirectory(session, name)) {
            return session.Failed(FtpFailure::Directory, "CWD " + directory);
        }
    }
    return {};
}

FtpResult WinInetFtpClient::AppendFile(const std::vector<std::string>& directories,
                                       const std::string& fileName, const std::string& content,
                                       std::uint32_t timeLimitMs, const FtpBytesSent& sent) {
    WinInetSession session(account_, timeLimitMs);
    if (FtpResult login = session.LogIn(); !login.Ok()) {
        return login;
    }
    // As with the Linux client, a server that refuses the type still gets the
    // append, which asks for binary anyway; only a lost session ends here.
    if (!FtpCommandW(session.Connection(), FALSE, FTP_TRANSFER_TYPE_BINARY, L"TYPE L 8", 0,
                     nullptr) &&
        GetLastError() != ERROR_INTERNET_EXTENDED_ERROR) {
        return session.Failed(FtpFailure::Append, "TYPE L 8");
    }
    for (const std::string& directory : directories) {
        if (!ChangeDirectory(session, WideFromUtf8(directory))) {
            return session.Failed(FtpFailure::Directory, "CWD " + directory);
        }
    }
    return AppendInSession(session, fileName, content, sent);
}
