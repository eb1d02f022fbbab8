#include "cli/cli_json_values.h"

#include <cstdlib>

#include "protocol/device_info.h"

nlohmann::ordered_json DecimalJson(std::string text) {
    for (char& c : text) {
        c = c == ',' ? '.' : c;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size()) {
        return nullptr;
    }
    return value;
}

nlohmann::ordered_json VersionJson(std::uint16_t version) {
    if (version == 0) {
        return nullptr;
    }
    return {{"major", version >> 8}, {"minor", version & 0xFF}, {"text", VersionText(version)}};
}
