#include "firmware/cpu_flash_writer.h"

#include "base/language.h"
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
    if (CheckMode(context_.commands, context_.log) != DeviceMode::BootLoader) {
        context_.log.AddLine(kRule);
        context_.log.LogError("Update TLX4 not avaliable - TLX4 Mode");
        return WriteOutcome::Failed;
    }
    const std::optional<CpuImagePlan> plan = PlanCpuImage(context_.commands, context_.log);
    if (!plan) {
        return WriteOutcome::Failed;
    }
    plan_ = *plan;
    return WriteOutcome::Done;
}

WriteOutcome CpuFlashWriter::WriteImage() {
    OperationGuard guard(context_.host, {});
    DeviceCommands& commands = context_.commands;
    AppLog& log = context_.log;
    log.AddLine("#  Written: 0%");
    ProgressPacer pacer(context_.clock, kProgressIntervalMs);
    const ImageBytes image = plan_.image;
    std::uint32_t address = plan_.start;
    std::size_t offset = 0;
    while (offset < image.size()) {
        if (context_.Stopping()) {
            log.LogError(PickText("Запись остановлена", "Writing stopped"));
            return WriteOutcome::Stopped;
        }
        const std::uint32_t count = ChunkLength(address, plan_.chunkSize, image.size() - offset);
        if (address % plan_.pageSize == 0 && !commands.CpuErase(address, false)) {
            log.LogError("Erase CPU Sector");
            return WriteOutcome::Failed;
        }
        if (!commands.CpuWrite(address, image.data() + offset, count, false)) {
            log.LogError("Writa data to CPU Flash");
            return WriteOutcome::Failed;
        }
        address += count;
        offset += count;
        if (pacer.Due(offset == image.size())) {
            const int percent = PercentWritten(offset, image.size());
            log.ReplaceLastLine("# Written: " + std::to_string(percent) + "%");
            context_.ShowProgress(percent);
        }
    }
    return WriteOutcome::Done;
}
