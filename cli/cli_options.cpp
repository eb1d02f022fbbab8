#include "cli/cli_options.h"

#include <cstdlib>

Language CliLanguage(const std::string& lang) {
    if (!lang.empty()) {
        return lang == "ru" ? Language::Russian : Language::English;
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return std::string(value).rfind("ru", 0) == 0 ? Language::Russian : Language::English;
        }
    }
    return Language::English;
}
