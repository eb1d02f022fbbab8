#include "cli/cli_csv_json.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

#include "cli/cli_iso_time.h"

namespace {

// The formula of every row: pulses * K100 * 36 / (length * sensors * 86)
// gives µR/h, 100 of which make 1 µSv/h.
constexpr double kMul = 36;
constexpr double kDiv = 86;

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(';', start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string_view::npos) {
            return fields;
        }
        start = end + 1;
    }
}

std::uint64_t Number(std::string_view text) {
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

nlohmann::ordered_json Record(int row, const std::vector<std::string_view>& fields) {
    const std::uint64_t start = Number(fields[0]);
    const std::uint64_t length = Number(fields[3]);
    const std::uint64_t pulses = Number(fields[4]);
    const std::uint64_t sensors = Number(fields[5]);
    const std::uint64_t k100 = Number(fields[6]);
    nlohmann::ordered_json rate = nullptr;
    if (length > 0 && sensors > 0) {
        const double microRoentgen = static_cast<double>(pulses) * static_cast<double>(k100) *
                                     kMul / (static_cast<double>(length * sensors) * kDiv);
        rate = std::round(microRoentgen * 100) / 1e4;
    }
    return {{"row", row},
            {"start", IsoTime(DateTimeOfSeconds(static_cast<std::uint32_t>(start)))},
            {"startSeconds", start},
            {"lengthSeconds", length},
            {"pulses", pulses},
            {"sensors", sensors},
            {"calibration", static_cast<double>(k100) / 100},
            {"doseRate", rate}};
}

}  // namespace

nlohmann::ordered_json CsvRecordsJson(std::string_view csv) {
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    int row = 0;
    for (std::size_t start = 0; start < csv.size();) {
        std::size_t end = csv.find("\r\n", start);
        end = end == std::string_view::npos ? csv.size() : end;
        const std::string_view line = csv.substr(start, end - start);
        start = end + 2;
        // Row 1 is the header.
        if (++row == 1 || line.empty()) {
            continue;
        }
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.size() >= 7) {
            records.push_back(Record(row, fields));
        }
    }
    return records;
}
