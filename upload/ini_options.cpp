#include "upload/ini_options.h"

#include <fstream>

#include "base/utf8_path.h"

namespace {

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string Unquoted(const std::string& value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        return value;
    }
    std::string text;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && i + 2 < value.size()) {
            ++i;
        }
        text += value[i];
    }
    return text;
}

}  // namespace

IniGroupOptions::IniGroupOptions(const std::string& fileName, const std::string& group) {
    std::ifstream file(PathFromUtf8(fileName));
    const std::string header = "[" + group + "]";
    bool inGroup = false;
    for (std::string line; std::getline(file, line);) {
        line = Trimmed(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inGroup = line == header;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inGroup && equals != std::string::npos) {
            values_[Trimmed(line.substr(0, equals))] = Unquoted(Trimmed(line.substr(equals + 1)));
        }
    }
}

std::optional<std::string> IniGroupOptions::ReadString(const std::string& name) {
    const auto found = values_.find(name);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}
