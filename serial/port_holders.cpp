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

bool HasOpen(const fs::path& processFolder, const std::string& devicePath, bool& readable) {
    std::error_code error;
    fs::directory_iterator files(processFolder / "fd", error);
    if (error) {
        readable = false;
        return false;
    }
    for (const auto& file : files) {
        std::error_code linkError;
        if (fs::read_symlink(file.path(), linkError) == devicePath) {
            return true;
        }
    }
    return false;
}

}  // namespace

PortHolders FindPortHolders(const std::string& procRoot, const std::string& devicePath) {
    PortHolders result;
    std::error_code error;
    fs::directory_iterator processes(procRoot, error);
    if (error) {
        result.complete = false;
        return result;
    }
    for (const auto& process : processes) {
        const auto pid = ProcessId(process);
        if (!pid) {
            continue;
        }
        bool readable = true;
        if (HasOpen(process.path(), devicePath, readable)) {
            result.holders.push_back({*pid, CommandName(process.path())});
        }
        result.complete = result.complete && readable;
    }
    return result;
}

Knowledge ProcessRunning(const std::string& procRoot, const std::string& name) {
    std::error_code error;
    fs::directory_iterator processes(procRoot, error);
    if (error) {
        return Knowledge::Unknown;
    }
    for (const auto& process : processes) {
        if (ProcessId(process) && CommandName(process.path()) == name) {
            return Knowledge::Yes;
        }
    }
    return Knowledge::No;
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
