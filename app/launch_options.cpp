#include "app/launch_options.h"

LaunchOptions ParseLaunchArguments(const std::vector<std::string>& arguments) {
    LaunchOptions options;
    for (const auto& argument : arguments) {
        if (argument == "--demo") {
            options.demo = true;
        } else {
            options.unknown.push_back(argument);
        }
    }
    return options;
}
