#include "firmware/cpu_image_plan.h"

#include "firmware/boot_area.h"
#include "firmware/flash_chunks.h"

std::optional<CpuImagePlan> PlanCpuImage(DeviceCommands& commands, AppLog& log) {
    const std::uint16_t board = static_cast<std::uint16_t>(commands.BoardCode());
    const auto& boardInfo = commands.CachedBoardInfo();
    const auto image = boardInfo ? CpuImage(board, boardInfo->revision) : std::nullopt;
    if (!image) {
        return std::nullopt;
    }
    // The CpuInfo address of the check comes from the SoftInfo.
    if (!commands.CachedSoftInfo() && !commands.ReadSoftInfo(nullptr, false)) {
        log.LogError("Reading SoftInfo");
        return std::nullopt;
    }
    if (!commands.CachedCpuInfo() && !commands.ReadCpuInfo(false)) {
        log.LogError("Reading CpuInfo");
        return std::nullopt;
    }
    const CpuInfo& cpu = *commands.CachedCpuInfo();
    CpuImagePlan plan{*image, MainProgramStart(cpu), FlashPageSize(cpu.Type()),
                      FlashChunkSize(cpu, board)};
    // Without a known page size no page could be erased before it is written.
    if (plan.pageSize == 0) {
        log.LogError("CPU page size 0: type " + std::to_string(cpu.Type()));
        return std::nullopt;
    }
    const std::string fault =
        ProgramStartFault(plan.start, static_cast<std::uint32_t>(plan.image.size()), plan.pageSize,
                          *commands.CachedSoftInfo(), cpu);
    if (!fault.empty()) {
        log.LogError(fault);
        return std::nullopt;
    }
    return plan;
}
