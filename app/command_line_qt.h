#pragma once

#include <optional>

// What the command line asks for before any window may be made: --help and
// --version are answered on the terminal, and a missing display is said in one
// line, so that neither ends in the toolkit's platform plugin.
//
// The exit status when the program is to stop before its window; none when it
// may go on to create its QApplication.
std::optional<int> AnswerBeforeWindow(int argc, char** argv);
