#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "sim/simulated_device.h"
#include "support/run_program.h"
#include "support/sim_profiles.h"
#include "support/temp_dir.h"

// dravo-cli as a user runs it, seeing only the ports of one folder, with its
// standard input empty (no terminal to answer a question), no inherited
// environment and a home of its own inside the port folder.
class CliProcess : public RunningProgram {
  public:
    // `environment` adds "NAME=value" entries.
    CliProcess(const std::string& portDir, std::vector<std::string> arguments,
               const std::vector<std::string>& environment = {});
};

using CliOutcome = ProgramRun;

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

// `Fixture` once per profile: every device the test plugs in takes the
// profile the test runs with.
template <typename Fixture>
class OnEachProfile : public Fixture, public ::testing::WithParamInterface<std::string> {
  protected:
    SimulatedDevice& PlugIn(SimOptions options, int com = 9) {
        return Fixture::PlugIn(WithProfile(std::move(options), this->GetParam()), com);
    }
};
