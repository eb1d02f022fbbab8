#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/file_text.h"
#include "support/temp_dir.h"

extern char** environ;

// This process's environment with `changes` applied: an entry replaces the
// inherited one of its name; an empty value removes it.
inline std::vector<std::string> ChangedEnvironment(
    const std::map<std::string, std::string>& changes) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        if (changes.count(variable.substr(0, variable.find('='))) == 0) {
            variables.push_back(variable);
        }
    }
    for (const auto& [name, value] : changes) {
        if (!value.empty()) {
            variables.push_back(name + "=" + value);
        }
    }
    return variables;
}

// A program started with exactly `environment`, its standard input empty and
// its output in files, so neither stream can fill a pipe and stall it. Killed
// if it still runs when this goes.
class RunningProgram {
  public:
    RunningProgram(std::vector<std::string> arguments, std::vector<std::string> environment) {
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& variable : environment) {
            envp.push_back(variable.data());
        }
        envp.push_back(nullptr);
        // Made here, not by the child, so that a watch on them can start at once.
        std::ofstream{OutPath()}.close();
        std::ofstream{ErrPath()}.close();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, OutPath().c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, ErrPath().c_str(), O_WRONLY | O_CREAT, 0600);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid_ = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RunningProgram() {
        if (pid_ != 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return pid_ != 0 || status_ != -1; }
    // The exit status; -1 when it did not exit by itself or did not start.
    int Wait() {
        if (pid_ != 0) {
            int status = 0;
            waitpid(pid_, &status, 0);
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            pid_ = 0;
        }
        return status_;
    }
    void Signal(int signal) const {
        if (pid_ != 0) {
            ::kill(pid_, signal);
        }
    }
    // Waits, within `limit`, until standard output or error holds `text`:
    // looks again each time the program writes to it.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit) const {
        return WaitForText(OutPath(), text, limit);
    }
    bool WaitForError(const std::string& text, std::chrono::milliseconds limit) const {
        return WaitForText(ErrPath(), text, limit);
    }
    std::string Out() const { return FileText(OutPath()); }
    std::string Err() const { return FileText(ErrPath()); }
    // A folder of the run's own, removed with it.
    const std::string& Folder() const { return folder_.Path(); }

  private:
    static bool WaitForText(const std::string& path, const std::string& text,
                            std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        // Watched before the first look, so no write falls between the two.
        inotify_add_watch(watch, path.c_str(), IN_MODIFY | IN_CLOSE_WRITE);
        bool found = false;
        for (;;) {
            found = FileText(path).find(text) != std::string::npos;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (found || left.count() <= 0) {
                break;
            }
            pollfd entry{watch, POLLIN, 0};
            if (poll(&entry, 1, static_cast<int>(left.count())) > 0) {
                char events[4096];
                while (read(watch, events, sizeof events) > 0) {
                }
            }
        }
        close(watch);
        return found;
    }
    std::string OutPath() const { return folder_.Path() + "/out"; }
    std::string ErrPath() const { return folder_.Path() + "/err"; }

    TempDir folder_;
    pid_t pid_ = 0;
    int status_ = -1;
};

struct ProgramRun {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs a program to its end with this process's environment and `changes`.
inline ProgramRun RunProgram(const std::vector<std::string>& arguments,
                             const std::map<std::string, std::string>& changes = {}) {
    RunningProgram program(arguments, ChangedEnvironment(changes));
    ProgramRun run;
    if (!program.Started()) {
        run.err = "cannot start " + arguments.at(0);
        return run;
    }
    run.status = program.Wait();
    run.out = program.Out();
    run.err = program.Err();
    return run;
}
