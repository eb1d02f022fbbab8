#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_options.h"

// The end-to-end flows run once per profile of the simulated device: each
// profile makes other choices where the protocol leaves the device free, and
// the program must work with all of them.
inline std::vector<std::string> SimProfileNames() {
    std::vector<std::string> names;
    for (const DeviceProfile& profile : DeviceProfiles()) {
        names.push_back(profile.name);
    }
    return names;
}

inline SimOptions WithProfile(SimOptions options, const std::string& name) {
    const DeviceProfile* profile = FindDeviceProfile(name);
    EXPECT_NE(profile, nullptr) << name;
    if (profile != nullptr) {
        options.profile = *profile;
    }
    return options;
}

inline std::string ProfileTestName(const ::testing::TestParamInfo<std::string>& info) {
    return info.param;
}
