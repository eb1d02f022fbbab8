#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The CSV export, built line by line while the history is read: a header line,
// then one line per exported record, each ending with CR LF. Bounded at 8 MiB;
// a line that does not fit is dropped (its row number is used all the same).
class CsvText {
  public:
    static constexpr std::size_t kCapacity = 8388608;
    static constexpr std::size_t kMaxLine = 160;
    static constexpr const char* kHeader =
        "TIME_IN_SECOND_FROM_2000;DATE;TIME;TIME_LENGTH_SECOND;NUMBER_OF_PULSES;SENSOR_COUNT;"
        "CALIBRATION_x100;MUL_VALUE;DIV_VALUE;RESULT_FORMULE";

    // Empties the text and adds the header line; the sensor count and the
    // calibration go into every following line.
    void Start(int sensors, std::uint32_t k100);
    void AddCsvLine(std::uint32_t start, std::uint32_t length, std::uint32_t pulses);

    std::string_view Bytes() const { return text_; }
    int Rows() const { return rows_; }

  private:
    void Append(std::string_view line);

    std::string text_;
    int rows_ = 0;
    int sensors_ = 1;
    std::uint32_t k100_ = 100;
};

// The data line of row `row`, without its CR LF, into `out`; its length.
std::size_t FormatCsvLine(char* out, std::size_t size, int row, std::uint32_t start,
                          std::uint32_t length, std::uint32_t pulses, int sensors,
                          std::uint32_t k100);
// The same as a string.
std::string CsvLine(int row, std::uint32_t start, std::uint32_t length, std::uint32_t pulses,
                    int sensors, std::uint32_t k100);
