#include "upload/ftp_url.h"

std::string FtpAuthority(const std::string& host, int port) {
    const bool literal = host.find(':') != std::string::npos;
    return (literal ? "[" + host + "]" : host) + ":" + std::to_string(port);
}
