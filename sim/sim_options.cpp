#include "sim/sim_options.h"

#include <charconv>
#include <map>
#include <sstream>

#include "sim/sim_models.h"

namespace {

bool ParseNumber(const std::string& text, std::uint64_t& value) {
    int base = 10;
    std::size_t start = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        start = 2;
    }
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, base);
    return first != last && error == std::errc() && end == last;
}

template <typename T>
bool ParseBounded(const std::string& text, T& out, std::uint64_t maximum) {
    std::uint64_t value = 0;
    if (!ParseNumber(text, value) || value > maximum) {
        return false;
    }
    out = static_cast<T>(value);
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) {
        parts.push_back(part);
    }
    return parts;
}

bool ParseUniqueId(const std::string& text, std::vector<std::uint8_t>& id) {
    std::string digits;
    for (char c : text) {
        if (c != ':' && c != '-') {
            digits += c;
        }
    }
    if (digits.size() != 24) {
        return false;
    }
    id.clear();
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        std::uint8_t byte = 0;
        const auto [end, error] =
            std::from_chars(digits.data() + i, digits.data() + i + 2, byte, 16);
        if (error != std::errc() || end != digits.data() + i + 2) {
            return false;
        }
        id.push_back(byte);
    }
    return true;
}

const std::map<std::string, FaultKind> kFaultKinds = {
    {"drop", FaultKind::Drop},     {"corrupt", FaultKind::Corrupt},
    {"delay", FaultKind::Delay},   {"wrongcode", FaultKind::WrongCode},
    {"silent", FaultKind::Silent}, {"unplug", FaultKind::Unplug},
};

const std::map<std::string, HistoryShape> kShapes = {
    {"empty", HistoryShape::Empty},
    {"partial", HistoryShape::Partial},
    {"wrapped", HistoryShape::Wrapped},
    {"full", HistoryShape::Full},
};

}  // namespace

SimOptions DemoOptions() {
    SimOptions options;
    options.model = SimModel::K310;
    options.history.shape = HistoryShape::Partial;
    options.history.records = 3 * 24 * 60;
    options.wireTime = true;
    options.plugInDelayMs = 1500;
    return ResolveDefaults(options);
}

SimOptions ResolveDefaults(SimOptions options) {
    const SimModelFacts& facts = FactsOf(options.model);
    if (options.mainVersion == 0) {
        options.mainVersion = facts.mainVersion;
    }
    if (options.hardwareRevision < 0) {
        options.hardwareRevision = facts.hardwareRevision;
    }
    if (options.variant < 0) {
        options.variant = facts.variant;
    }
    if (options.cpuType < 0) {
        options.cpuType = facts.cpuType;
    }
    if (options.uniqueId.size() != 12) {
        options.uniqueId.assign(12, 0);
        std::uint32_t mix = options.serialNumber * 2654435761u + 0x5EED;
        for (auto& byte : options.uniqueId) {
            mix = mix * 1103515245u + 12345u;
            byte = static_cast<std::uint8_t>(mix >> 16);
        }
    }
    if (options.history.periodSeconds == 0) {
        options.history.periodSeconds = 60;
    }
    return options;
}

std::optional<FaultRule> ParseFaultRule(const std::string& text, std::string& error) {
    const auto parts = Split(text, ':');
    if (parts.empty() || kFaultKinds.count(parts[0]) == 0) {
        error = "unknown fault kind in \"" + text + "\"";
        return std::nullopt;
    }
    FaultRule rule;
    rule.kind = kFaultKinds.at(parts[0]);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const auto equals = parts[i].find('=');
        const std::string key = parts[i].substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : parts[i].substr(equals + 1);
        bool ok = false;
        if (key == "group") {
            ok = ParseBounded(value, rule.group, 0x3F);
        } else if (key == "code") {
            ok = ParseBounded(value, rule.code, 0x3F);
        } else if (key == "every") {
            ok = ParseBounded(value, rule.every, 1000000) && rule.every > 0;
        } else if (key == "after") {
            ok = ParseBounded(value, rule.after, 100000000);
        } else if (key == "limit") {
            ok = ParseBounded(value, rule.limit, 100000000);
        } else if (key == "ms") {
            ok = ParseBounded(value, rule.delayMs, 600000);
        } else if (key == "replug") {
            ok = ParseBounded(value, rule.replugMs, 600000);
        }
        if (!ok) {
            error = "bad fault setting \"" + parts[i] + "\" in \"" + text + "\"";
            return std::nullopt;
        }
    }
    return rule;
}

std::string SimUsage() {
    return "usage: dravo-sim --model k310|k520 --port-dir DIR --com N [options]\n"
           "  --serial NNNNNNNN        serial number (8 decimal digits)\n"
           "  --uid HEX                unique id, 12 bytes (24 hex digits, ':' allowed)\n"
           "  --boot-version V         boot-loader version (e.g. 0x0400)\n"
           "  --main-version V         main-program version (0: start in boot mode)\n"
           "  --version-after-update V main version reported after a CPU-flash write\n"
           "  --revision N --variant N --cpu-type N\n"
           "  --time SECONDS           device clock, seconds since 2000-01-01\n"
           "  --history empty|partial|wrapped|full  history in the external flash\n"
           "  --records N              partial: records kept; wrapped: records past a full ring\n"
           "  --seed N --period S      repeatable history; seconds per record (60)\n"
           "  --no-recording           no new history records while running\n"
           "  --fault KIND[:key=value...]  drop|corrupt|delay|wrongcode|silent|unplug with\n"
           "                           group, code, every, after, limit, ms, replug\n"
           "  --wire-time on|off       answer as late as 230400 baud takes\n"
           "  --transcript FILE        JSON Lines of every request and answer\n"
           "  --restart-delay MS --plug-in-delay MS\n"
           "  --profile NAME           the device's choices where the protocol leaves them\n"
           "                           open (classic when not given)\n"
           "  --profile list           names the profiles and what each chooses\n"
           "  -h, --help               this text\n"
           "  -v, --version            the version\n";
}

bool ProfileListAsked(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "--profile" && arguments[i + 1] == "list") {
            return true;
        }
    }
    return false;
}

std::string ProfileList() {
    std::string text;
    for (const DeviceProfile& profile : DeviceProfiles()) {
        text += profile.name + "\n  " + profile.summary + "\n";
    }
    return text;
}

std::optional<SimOptions> ParseSimArguments(const std::vector<std::string>& arguments,
                                            std::string& portDir, int& com, std::string& error) {
    SimOptions options;
    com = 0;
    portDir.clear();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--no-recording") {
            options.history.recordWhileRunning = false;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = "missing value after " + name;
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        bool ok = true;
        if (name == "--model") {
            ok = false;
            for (const SimModelFacts& facts : AllSimModels()) {
                if (value == facts.optionValue) {
                    options.model = facts.model;
                    ok = true;
                }
            }
        } else if (name == "--port-dir") {
            portDir = value;
        } else if (name == "--com") {
            ok = ParseBounded(value, com, 255) && com > 0;
        } else if (name == "--serial") {
            ok = ParseBounded(value, options.serialNumber, 99999999);
        } else if (name == "--uid") {
            ok = ParseUniqueId(value, options.uniqueId);
        } else if (name == "--boot-version") {
            ok = ParseBounded(value, options.bootVersion, 0xFFFF);
        } else if (name == "--main-version") {
            ok = ParseBounded(value, options.mainVersion, 0xFFFF);
            options.startInBootMode = ok && options.mainVersion == 0;
        } else if (name == "--version-after-update") {
            ok = ParseBounded(value, options.mainVersionAfterCpuWrite, 0xFFFF);
        } else if (name == "--revision") {
            ok = ParseBounded(value, options.hardwareRevision, 255);
        } else if (name == "--variant") {
            ok = ParseBounded(value, options.variant, 255);
        } else if (name == "--cpu-type") {
            ok = ParseBounded(value, options.cpuType, 0xFFFF);
        } else if (name == "--time") {
            std::uint32_t seconds = 0;
            ok = ParseBounded(value, seconds, 0xFFFFFFFFu);
            options.deviceTime = seconds;
        } else if (name == "--history") {
            ok = kShapes.count(value) != 0;
            options.history.shape = ok ? kShapes.at(value) : HistoryShape::Empty;
        } else if (name == "--records") {
            ok = ParseBounded(value, options.history.records, 0xFFFFFFFFu);
        } else if (name == "--seed") {
            ok = ParseBounded(value, options.history.seed, 0xFFFFFFFFu);
        } else if (name == "--period") {
            ok = ParseBounded(value, options.history.periodSeconds, 0xFFFF) &&
                 options.history.periodSeconds > 0;
        } else if (name == "--fault") {
            auto rule = ParseFaultRule(value, error);
            if (!rule) {
                return std::nullopt;
            }
            options.faults.push_back(*rule);
        } else if (name == "--wire-time") {
            ok = value == "on" || value == "off";
            options.wireTime = value == "on";
        } else if (name == "--transcript") {
            options.transcriptPath = value;
        } else if (name == "--restart-delay") {
            ok = ParseBounded(value, options.restartDelayMs, 600000);
        } else if (name == "--plug-in-delay") {
            ok = ParseBounded(value, options.plugInDelayMs, 600000);
        } else if (name == "--profile") {
            const DeviceProfile* profile = FindDeviceProfile(value);
            if (profile == nullptr) {
                error = "unknown profile \"" + value + "\" (--profile list names them)";
                return std::nullopt;
            }
            options.profile = *profile;
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (!ok) {
            error = "bad value \"" + value + "\" for " + name;
            return std::nullopt;
        }
    }
    if (portDir.empty() || com == 0) {
        error = "--port-dir and --com are required";
        return std::nullopt;
    }
    return ResolveDefaults(options);
}
