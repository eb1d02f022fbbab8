#pragma once

#include <string>

#include "base/language.h"

// The options every dravo-cli command takes.
struct CliOptions {
    std::string port;     // empty: the one port whose device answers
    std::string lang;     // "ru", "en"; empty: from the locale
    bool json = false;    // machine-readable output on standard output
    std::string logFile;  // where the log lines go at the end; empty: nowhere
    bool quiet = false;
    bool verbose = false;
    bool yes = false;         // answers Yes to every question
    std::string archiveFile;  // the history archive; empty: the user's own
};

// The interface language for `lang`, or from LC_ALL, LC_MESSAGES or LANG.
Language CliLanguage(const std::string& lang);
