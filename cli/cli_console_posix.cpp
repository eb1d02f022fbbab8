#include "cli/cli_console.h"

ConsoleArguments::ConsoleArguments(int argc, char** argv) : texts_(argv, argv + argc) {
    Point();
}
