#pragma once

#include <string>
#include <vector>

// What the command line asks for. Arguments are the program's own, after the
// toolkit has taken its options.
struct LaunchOptions {
    bool demo = false;
    std::vector<std::string> unknown;
};

LaunchOptions ParseLaunchArguments(const std::vector<std::string>& arguments);
