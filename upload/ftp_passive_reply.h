#pragma once

#include <optional>
#include <string_view>

// The data port of a reply to PASV, "227 Entering Passive Mode
// (h1,h2,h3,h4,p1,p2)": p1 * 256 + p2; nothing for any other reply. The
// address is left aside: like libcurl, the client connects to the server of
// the control connection, which a server behind NAT often misstates.
std::optional<int> PassivePort(std::string_view reply);
