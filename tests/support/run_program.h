#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

// Runs a program to its end with its output in files, so neither stream can
// fill a pipe and stall it.
struct ProgramRun {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// `environment` entries replace the inherited ones; an empty value removes one.
inline ProgramRun RunProgram(const std::vector<std::string>& arguments,
                             const std::map<std::string, std::string>& environment = {}) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        if (environment.count(variable.substr(0, variable.find('='))) == 0) {
            variables.push_back(variable);
        }
    }
    for (const auto& [name, value] : environment) {
        if (!value.empty()) {
            variables.push_back(name + "=" + value);
        }
    }
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    TempDir dir;
    const std::string outPath = dir.Path() + "/out";
    const std::string errPath = dir.Path() + "/err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    ProgramRun run;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        run.err = "cannot start " + arguments.at(0);
        return run;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto slurp = [](const std::string& path) {
        std::ifstream file(path);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    run.out = slurp(outPath);
    run.err = slurp(errPath);
    return run;
}
