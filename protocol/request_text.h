#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A request as a person reads it in the log: the command's name and, for
// commands that carry one, the address or the parameter id it asks about.
// "EFL_READ 0x00100080", "PAR_READ 0xC020", "SOFT_INFO", "0x01/0x1F".
std::string RequestText(const std::uint8_t* payload, std::size_t length);

// The log line of a request sent again: which request and which send it is.
std::string RetryLine(const std::uint8_t* payload, std::size_t length, int send, int sends);
