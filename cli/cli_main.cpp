#include "cli/cli_app.h"
#include "cli/cli_console.h"

int main(int argc, char** argv) {
    ConsoleArguments arguments(argc, argv);
    return RunCli(arguments.Count(), arguments.Values());
}
