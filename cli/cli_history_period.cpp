#include "cli/cli_history_period.h"

#include <cstdio>
#include <tuple>

#include "base/language.h"
#include "cli/cli_output_file.h"
#include "protocol/calendar.h"

namespace {

// The `count` decimal digits at `at`, nothing else: no sign, no space.
std::optional<int> DigitsAt(const std::string& text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

constexpr std::size_t kDateLength = 10;    // 2026-12-08
constexpr std::size_t kMinuteLength = 16;  // 2026-12-08T14:05
constexpr std::size_t kSecondLength = 19;  // 2026-12-08T14:05:30

bool SeparatorsMatch(const std::string& text) {
    const std::pair<std::size_t, char> kSeparators[] = {
        {4, '-'}, {7, '-'}, {10, 'T'}, {13, ':'}, {16, ':'}};
    for (const auto& [at, separator] : kSeparators) {
        if (at < text.size() && text[at] != separator) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::uint32_t> ParseHistoryTime(const std::string& text, bool endOfPeriod) {
    const std::size_t length = text.size();
    if ((length != kDateLength && length != kMinuteLength && length != kSecondLength) ||
        !SeparatorsMatch(text)) {
        return std::nullopt;
    }
    const auto year = DigitsAt(text, 0, 4);
    const auto month = DigitsAt(text, 5, 2);
    const auto day = DigitsAt(text, 8, 2);
    const bool withTime = length >= kMinuteLength;
    const bool withSeconds = length == kSecondLength;
    const auto hour = withTime ? DigitsAt(text, 11, 2) : std::optional(endOfPeriod ? 23 : 0);
    const auto minute = withTime ? DigitsAt(text, 14, 2) : std::optional(endOfPeriod ? 59 : 0);
    const auto second = withSeconds ? DigitsAt(text, 17, 2) : std::optional(endOfPeriod ? 59 : 0);
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    if (*year < 2000 || *year > 2099 || *month < 1 || *month > 12 || *day < 1 ||
        *day > DaysInMonth(*month, *year - 2000) || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return SecondsSince2000(DeviceDateTime::Of(*year, *month, *day, *hour, *minute, *second));
}

std::optional<HistoryPeriod> PeriodOf(const std::string& from, const std::string& to,
                                      CliReport& report) {
    HistoryPeriod period;
    for (auto [text, end, bound] :
         {std::tuple(&from, false, &period.from), std::tuple(&to, true, &period.to)}) {
        if (text->empty()) {
            continue;
        }
        const auto seconds = ParseHistoryTime(*text, end);
        if (!seconds) {
            report.Fail(PickText("Неверная дата: ", "Bad date: ") + *text +
                        PickText(" (формат 2026-12-08, 2026-12-08T14:05 или 2026-12-08T14:05:30)",
                                 " (the form is 2026-12-08, 2026-12-08T14:05 or "
                                 "2026-12-08T14:05:30)"));
            return std::nullopt;
        }
        *bound = *seconds;
        period.whole = false;
    }
    if (period.from > period.to) {
        report.Fail(PickText("Начало периода позже его конца", "The period starts after it ends"));
        return std::nullopt;
    }
    return period;
}

std::string PeriodTimeText(const DeviceDateTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", 2000 + time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

void AddPeriodOptions(CLI::App& command, std::string& from, std::string& to, std::string& csvFile) {
    command.add_option("--csv", csvFile, PickText("записать CSV в ФАЙЛ", "write the CSV to FILE"));
    command.add_option("--from", from,
                       PickText("только записи начиная с ДАТА[TЧЧ:ММ[:СС]]",
                                "only records from DATE[THH:MM[:SS]]"));
    command.add_option(
        "--to", to,
        PickText("только записи до ДАТА[TЧЧ:ММ[:СС]]", "only records up to DATE[THH:MM[:SS]]"));
}

std::optional<HistoryPeriod> PeriodAndTarget(const std::string& from, const std::string& to,
                                             const std::string& csvFile, CliReport& report) {
    std::optional<HistoryPeriod> period = PeriodOf(from, to, report);
    if (!period || (!csvFile.empty() && !OutputFolderExists(csvFile, report))) {
        return std::nullopt;
    }
    return period;
}
