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
    Show(text);
    if (assumeYes_) {
        return true;
    }
    // Only a person at a terminal can answer; a script must say --yes.
    std::string answer;
    if (::isatty(STDIN_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1) {
        std::cerr << PickText("[д/Н] ", "[y/N] ") << std::flush;
        std::getline(std::cin, answer);
    } else {
        Show(PickText("Нет ответа: добавьте --yes", "Not answered: add --yes"));
    }
    return IsYes(answer);
}

void CliDialogs::Show(const std::string& text) const {
    if (quiet_) {
        return;
    }
    // The program's "\n\r" and "\r\n" breaks become plain line breaks on a terminal.
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool besideBreak =
            (i > 0 && text[i - 1] == '\n') || (i + 1 < text.size() && text[i + 1] == '\n');
        if (text[i] == '\r' && besideBreak) {
            continue;
        }
        shown += text[i];
    }
    std::cerr << shown << '\n';
}
