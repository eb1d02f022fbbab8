#include "serial/port_entry_check.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "base/language.h"

namespace fs = std::filesystem;

namespace {

bool IsPortEntryName(const std::string& name) {
    return name.size() > 3 && name.compare(0, 3, "COM") == 0 &&
           std::all_of(name.begin() + 3, name.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

std::optional<std::string> PortEntrySkipReason(const std::string& path) {
    std::error_code error;
    const fs::file_status target = fs::status(path, error);
    if (fs::is_character_file(target)) {
        return std::nullopt;
    }
    if (fs::is_symlink(fs::symlink_status(path, error)) && !fs::exists(target)) {
        return PickText("ссылка никуда не ведёт", "dangling symbolic link");
    }
    if (fs::is_directory(target)) {
        return PickText("это папка", "a directory");
    }
    if (!fs::exists(target)) {
        return PickText("не найден", "not found");
    }
    return PickText("не терминальное устройство", "not a terminal device");
}

std::vector<SkippedPortEntry> SkippedPortEntries(const std::string& portDir) {
    std::vector<SkippedPortEntry> skipped;
    if (portDir.empty()) {
        return skipped;
    }
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(portDir, error)) {
        if (!IsPortEntryName(entry.path().filename().string())) {
            continue;
        }
        if (auto reason = PortEntrySkipReason(entry.path().string())) {
            skipped.push_back({entry.path().string(), std::move(*reason)});
        }
    }
    std::sort(skipped.begin(), skipped.end(),
              [](const auto& a, const auto& b) { return a.path < b.path; });
    return skipped;
}

std::string SkippedEntryLine(const SkippedPortEntry& entry) {
    return PickText("Элемент папки портов ", "Port folder entry ") + entry.path +
           PickText(" пропущен: ", " skipped: ") + entry.reason;
}

void PortEntrySkipLog::Check(const std::string& portDir, const LogSink& sink) {
    std::set<std::string> now;
    for (const auto& entry : SkippedPortEntries(portDir)) {
        const std::string key = entry.path + '\n' + entry.reason;
        if (logged_.count(key) == 0 && sink) {
            sink(SkippedEntryLine(entry));
        }
        now.insert(key);
    }
    logged_ = std::move(now);
}
