#pragma once

#include <string>
#include <vector>

#include "protocol/device_info.h"

// Where a device's report lives on the update server: the upload folder, then
// a directory per first digit and digit pair, per block of 1000 and per block
// of 100 serial numbers, then the file, all separated by backslashes:
// "log5\1_23\45xxx\6xx\rep.txt" for the digits 12345678. Devices without a
// usable serial number share "__no_number".
inline constexpr const char* kNoNumberDirectory = "__no_number";

// `serialDigits` holds the eight upper-case hexadecimal digits of the serial
// number, or is empty when no device was identified.
std::string ReportRemotePath(const std::string& serialDigits, const std::string& folder,
                             const std::string& remoteName);

// The pieces of a remote path that end at a backslash; empty pieces are left
// out since no directory can be entered by an empty name.
std::vector<std::string> RemoteDirectories(const std::string& remotePath);
// The piece after the last backslash.
std::string RemoteFileName(const std::string& remotePath);

// The digits the report is filed under: empty when the device is not identified.
std::string ReportSerialDigits(const DeviceInfo& info);

// Accepts "123-45678", "1-23-45678" or "12345678" in either case and gives the
// eight upper-case digits; empty when the text is not such a serial number.
std::string SerialDigitsFromText(const std::string& text);
