#include "history/csv_text.h"

#include <algorithm>
#include <cstdio>

#include "protocol/calendar.h"
#include "protocol/number_texts.h"

std::size_t FormatCsvLine(char* out, std::size_t size, int row, std::uint32_t start,
                          std::uint32_t length, std::uint32_t pulses, int sensors,
                          std::uint32_t k100) {
    const DeviceDateTime when = DateTimeOfSeconds(start);
    // Both texts are short enough to stay inside the string object: no allocation.
    const std::string date = DateText(when);
    const std::string time = TimeText(when);
    const int written =
        length != 0
            ? std::snprintf(out, size, "%u;%s;%s;%u;%u;%d;%u;36;86;=E%d*G%d*H%d/(D%d*F%d*I%d)",
                            start, date.c_str(), time.c_str(), length, pulses, sensors, k100, row,
                            row, row, row, row, row)
            : std::snprintf(out, size, "%u;%s;%s;%u;%u;%d;%u;36;86;0", start, date.c_str(),
                            time.c_str(), length, pulses, sensors, k100);
    return written < 0 ? 0 : std::min(static_cast<std::size_t>(written), size - 1);
}

std::string CsvLine(int row, std::uint32_t start, std::uint32_t length, std::uint32_t pulses,
                    int sensors, std::uint32_t k100) {
    char line[CsvText::kMaxLine];
    return std::string(line,
                       FormatCsvLine(line, sizeof line, row, start, length, pulses, sensors, k100));
}

void CsvText::Start(int sensors, std::uint32_t k100) {
    if (text_.capacity() < kCapacity) {
        text_.reserve(kCapacity);
    }
    text_.clear();
    sensors_ = sensors;
    k100_ = k100;
    rows_ = 1;
    Append(kHeader);
}

void CsvText::AddCsvLine(std::uint32_t start, std::uint32_t length, std::uint32_t pulses) {
    ++rows_;
    char line[kMaxLine];
    Append(std::string_view(
        line, FormatCsvLine(line, sizeof line, rows_, start, length, pulses, sensors_, k100_)));
}

void CsvText::Append(std::string_view line) {
    if (text_.size() + line.size() + 2 < kCapacity) {
        text_ += line;
        text_ += "\r\n";
    }
}
