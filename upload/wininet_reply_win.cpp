#include "upload/wininet_reply.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "base/wide_text.h"

namespace {

std::wstring LastResponse() {
    std::wstring response(512, L'\0');
    DWORD code = 0;
    DWORD length = static_cast<DWORD>(response.size());
    while (!InternetGetLastResponseInfoW(&code, response.data(), &length)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        response.resize(length + 1);
        length = static_cast<DWORD>(response.size());
    }
    // wine counts the terminating zero in the length, Windows does not.
    response.resize(std::min<std::size_t>(length, response.find(L'\0')));
    return response;
}

}  // namespace

std::string LastFtpReply() {
    std::wstring joined;
    for (const wchar_t character : LastResponse()) {
        const bool lineEnd = character == L'\r' || character == L'\n';
        if (!lineEnd) {
            joined += character;
        } else if (!joined.empty() && joined.back() != L' ') {
            joined += L' ';
        }
    }
    while (!joined.empty() && joined.back() == L' ') {
        joined.pop_back();
    }
    return Utf8FromWide(joined);
}

std::string WinInetFailureText(unsigned long error) {
    if (error == ERROR_INTERNET_EXTENDED_ERROR || error == ERROR_INTERNET_LOGIN_FAILURE) {
        if (std::string reply = LastFtpReply(); !reply.empty()) {
            return reply;
        }
    }
    return LibraryErrorText(L"wininet.dll", error);
}
