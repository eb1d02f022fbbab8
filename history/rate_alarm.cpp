#include "history/rate_alarm.h"

void RateAlarm::SetThreshold(std::optional<double> usvPerHour) {
    threshold_ = usvPerHour;
    above_ = false;
}

bool RateAlarm::Above(const LiveReading& reading) const {
    return threshold_ && reading.usvPerHour && *reading.usvPerHour >= *threshold_;
}

bool RateAlarm::Crossed(const LiveReading& reading) {
    const bool wasAbove = above_;
    // A counts reading says nothing about the dose rate: the state stays.
    if (threshold_ && reading.usvPerHour) {
        above_ = Above(reading);
    }
    return above_ && !wasAbove;
}
