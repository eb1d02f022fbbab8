#include "upload/ftp_exchange.h"

#include <cctype>

namespace {

constexpr int kLoggedIn = 230;
constexpr int kAuthAccepted = 234;

// The reply code at the start of a line, or 0 for a continuation line.
int ReplyCode(std::string_view line) {
    if (line.size() < 3) {
        return 0;
    }
    int code = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) {
            return 0;
        }
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            visit(line);
        }
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
}

std::string Verb(std::string_view line) {
    std::string verb;
    for (char character : line.substr(0, line.find(' '))) {
        verb += static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    }
    return verb;
}

}  // namespace

void FtpExchange::Sent(std::string_view text) {
    ForEachLine(text, [this](std::string_view line) { lastCommand_ = Verb(line); });
}

void FtpExchange::Received(std::string_view text) {
    ForEachLine(text, [this](std::string_view line) {
        const int code = ReplyCode(line);
        if (code == 0) {
            return;
        }
        lastReply_ = std::string(line);
        const bool positive = code / 100 == 2;
        if (code == kLoggedIn || (lastCommand_ == "PASS" && positive)) {
            loggedIn_ = true;
        }
        if (lastCommand_ == "AUTH" && code == kAuthAccepted) {
            tlsOffered_ = true;
        }
        if (lastCommand_ == "PROT" && positive) {
            protectionAccepted_ = true;
        }
    });
}

FtpFailure FtpExchange::FailedStep() const {
    if (!loggedIn_) {
        return FtpFailure::Connection;
    }
    if (lastCommand_ == "CWD" || lastCommand_ == "MKD") {
        return FtpFailure::Directory;
    }
    return FtpFailure::Append;
}
