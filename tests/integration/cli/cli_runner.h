#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "sim/simulated_device.h"
#include "support/temp_dir.h"

// dravo-cli as a user runs it, seeing only the ports of one folder, with its
// standard input empty (no terminal to answer a question) and its output in
// files.
class CliProcess {
  public:
    // Starts the program; `environment` adds "NAME=value" entries.
    CliProcess(const std::string& portDir, std::vector<std::string> arguments,
               const std::vector<std::string>& environment = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // The exit status; -1 when it did not exit by itself.
    int Wait();
    void Signal(int signal) const;
    // Waits, within `limit`, until standard error holds `text`.
    bool WaitForError(const std::string& text, std::chrono::milliseconds limit) const;

    std::string Out() const;
    std::string Err() const;

  private:
    TempDir output_;
    pid_t pid_ = 0;
    int status_ = -1;
};

struct CliOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the program to its end.
CliOutcome RunCli(const std::string& portDir, std::vector<std::string> arguments,
                  const std::vector<std::string>& environment = {});

// A folder of simulated ports whose devices' clocks stand still, so that their
// live values and history hold between runs.
class CliAgainstSimulator : public ::testing::Test {
  protected:
    SimulatedDevice& PlugIn(SimOptions options, int com = 9);

    TempDir dir_;
    std::unique_ptr<SimulatedDevice> device_;
    std::vector<std::unique_ptr<SimulatedDevice>> more_;
};

// The whole content of a file, empty when it cannot be read.
std::string FileBytes(const std::string& path);
