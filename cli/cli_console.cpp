#include "cli/cli_console.h"

void ConsoleArguments::Point() {
    pointers_.clear();
    for (std::string& text : texts_) {
        pointers_.push_back(text.data());
    }
    pointers_.push_back(nullptr);
}
