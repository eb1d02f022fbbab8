#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

// The dose-rate plot's data without its widget: the readings of the last day
// in time order, reduced for drawing to one min/max pair per pixel column and
// to one mean per minute. Readings further apart than kGapMs are not joined:
// the device was away or not read in between.
class LiveSeries {
  public:
    // The page reads once a second: one missed reading is joined over, two
    // make a gap.
    static constexpr std::int64_t kGapMs = 2500;
    static constexpr std::int64_t kKeepMs = 24 * 3600 * 1000;
    static constexpr std::int64_t kMinuteMs = 60 * 1000;

    struct Point {
        std::int64_t timeMs = 0;
        double value = 0;
        bool alarm = false;
    };
    // The readings of one pixel column; `joined` to the previous non-empty column.
    struct Column {
        bool empty = true;
        bool joined = false;
        bool alarm = false;
        double min = 0;
        double max = 0;
    };
    // The mean of a minute's readings, or of its part on one side of a gap.
    struct Mean {
        std::int64_t minuteMs = 0;  // the minute's start
        std::int64_t timeMs = 0;    // the mean time of its readings, where it is drawn
        double value = 0;
        bool joined = false;  // to the mean before, with no gap between
    };

    // A reading older than the newest kept goes nowhere.
    void Add(const Point& point);
    void Clear() { points_.clear(); }
    const std::deque<Point>& Points() const { return points_; }

    std::vector<Column> Reduce(std::int64_t fromMs, std::int64_t toMs, int columns) const;
    std::vector<Mean> MinuteMeans(std::int64_t fromMs, std::int64_t toMs) const;
    std::optional<Point> Peak(std::int64_t fromMs, std::int64_t toMs) const;

  private:
    std::deque<Point>::const_iterator At(std::int64_t timeMs) const;

    std::deque<Point> points_;
};
