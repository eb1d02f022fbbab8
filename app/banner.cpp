#include "app/banner.h"

#include <ctime>

namespace {
const std::string kRule(42, '#');
}

std::string LocalDateTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
    return std::string(text, length);
}

std::vector<std::string> StartBanner(const std::string& dateTime) {
    return {kRule, "# START: " + dateTime, std::string("# APP VERSION = ") + kAppVersion, kRule};
}

std::vector<std::string> EndBanner(const std::string& dateTime) {
    return {kRule, "# END: " + dateTime, kRule};
}
