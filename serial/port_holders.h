#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

#include "serial/system_roots.h"

// A process that has a device open, as the process tree tells it.
struct PortHolder {
    pid_t pid = 0;
    std::string name;  // its command name, "unknown" where unreadable
};

struct PortHolders {
    std::vector<PortHolder> holders;
    // False when some process's open files could not be read (another user's
    // process without privileges, a hardened or containerised /proc): a holder
    // may then be missing from the list.
    bool complete = true;
};

// Every process with `devicePath` open, found the way fuser does: by reading
// the links under <proc>/<pid>/fd. `devicePath` must be the resolved path.
PortHolders FindPortHolders(const std::string& procRoot, const std::string& devicePath);

// Whether a process of that command name runs; Unknown when <proc> cannot be read.
Knowledge ProcessRunning(const std::string& procRoot, const std::string& name);

// "name (process pid)" for each, joined with ", ".
std::string HoldersText(const std::vector<PortHolder>& holders);
