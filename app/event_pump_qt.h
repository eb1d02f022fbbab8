#pragma once

#include "base/wait_rules.h"

// The window's event pump for device waits: processes pending Qt events and,
// when there are none, blocks up to the given time for one.
EventPump QtEventPump();
// Hands an action to the event loop as a queued call.
DeferToLoop QtDeferToLoop();
