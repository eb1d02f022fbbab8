#pragma once

// dravo-cli: parses the arguments and runs the command; the exit status.
int RunCli(int argc, char** argv);
