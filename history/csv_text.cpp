#include "history/csv_text.h"

#include "measure/calendar.h"
#include "measure/texts.h"

std::string CsvLine(int row, std::uint32_t start, std::uint32_t length, std::uint32_t pulses,
                    int sensors, std::uint32_t k100) {
    const DeviceDateTime when = DateTimeOfSeconds(start);
    const std::string r = std::to_string(row);
    std::string line = std::to_string(start) + ";" + DateText(when) + ";" + TimeText(when) + ";" +
                       std::to_string(length) + ";" + std::to_string(pulses) + ";" +
                       std::to_string(sensors) + ";" + std::to_string(k100) + ";36;86;";
    if (length != 0) {
        line += "=E" + r + "*G" + r + "*H" + r + "/(D" + r + "*F" + r + "*I" + r + ")";
    } else {
        line += "0";
    }
    return line;
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
    Append(CsvLine(rows_, start, length, pulses, sensors_, k100_));
}

void CsvText::Append(const std::string& line) {
    if (text_.size() + line.size() + 2 < kCapacity) {
        text_ += line;
        text_ += "\r\n";
    }
}
