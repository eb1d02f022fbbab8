#pragma once

#include <string>

// The server part of an ftp:// URL: "host:port", an IPv6 address in brackets.
std::string FtpAuthority(const std::string& host, int port);
