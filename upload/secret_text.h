#pragma once

#include <string>

// `text` with every occurrence of `secret` replaced by "***", so that a
// password quoted in a server's reply never reaches the log.
std::string Masked(std::string text, const std::string& secret);
