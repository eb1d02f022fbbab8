#include "app/ident_phase.h"

#include "app/tick_clock.h"

IdentAction DecideIdentification(const IdentState& state, bool connected, bool linkCheckEnabled,
                                 std::uint32_t now) {
    if (state.phase == IdentPhase::Waiting) {
        if (!connected) {
            return IdentAction::RememberConnectionMoment;
        }
        return TicksSince(state.connectionMoment, now) >= kIdentSettleMs ? IdentAction::Identify
                                                                         : IdentAction::None;
    }
    // A long operation clears the link check; the loss is handled once it ends.
    return !connected && linkCheckEnabled ? IdentAction::ResetToWaiting : IdentAction::None;
}
