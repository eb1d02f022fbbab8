#include "serial/port_holders.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "base/language.h"

namespace fs = std::filesystem;

namespace {

// The process id a <proc> entry is named after; none for the other entries.
std::optional<pid_t> ProcessId(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (name.empty() || error != std::errc() || end != name.data() + name.size()) {
        return std::nullopt;
    }
    return pid;
}

std::string CommandName(const fs::path& processFolder) {
    std::ifstream file(processFolder / "comm");
    std::string name;
    if (!std::getline(file, name) || name.empty()) {
        return "unknown";
    }
    return name;
}

// Calls `visit` on each entry of `folder` until it returns false, without
// throwing: in /proc, processes and their descriptors come and go while they
// are read. False when the folder could not be read to the end.
template <typename Visit>
bool VisitEntries(const fs::path& folder, Visit visit) {
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    for (const fs::directory_iterator end; !error && entry != end; entry.increment(error)) {
        if (!visit(*entry)) {
            return true;
        }
    }
    return !error;
}

bool HasOpen(const fs::path& processFolder, const std::string& devicePath, bool& readable) {
    bool found = false;
    readable = VisitEntries(processFolder / "fd", [&](const fs::directory_entry& file) {
        std::error_code linkError;
        found = fs::read_symlink(file.path(), linkError) == devicePath;
        return !found;
    });
    return found;
}

}  // namespace

PortHolders FindPortHolders(const std::string& procRoot, const std::string& devicePath) {
    PortHolders result;
    const bool read = VisitEntries(procRoot, [&](const fs::directory_entry& process) {
        if (const auto pid = ProcessId(process)) {
            bool readable = true;
            if (HasOpen(process.path(), devicePath, readable)) {
                result.holders.push_back({*pid, CommandName(process.path())});
            }
            result.complete = result.complete && readable;
        }
        return true;
    });
    result.complete = result.complete && read;
    return result;
}

Knowledge ProcessRunning(const std::string& procRoot, const std::string& name) {
    bool running = false;
    const bool read = VisitEntries(procRoot, [&](const fs::directory_entry& process) {
        running = ProcessId(process) && CommandName(process.path()) == name;
        return !running;
    });
    if (running) {
        return Knowledge::Yes;
    }
    return read ? Knowledge::No : Knowledge::Unknown;
}

std::string HoldersText(const std::vector<PortHolder>& holders) {
    std::string text;
    for (const auto& holder : holders) {
        if (!text.empty()) {
            text += ", ";
        }
        text +=
            holder.name + PickText(" (процесс ", " (process ") + std::to_string(holder.pid) + ")";
    }
    return text;
}
