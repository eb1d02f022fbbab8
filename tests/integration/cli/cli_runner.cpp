#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "integration/cli/cli_runner.h"

extern char** environ;

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

CliProcess::CliProcess(const std::string& portDir, std::vector<std::string> arguments,
                       const std::vector<std::string>& environment) {
    const std::string program = (std::filesystem::path(DRAVO_BIN_DIR) / "dravo-cli").string();
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables{"DRAVO_PORT_DIR=" + portDir, "DRAVO_NO_SYSTEM_PORTS=1",
                                       "LANG=C", "HOME=" + output_.Path()};
    variables.insert(variables.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (auto& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    const std::string outPath = output_.Path() + "/out";
    const std::string errPath = output_.Path() + "/err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid_ = 0;
    }
    posix_spawn_file_actions_destroy(&actions);
}

CliProcess::~CliProcess() {
    if (pid_ != 0) {
        ::kill(pid_, SIGKILL);
        Wait();
    }
}

int CliProcess::Wait() {
    if (pid_ != 0) {
        int status = 0;
        waitpid(pid_, &status, 0);
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = 0;
    }
    return status_;
}

void CliProcess::Signal(int signal) const {
    if (pid_ != 0) {
        ::kill(pid_, signal);
    }
}

bool CliProcess::WaitForError(const std::string& text, std::chrono::milliseconds limit) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (Err().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string CliProcess::Out() const {
    return FileBytes(output_.Path() + "/out");
}

std::string CliProcess::Err() const {
    return FileBytes(output_.Path() + "/err");
}

CliOutcome RunCli(const std::string& portDir, std::vector<std::string> arguments,
                  const std::vector<std::string>& environment) {
    CliProcess process(portDir, std::move(arguments), environment);
    CliOutcome outcome;
    outcome.status = process.Wait();
    outcome.out = process.Out();
    outcome.err = process.Err();
    return outcome;
}

SimulatedDevice& CliAgainstSimulator::PlugIn(SimOptions options, int com) {
    auto device = std::make_unique<SimulatedDevice>(options, [] { return std::uint64_t{0}; });
    EXPECT_TRUE(device->PlugIn(dir_.Path(), com)) << device->LastError();
    if (!device_) {
        device_ = std::move(device);
        return *device_;
    }
    more_.push_back(std::move(device));
    return *more_.back();
}
