#include "cli/cli_dialogs.h"

void CliDialogs::Show(const std::string& text) const {
    if (quiet_) {
        return;
    }
    // The program's "\n\r" breaks become plain line breaks on a terminal.
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i > 0 && text[i - 1] == '\n') {
            continue;
        }
        if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
            shown += '\n';
            continue;
        }
        shown += text[i];
    }
    std::cerr << shown << '\n';
}
