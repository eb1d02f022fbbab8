#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/app_log.h"

// Entries "COM<n>" of the port folder that cannot be a port: a dangling
// symbolic link, a directory, anything that is not a character device. They
// are left out of the port table rather than opened as a port.
struct SkippedPortEntry {
    std::string path;
    std::string reason;
};

// Why `path` is no port; none for a character device (or a link to one).
std::optional<std::string> PortEntrySkipReason(const std::string& path);

// The port folder's "COM<n>" entries that are no port, in name order.
std::vector<SkippedPortEntry> SkippedPortEntries(const std::string& portDir);

// "Port folder entry <path> skipped: <reason>"
std::string SkippedEntryLine(const SkippedPortEntry& entry);

// Logs each skipped entry once while it stays as it is, so a refresh every
// second does not repeat the same line.
class PortEntrySkipLog {
  public:
    void Check(const std::string& portDir, const LogSink& sink);

  private:
    std::set<std::string> logged_;
};
