#pragma once

#include <optional>

#include "protocol/commands.h"
#include "protocol/device_records.h"

// What the gates look at: the two connection flags and the records cached by
// the last identification. A missing record counts as zeroed (board code 0,
// main version 0), so a forgotten cache refuses rather than allows.
struct GateInputs {
    bool connected = false;
    bool recognized = false;
    std::optional<BoardInfo> board;
    std::optional<SoftInfo> soft;

    static GateInputs From(bool connected, bool recognized, const DeviceCommands& commands) {
        return {connected, recognized, commands.CachedBoardInfo(), commands.CachedSoftInfo()};
    }

    std::uint16_t BoardCode() const { return board ? board->boardCode : 0; }
    std::uint16_t MainVersion() const { return soft ? soft->mainVersion : 0; }
};
