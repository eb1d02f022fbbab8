#pragma once

#include <cstdint>

enum class IdentPhase { Waiting, Done };

// What the timer's identification step has to do on this tick.
enum class IdentAction {
    None,
    RememberConnectionMoment,  // not connected yet: restart the settle time
    Identify,                  // connected for a second: identify once
    ResetToWaiting,            // the device went away outside a long operation
};

struct IdentState {
    IdentPhase phase = IdentPhase::Waiting;
    std::uint32_t connectionMoment = 0;
};

inline constexpr std::uint32_t kIdentSettleMs = 1000;

IdentAction DecideIdentification(const IdentState& state, bool connected, bool linkCheckEnabled,
                                 std::uint32_t now);
