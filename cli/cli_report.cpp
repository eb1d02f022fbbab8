#include "cli/cli_report.h"

#include <iostream>

#include "base/language.h"
#include "cli/exit_status.h"

namespace {

// The program's "\n\r" and "\r\n" breaks become plain line breaks.
std::string PlainBreaks(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool besideBreak =
            (i > 0 && text[i - 1] == '\n') || (i + 1 < text.size() && text[i + 1] == '\n');
        if (text[i] == '\r' && besideBreak) {
            continue;
        }
        plain += text[i];
    }
    return plain;
}

}  // namespace

void CliReport::Say(const std::string& text) const {
    if (!quiet_) {
        std::cerr << PlainBreaks(text) << '\n';
    }
}

void CliReport::Fail(const std::string& text) {
    Say(text);
    failure_ = PlainBreaks(text);
    declined_ = false;
}

void CliReport::Follow(const std::string& text) {
    Say(text);
    failure_ += (failure_.empty() ? "" : "\n") + text;
}

int CliReport::Finish(int status) {
    if (status == kExitFailure && declined_) {
        Fail(PickText("Отменено", "Cancelled"));
    }
    if (!json_ || (streamed_ && status == kExitOk)) {
        return status;
    }
    // A failure keeps what the command found before it failed.
    nlohmann::ordered_json shown = result_;
    if (status != kExitOk) {
        shown["error"] = {{"message", ErrorMessage(status)}, {"exitStatus", status}};
    }
    std::cout << shown.dump() << std::endl;
    return status;
}

// The failure as it was said; a command that ended without a word gets the
// meaning of its status.
std::string CliReport::ErrorMessage(int status) const {
    if (!failure_.empty()) {
        return failure_;
    }
    switch (status) {
        case kExitInterrupted:
            return PickText("Прервано", "Interrupted");
        case kExitUsage:
            return PickText("Неверные аргументы", "Bad arguments");
        case kExitNoDevice:
            return PickText("Прибор не найден", "No device found");
        case kExitAlarm:
            return PickText("Мощность дозы достигала порога тревоги",
                            "The dose rate reached the alarm threshold");
        default:
            return PickText("Команда не выполнена", "The command failed");
    }
}
