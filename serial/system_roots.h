#pragma once

#include <string>

// Where the system's process, device-model and device trees are mounted. The
// diagnostics read only below these, so tests point them at a fake tree.
struct SystemRoots {
    std::string proc = "/proc";
    std::string sys = "/sys";
    std::string dev = "/dev";
};

// What the diagnostics could learn about a yes-or-no fact.
enum class Knowledge { No, Yes, Unknown };
