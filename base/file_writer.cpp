#include "base/file_writer.h"

bool WriteFileReplacing(const std::string& path, const std::string& content) {
    return ReplaceFileContent(path, content) == ReplaceFailure::None;
}
