#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/device_profile.h"

// Everything that makes one simulated dosimeter what it is: its model and
// identity, its history, the faults it shows and how it behaves on the wire.
enum class SimModel { K310, K520 };

enum class HistoryShape { Empty, Partial, Wrapped, Full };

enum class FaultKind {
    Drop,       // the request gets no answer
    Corrupt,    // the answer's checksum is damaged
    Delay,      // the answer comes `delayMs` late
    WrongCode,  // the answer carries another command code
    Silent,     // from then on nothing is answered at all
    Unplug,     // the device disappears instead of answering
};

// A fault applies to the requests that match `group`/`code` (-1: any). It
// starts after `after` matching requests and hits every `every`-th one of
// them; `limit` caps how often it hits (0: no cap).
struct FaultRule {
    FaultKind kind = FaultKind::Drop;
    int group = -1;
    int code = -1;
    unsigned every = 1;
    unsigned after = 0;
    unsigned limit = 0;
    unsigned delayMs = 0;
    unsigned replugMs = 0;  // Unplug: plug in again after this long; 0 stays away
};

struct HistoryOptions {
    HistoryShape shape = HistoryShape::Partial;
    std::uint32_t records = 0;  // Partial: records; Wrapped: records past a full ring; 0: default
    std::uint32_t seed = 1;
    std::uint16_t periodSeconds = 60;
    bool recordWhileRunning = true;  // append a record every period of device time
    // Answers the delete word as done but keeps every record, as a faulty device would.
    bool ignoreDelete = false;
};

struct SimOptions {
    SimModel model = SimModel::K310;
    std::uint32_t serialNumber = 12345678;  // 8 decimal digits
    std::vector<std::uint8_t> uniqueId;     // 12 bytes; empty: derived from the serial number
    std::uint16_t bootVersion = 0x0400;
    std::uint16_t mainVersion = 0;  // 0: the model's current version
    bool startInBootMode = false;
    std::uint16_t mainVersionAfterCpuWrite = 0;  // reported after a CPU-flash write; 0 keeps
    int hardwareRevision = -1;                   // -1: the model's default (41 or 2)
    int variant = -1;                            // -1: the model's default (0 or 1)
    int cpuType = -1;                            // -1: the model's default (9 or 6)
    // The main program's start that CpuInfo reports; 0: where it really starts.
    std::uint32_t reportedProgramStart = 0;
    std::optional<std::uint32_t> deviceTime;  // seconds since 2000; none: the local time now
    HistoryOptions history;
    std::vector<FaultRule> faults;
    bool wireTime = false;           // answers take as long as 230400 baud needs
    std::string transcriptPath;      // JSON Lines; empty: in memory only
    unsigned restartDelayMs = 1500;  // away time after RESET
    unsigned plugInDelayMs = 0;      // before the first appearance
    // A RESET into the boot loader starts the main program instead.
    bool bootLoaderUnreachable = false;
    // The device's choices where the protocol leaves them open.
    DeviceProfile profile = DeviceProfiles().front();
};

// A K310 with three days of history, answering at wire speed and plugging in
// a moment after start: what the program's demo mode shows.
SimOptions DemoOptions();

// Fills the model's defaults for every field left at "default".
SimOptions ResolveDefaults(SimOptions options);

// "drop:every=3:group=1:code=14", "delay:ms=800", "unplug:after=5:replug=2000" ...
std::optional<FaultRule> ParseFaultRule(const std::string& text, std::string& error);

// Command line of dravo-sim; on failure returns none and sets `error`. The port
// folder and number are returned through the two out parameters.
std::optional<SimOptions> ParseSimArguments(const std::vector<std::string>& arguments,
                                            std::string& portDir, int& com, std::string& error);

std::string SimUsage();

// Whether the command line asks for the list of profiles (`--profile list`).
bool ProfileListAsked(const std::vector<std::string>& arguments);
// Each profile's name and, indented below it, what it chooses.
std::string ProfileList();
