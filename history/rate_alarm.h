#pragma once

#include <optional>

#include "history/live_reading.h"

// The PC's own dose-rate alarm: a threshold in µSv/h, none when off. A
// crossing is the first reading at or above it after one below it (or after
// none), so a long stay above sounds once.
class RateAlarm {
  public:
    void SetThreshold(std::optional<double> usvPerHour);
    const std::optional<double>& Threshold() const { return threshold_; }

    // True when the reading is at or above the threshold.
    bool Above(const LiveReading& reading) const;
    // Takes the reading; true when it is a crossing.
    bool Crossed(const LiveReading& reading);

  private:
    std::optional<double> threshold_;
    bool above_ = false;
};
