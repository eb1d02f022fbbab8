#pragma once

#include <string>
#include <vector>

#include "history/live_reading.h"

// The CSV of measurement readings: a header line, then one line per reading
// with its local time and UTC offset, the unit, the rate as the device showed
// it, µSv/h, CPM and level; an unknown value is an empty field.
class LiveCsv {
  public:
    LiveCsv();
    void Add(const LiveReading& reading);
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

std::string LiveCsvOf(const std::vector<LiveReading>& readings);
