#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// One dose-rate reading of the measurement page as the device gave it.
struct RateReading {
    int units = 0;
    std::uint32_t rateWord = 0;
    int level = 0;
};

// The measurement page's readings for the pages that keep or plot them: they
// subscribe when created, the measurement page publishes on the device worker.
class RateReadingFeed {
  public:
    using Listener = std::function<void(const RateReading&)>;

    void Subscribe(Listener listener) { listeners_.push_back(std::move(listener)); }
    void Publish(const RateReading& reading) const {
        for (const Listener& listener : listeners_) {
            listener(reading);
        }
    }

  private:
    std::vector<Listener> listeners_;
};
