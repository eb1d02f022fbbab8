#pragma once

#include <string>
#include <vector>

// The command line's arguments as UTF-8, whatever the system gives: Linux's
// argv as it is; on Windows the wide command line, so that a file name outside
// the code page survives, and the console is switched to UTF-8 output so that
// the Russian texts show.
class ConsoleArguments {
  public:
    ConsoleArguments(int argc, char** argv);

    int Count() const { return static_cast<int>(pointers_.size()) - 1; }
    char** Values() { return pointers_.data(); }

  private:
    // Points pointers_ at texts_.
    void Point();

    std::vector<std::string> texts_;
    std::vector<char*> pointers_;  // into texts_, ending with a null as argv does
};
