#include "firmware/device_restart.h"

#include <optional>

#include "base/language.h"
#include "firmware/device_mode.h"

DeviceRestart::DeviceRestart(const FirmwareContext& context, RestartEnvironment environment)
    : context_(context), environment_(std::move(environment)) {}

bool DeviceRestart::Wait(std::uint32_t ms) {
    const std::uint32_t start = context_.clock();
    while (TicksSince(start, context_.clock()) < ms) {
        if (context_.Stopping()) {
            return false;
        }
        if (environment_.step) {
            environment_.step();
        }
    }
    return !context_.Stopping();
}

bool DeviceRestart::AwaitDevice() {
    const LinkCheckWindow linkCheck(context_.host);
    for (int round = 0; round < kWaitRounds && !environment_.deviceBack(); ++round) {
        if (!Wait(kWaitMs)) {
            return false;
        }
    }
    return environment_.deviceBack();
}

RestartResult DeviceRestart::Stopped() {
    context_.log.LogError(PickText("Перезапуск прерван", "Restart stopped"));
    return RestartResult::Failed;
}

RestartResult DeviceRestart::Restart(bool bootLoader) {
    AppLog& log = context_.log;
    log.AddLine(bootLoader ? "==> Device Reset to BOOT" : "==> Device Reset to TLX4");
    if (!context_.commands.Reset(bootLoader, false)) {
        log.LogError(bootLoader ? "Error when RESET CMD" : "RESET CMD not completed");
        return RestartResult::Failed;
    }
    std::optional<LinkCheckWindow> linkCheck(std::in_place, context_.host);
    if (!Wait(kWaitMs)) {
        return Stopped();
    }
    environment_.dropConnection();
    for (int round = 0; round < kWaitRounds; ++round) {
        if (!Wait(kWaitMs)) {
            return Stopped();
        }
        if (!environment_.deviceBack()) {
            continue;
        }
        linkCheck.reset();
        if (!Wait(kWaitMs)) {
            return Stopped();
        }
        const DeviceMode mode = CheckMode(context_.commands, log);
        if (mode == DeviceMode::Unreadable) {
            return RestartResult::Failed;
        }
        const DeviceMode wanted = bootLoader ? DeviceMode::BootLoader : DeviceMode::MainProgram;
        return mode == wanted ? RestartResult::Done : RestartResult::WrongMode;
    }
    return RestartResult::Failed;
}

bool RestartIntoMainProgram(const FirmwareContext& context, RestartEnvironment environment) {
    return DeviceRestart(context, std::move(environment)).IntoMainProgram() == RestartResult::Done;
}
