#pragma once

#include <string>

// Writes `content` to `path`, replacing an existing file without asking. The
// text goes to a temporary sibling first and is renamed over the target, so a
// failed write never leaves a half-written file behind. Returns false on failure
// and shows nothing: callers decide what the user sees.
bool WriteFileReplacing(const std::string& path, const std::string& content);
