#pragma once

#include <string>
#include <string_view>

// Which step of a replacing write failed.
enum class ReplaceFailure {
    None,
    Create,   // no temporary file could be made beside the target
    Write,    // writing or flushing the content failed
    Replace,  // the target could not be replaced (a directory, no access)
};

// Writes `content` to a new temporary file in the target's folder, flushes it
// to disk and renames it over `path`. Whatever fails, the old file stays as it
// was and no temporary file is left behind. Shows nothing.
ReplaceFailure ReplaceFileContent(const std::string& path, std::string_view content);

// Writes `content` to `path`, replacing an existing file without asking.
// Returns false on failure and shows nothing: callers decide what the user sees.
bool WriteFileReplacing(const std::string& path, const std::string& content);
