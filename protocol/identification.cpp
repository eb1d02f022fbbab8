#include "protocol/identification.h"

#include <string>

#include "protocol/device_models.h"

namespace {

constexpr const char* kRule = "##########################################";

bool Fail(AppLog& log, const std::string& step) {
    log.LogError(step);
    return false;
}

// The CPU type of the cached CpuInfo; fetched when an earlier read left none.
std::uint16_t CpuType(DeviceCommands& commands) {
    if (!commands.CachedCpuInfo()) {
        commands.ReadCpuInfo(true);
    }
    return commands.CachedCpuInfo() ? commands.CachedCpuInfo()->Type() : 0;
}

void CopyRecords(const DeviceCommands& commands, DeviceInfo& info) {
    info.inf1 = commands.CachedInf1Block().value_or(Inf1Block{});
    info.uid = commands.CachedUniqueId();
    if (const auto& soft = commands.CachedSoftInfo()) {
        info.bootVersion = soft->bootVersion;
        info.mainVersion = soft->mainVersion;
        info.cpuInfoAddress = soft->cpuInfoAddress;
    }
    info.board = commands.CachedBoardInfo().value_or(BoardInfo{});
}

bool RunSteps(DeviceCommands& commands, AppLog& log, DeviceInfo& info) {
    info.Clear();
    const int boardCode = commands.BoardCode();
    if (boardCode == 0) {
        return Fail(log, "Read BoardCode");
    }
    const BoardInfo board =
        commands.CachedBoardInfo().value_or(BoardInfo{static_cast<std::uint16_t>(boardCode), 0, 0});
    info.modelName = ModelName(board);
    log.AddLine("# Device: " + info.modelName);

    const SupportedModel* model = FindSupportedModel(board.boardCode);
    if (model == nullptr || !model->HardwareMatches(board)) {
        return Fail(log, "Wrong Device Type");
    }
    const std::uint16_t cpuType = CpuType(commands);
    if (!model->CpuMatches(cpuType)) {
        return Fail(log, "CPU MODEL:" + std::to_string(cpuType));
    }
    if (!commands.ReadInf1Block()) {
        return Fail(log, "Reading INF_1");
    }
    if (!commands.ReadUniqueId()) {
        return Fail(log, "Reading UID");
    }
    CopyRecords(commands, info);
    log.AddLine("# UID   : " + UniqueIdText(info.uid));
    log.AddLine("# S/N   : " + SerialNumberText(info.inf1));
    log.AddLine("# (INF1) Board : " + BoardText(info.inf1));
    log.AddLine("# (INF1) BoardY: " + BoardYText(info.inf1));

    SoftInfo soft;
    if (!commands.ReadSoftInfo(&soft, true)) {
        return Fail(log, "Read SoftInfo");
    }
    info.bootVersion = soft.bootVersion;
    info.mainVersion = soft.mainVersion;
    info.cpuInfoAddress = soft.cpuInfoAddress;
    log.AddLine("# BOOT  : " + VersionText(info.bootVersion));
    log.AddLine(info.BootMode() ? std::string("# TLX4  : Device in BOOT mode")
                                : "# TLX4  : " + VersionText(info.mainVersion));
    info.valid = true;
    return true;
}

}  // namespace

bool Identify(DeviceCommands& commands, AppLog& log, DeviceInfo& info) {
    log.AddLine(kRule);
    log.AddLine("# Read Device Information:");
    const bool identified = RunSteps(commands, log, info);
    log.AddLine(kRule);
    return identified;
}

IdentificationDevice DeviceIdentification(DeviceCommands& commands, AppLog& log) {
    return {[&commands, &log](DeviceInfo& info) { return Identify(commands, log, info); },
            [&commands] { commands.ForgetDeviceData(); }};
}
