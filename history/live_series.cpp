#include "history/live_series.h"

#include <algorithm>

void LiveSeries::Add(const Point& point) {
    if (!points_.empty() && point.timeMs <= points_.back().timeMs) {
        return;
    }
    points_.push_back(point);
    while (points_.front().timeMs < point.timeMs - kKeepMs) {
        points_.pop_front();
    }
}

std::deque<LiveSeries::Point>::const_iterator LiveSeries::At(std::int64_t timeMs) const {
    return std::lower_bound(
        points_.begin(), points_.end(), timeMs,
        [](const Point& point, std::int64_t time) { return point.timeMs < time; });
}

std::vector<LiveSeries::Column> LiveSeries::Reduce(std::int64_t fromMs, std::int64_t toMs,
                                                   int columns) const {
    std::vector<Column> reduced(static_cast<std::size_t>(std::max(columns, 0)));
    if (reduced.empty() || toMs <= fromMs) {
        return reduced;
    }
    const double span = static_cast<double>(toMs - fromMs);
    std::optional<std::int64_t> lastTime;
    for (auto point = At(fromMs); point != points_.end() && point->timeMs < toMs; ++point) {
        const auto index = std::min(
            static_cast<std::size_t>(static_cast<double>(point->timeMs - fromMs) / span * columns),
            reduced.size() - 1);
        Column& column = reduced[index];
        if (column.empty) {
            column.empty = false;
            column.joined = lastTime && point->timeMs - *lastTime <= kGapMs;
            column.min = column.max = point->value;
        } else {
            column.min = std::min(column.min, point->value);
            column.max = std::max(column.max, point->value);
        }
        column.alarm = column.alarm || point->alarm;
        lastTime = point->timeMs;
    }
    return reduced;
}

std::vector<LiveSeries::Mean> LiveSeries::MinuteMeans(std::int64_t fromMs,
                                                      std::int64_t toMs) const {
    std::vector<Mean> means;
    std::int64_t count = 0;
    std::int64_t timeSum = 0;
    double sum = 0;
    const auto close = [&] {
        if (count > 0) {
            means.back().value = sum / static_cast<double>(count);
            means.back().timeMs = timeSum / count;
        }
        count = 0;
        timeSum = 0;
        sum = 0;
    };
    std::optional<std::int64_t> lastTime;
    for (auto point = At(fromMs); point != points_.end() && point->timeMs < toMs; ++point) {
        const std::int64_t minute = point->timeMs - point->timeMs % kMinuteMs;
        const bool joined = lastTime && point->timeMs - *lastTime <= kGapMs;
        if (means.empty() || means.back().minuteMs != minute || !joined) {
            close();
            means.push_back({minute, 0, 0, joined});
        }
        timeSum += point->timeMs;
        sum += point->value;
        ++count;
        lastTime = point->timeMs;
    }
    close();
    return means;
}

std::optional<LiveSeries::Point> LiveSeries::Peak(std::int64_t fromMs, std::int64_t toMs) const {
    std::optional<Point> peak;
    for (auto point = At(fromMs); point != points_.end() && point->timeMs < toMs; ++point) {
        if (!peak || point->value > peak->value) {
            peak = *point;
        }
    }
    return peak;
}
