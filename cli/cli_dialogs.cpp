#include "cli/cli_dialogs.h"

#include <unistd.h>

#include <string>

#include "base/language.h"

namespace {

bool IsYes(const std::string& answer) {
    for (const char* yes : {"y", "Y", "д", "Д"}) {
        if (answer.rfind(yes, 0) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CliDialogs::AskYesNo(const std::string& text) {
    report_.Say(text);
    if (assumeYes_) {
        return true;
    }
    // Only a person at a terminal can answer; a script must say --yes.
    std::string answer;
    if (::isatty(STDIN_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1) {
        std::cerr << PickText("[д/Н] ", "[y/N] ") << std::flush;
        std::getline(std::cin, answer);
    } else {
        report_.Say(PickText("Нет ответа: добавьте --yes", "Not answered: add --yes"));
    }
    if (!IsYes(answer)) {
        report_.Declined();
        return false;
    }
    return true;
}
