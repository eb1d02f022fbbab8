#pragma once

#include <optional>
#include <string>
#include <vector>

#include "serial/port_table.h"

// The automatic connection never tries the ports present at start. When one of
// them could be a dosimeter (a USB serial port: ttyUSB or ttyACM, also behind
// a link of the port folder), the text that tells how to connect it; none
// otherwise. `startPorts` are port numbers, `ports` the machine's port table.
std::optional<std::string> StartPortsNotice(const std::vector<int>& startPorts,
                                            const std::vector<PortEntry>& ports);
