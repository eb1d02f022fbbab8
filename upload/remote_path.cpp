#include "upload/remote_path.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t kSerialDigitCount = 8;
constexpr char kSeparator = '\\';

bool Unprogrammed(const std::string& digits) {
    return std::all_of(digits.begin(), digits.end(),
                       [](char digit) { return digit == 'F' || digit == 'f'; });
}

std::string SerialPart(const std::string& digits) {
    if (digits.size() != kSerialDigitCount || Unprogrammed(digits)) {
        return std::string(kNoNumberDirectory) + kSeparator;
    }
    return digits.substr(0, 1) + "_" + digits.substr(1, 2) + kSeparator + digits.substr(3, 2) +
           "xxx" + kSeparator + digits.substr(5, 1) + "xx" + kSeparator;
}

}  // namespace

std::string ReportRemotePath(const std::string& serialDigits, const std::string& folder,
                             const std::string& remoteName) {
    return folder + kSeparator + SerialPart(serialDigits) + remoteName;
}

std::vector<std::string> RemoteDirectories(const std::string& remotePath) {
    std::vector<std::string> directories;
    std::size_t start = 0;
    for (std::size_t end = remotePath.find(kSeparator); end != std::string::npos;
         end = remotePath.find(kSeparator, start)) {
        if (end > start) {
            directories.push_back(remotePath.substr(start, end - start));
        }
        start = end + 1;
    }
    return directories;
}

std::string RemoteFileName(const std::string& remotePath) {
    const std::size_t last = remotePath.rfind(kSeparator);
    return last == std::string::npos ? remotePath : remotePath.substr(last + 1);
}

std::string ReportSerialDigits(const DeviceInfo& info) {
    return info.valid ? SerialDigits(info.inf1) : std::string();
}

std::string SerialDigitsFromText(const std::string& text) {
    std::string digits;
    for (char character : text) {
        if (character == '-') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(character))) {
            return {};
        }
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    }
    return digits.size() == kSerialDigitCount ? digits : std::string();
}
