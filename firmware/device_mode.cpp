#include "firmware/device_mode.h"

#include "protocol/device_info.h"

DeviceMode CheckMode(DeviceCommands& commands, AppLog& log) {
    log.AddLine("==> Check - Device is in Boot or TLX4");
    SoftInfo soft;
    if (!commands.ReadSoftInfo(&soft, false)) {
        log.LogError("Reading SoftInfo");
        return DeviceMode::Unreadable;
    }
    log.AddLine("BOOT  : " + VersionText(soft.bootVersion));
    log.AddLine("TLX4  : " + VersionText(soft.mainVersion));
    return soft.BootMode() ? DeviceMode::BootLoader : DeviceMode::MainProgram;
}
