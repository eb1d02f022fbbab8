#include "firmware/cpu_flash_writer.h"

#include "base/language.h"
#include "firmware/boot_area.h"
#include "firmware/device_mode.h"
#include "firmware/flash_chunks.h"

namespace {

constexpr const char* kRule = "#######################################";

}  // namespace

CpuFlashWriter::CpuFlashWriter(const FirmwareContext& context) : context_(context) {}

WriteOutcome CpuFlashWriter::Run() {
    context_.log.AddLine(kRule);
    context_.log.AddLine("# Updating TLX4");
    WriteOutcome outcome = Prepare();
    if (outcome != WriteOutcome::Done) {
        return outcome;
    }
    outcome = WriteImage();
    context_.ShowProgress(0);
    context_.log.AddLine(kRule);
    return outcome;
}

WriteOutcome CpuFlashWriter::Prepare() {
    DeviceCommands& commands = context_.commands;
    AppLog& log = context_.log;
    if (CheckMode(commands, log) != DeviceMode::BootLoader) {
        log.AddLine(kRule);
        log.LogError("Update TLX4 not avaliable - TLX4 Mode");
        return WriteOutcome::Failed;
    }
    const std::uint16_t board = static_cast<std::uint16_t>(commands.BoardCode());
    const auto& boardInfo = commands.CachedBoardInfo();
    const auto image = boardInfo ? CpuImage(board, boardInfo->revision) : std::nullopt;
    if (!image) {
        return WriteOutcome::Failed;
    }
    image_ = *image;
    if (!commands.CachedCpuInfo() && !commands.ReadCpuInfo(false)) {
        log.LogError("Reading CpuInfo");
        return WriteOutcome::Failed;
    }
    const CpuInfo& cpu = *commands.CachedCpuInfo();
    pageSize_ = FlashPageSize(cpu.Type());
    start_ = MainProgramStart(cpu);
    // Without a known page size no page could be erased before it is written.
    if (pageSize_ == 0) {
        log.LogError("CPU page size 0: type " + std::to_string(cpu.Type()));
        return WriteOutcome::Failed;
    }
    // A start inside a page would write into a page that was never erased.
    if (start_ % pageSize_ != 0) {
        log.LogError(PickText("Начало программы не на границе страницы",
                              "Program start not on a page boundary"));
        return WriteOutcome::Failed;
    }
    // Check mode has just read the SoftInfo.
    const std::string fault =
        ProgramStartFault(start_, commands.CachedSoftInfo().value_or(SoftInfo{}), cpu);
    if (!fault.empty()) {
        log.LogError(fault);
        return WriteOutcome::Failed;
    }
    chunkSize_ = FlashChunkSize(cpu, board);
    return WriteOutcome::Done;
}

WriteOutcome CpuFlashWriter::WriteImage() {
    OperationGuard guard(context_.host, {});
    DeviceCommands& commands = context_.commands;
    AppLog& log = context_.log;
    log.AddLine("#  Written: 0%");
    ProgressPacer pacer(context_.clock, kProgressIntervalMs);
    std::uint32_t address = start_;
    std::size_t offset = 0;
    while (offset < image_.size()) {
        if (context_.Stopping()) {
            log.LogError(PickText("Запись остановлена", "Writing stopped"));
            return WriteOutcome::Stopped;
        }
        const std::uint32_t count = ChunkLength(address, chunkSize_, image_.size() - offset);
        if (address % pageSize_ == 0 && !commands.CpuErase(address, false)) {
            log.LogError("Erase CPU Sector");
            return WriteOutcome::Failed;
        }
        if (!commands.CpuWrite(address, image_.data() + offset, count, false)) {
            log.LogError("Writa data to CPU Flash");
            return WriteOutcome::Failed;
        }
        address += count;
        offset += count;
        if (pacer.Due(offset == image_.size())) {
            const int percent = PercentWritten(offset, image_.size());
            log.ReplaceLastLine("# Written: " + std::to_string(percent) + "%");
            context_.ShowProgress(percent);
        }
    }
    return WriteOutcome::Done;
}
