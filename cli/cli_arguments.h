#pragma once

#include <CLI/CLI.hpp>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The argument parser in the interface language: its help, its refusals and
// the checks of values, each of which says what would be accepted.

// The language --lang names on the command line, or empty; read before the
// parser runs, so that the help and the parser's errors speak it.
std::string LanguageArgument(int argc, char** argv);
// Whether one of `names` (a flag such as --json) is on the command line, for a
// refusal of the parser.
bool FlagArgument(int argc, char** argv, std::initializer_list<std::string_view> names);

// The help's labels in the interface language; before any option is added.
void PrepareHelp(CLI::App& app);
// The help's groups and value types in the interface language, for `app` and
// every command below it; after all are added.
void TranslateHelp(CLI::App& app);

// Accepts one of `values` and names them when it refuses.
CLI::Validator OneOf(std::vector<std::string> values);
// A whole number of seconds from `least` to a year.
CLI::Validator SecondsCount(int least = 0);
// A decimal number, such as 0.35, from `least` to `most`.
CLI::Validator DecimalNumber(double least, double most);

// Why the parser refused the command line, in the interface language: an
// unknown or missing command lists the commands that would do.
std::string ParseErrorText(const CLI::App& app, const CLI::ParseError& error);
