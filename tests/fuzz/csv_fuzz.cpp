// The CSV text for any records, sensor count and calibration: every line ends
// with CR LF, carries its own row number in the formula, and its numbers and
// its date and time read back to the record it was made from.

#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "history/csv_text.h"
#include "protocol/calendar.h"

namespace {

void CheckLine(std::string_view line, int row, std::uint32_t start, std::uint32_t length,
               std::uint32_t pulses, int sensors, std::uint32_t k100) {
    const std::string text(line);
    unsigned t = 0, d = 0, p = 0, k = 0, day = 0, month = 0, year = 0;
    unsigned hour = 0, minute = 0, second = 0;
    int s = 0;
    int formulaAt = 0;
    const int fields =
        std::sscanf(text.c_str(), "%u;%2u.%2u.%u;%2u:%2u:%2u;%u;%u;%d;%u;36;86;%n", &t, &day,
                    &month, &year, &hour, &minute, &second, &d, &p, &s, &k, &formulaAt);
    FUZZ_CHECK(fields == 11 && formulaAt > 0);
    FUZZ_CHECK(t == start && d == length && p == pulses && s == sensors && k == k100);
    const std::string formula = text.substr(static_cast<std::size_t>(formulaAt));
    if (length == 0) {
        FUZZ_CHECK(formula == "0");
    } else {
        const std::string r = std::to_string(row);
        FUZZ_CHECK(formula ==
                   "=E" + r + "*G" + r + "*H" + r + "/(D" + r + "*F" + r + "*I" + r + ")");
    }
    if (year < 2100) {
        const auto when = DeviceDateTime::Of(static_cast<int>(year), static_cast<int>(month),
                                             static_cast<int>(day), static_cast<int>(hour),
                                             static_cast<int>(minute), static_cast<int>(second));
        FUZZ_CHECK(SecondsSince2000(when) == start);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    static CsvText csv;  // 8 MiB, reserved once
    const int sensors = input.ConsumeIntegral<int>();
    const auto k100 = input.ConsumeIntegral<std::uint32_t>();
    csv.Start(sensors, k100);
    struct Record {
        std::uint32_t start, length, pulses;
    };
    std::vector<Record> records;
    while (input.remaining_bytes() > 0) {
        const Record record{input.ConsumeIntegral<std::uint32_t>(),
                            input.ConsumeIntegral<std::uint32_t>(),
                            input.ConsumeIntegral<std::uint32_t>()};
        csv.AddCsvLine(record.start, record.length, record.pulses);
        records.push_back(record);
    }
    FUZZ_CHECK(csv.Rows() == static_cast<int>(records.size()) + 1);

    std::string_view text = csv.Bytes();
    FUZZ_CHECK(text.ends_with("\r\n"));
    int row = 0;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        FUZZ_CHECK(end != std::string_view::npos);
        const std::string_view line = text.substr(0, end);
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
        if (row == 0) {
            FUZZ_CHECK(line == CsvText::kHeader);
        } else {
            const Record& record = records[static_cast<std::size_t>(row - 1)];
            CheckLine(line, row + 1, record.start, record.length, record.pulses, sensors, k100);
        }
        text.remove_prefix(end + 2);
        ++row;
    }
    FUZZ_CHECK(row == csv.Rows());
    return 0;
}
