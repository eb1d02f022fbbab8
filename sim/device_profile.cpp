#include "sim/device_profile.h"

#include <algorithm>

const std::vector<DeviceProfile>& DeviceProfiles() {
    static const std::vector<DeviceProfile> profiles{
        {"classic",
         "records below the program, a page marker in slot 0, 6-byte parameters, 7-byte "
         "time, exact echo, a restart re-plugs, blocks up to 128 bytes",
         RecordPlacement::BelowProgram, SlotZero::PageMarker, 6, 7, false, RestartLook::Replug,
         128},
        {"contrary",
         "records above the program, a measurement in slot 0, 22-byte parameters, 8-byte "
         "time, echo and one byte more, a restart stays silent on the same port, blocks up to "
         "8 bytes",
         RecordPlacement::AboveProgram, SlotZero::Measurement, 22, 8, true,
         RestartLook::SilentOnSamePort, 8},
        {"apart",
         "records in a memory area of their own, a measurement in slot 0, 22-byte parameters, "
         "7-byte time, exact echo, a restart re-plugs, blocks up to 24 bytes",
         RecordPlacement::OtherArea, SlotZero::Measurement, 22, 7, false, RestartLook::Replug, 24},
    };
    return profiles;
}

const DeviceProfile* FindDeviceProfile(const std::string& name) {
    const auto& profiles = DeviceProfiles();
    const auto found =
        std::find_if(profiles.begin(), profiles.end(),
                     [&](const DeviceProfile& profile) { return profile.name == name; });
    return found == profiles.end() ? nullptr : &*found;
}
