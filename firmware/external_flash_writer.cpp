#include "firmware/external_flash_writer.h"

#include <algorithm>
#include <cstdio>

#include "base/language.h"
#include "firmware/device_mode.h"
#include "firmware/flash_chunks.h"

namespace {

constexpr const char* kLongRule = "###########################################";
constexpr const char* kRule = "#######################################";
constexpr int kBarLength = 25;

std::size_t SectorIndex(std::uint32_t address) {
    return std::min<std::size_t>(address / ExternalFlashWriter::kSectorSize,
                                 ExternalFlashWriter::kSectors - 1);
}

std::string Hex6(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", value);
    return text;
}

}  // namespace

std::string ExternalFlashProgressLine(int percent, std::size_t written) {
    std::string bar;
    for (int i = 0; i < kBarLength; ++i) {
        bar += 4 * i <= percent ? '>' : '-';
    }
    return "# ЗАПИСЬ: " + std::to_string(percent) + "% " + std::to_string(written / 1024) + "Кб [" +
           bar + "]";
}

ExternalFlashWriter::ExternalFlashWriter(const FirmwareContext& context, ProgressScreens& screens)
    : context_(context), screens_(screens) {}

WriteOutcome ExternalFlashWriter::Run() {
    context_.log.AddLine(kLongRule);
    context_.log.AddLine("# Updating EFL");
    const WriteOutcome prepared = Prepare();
    if (prepared != WriteOutcome::Done) {
        return prepared;
    }
    return Finish(WriteImage());
}

WriteOutcome ExternalFlashWriter::Prepare() {
    DeviceCommands& commands = context_.commands;
    if (CheckMode(commands, context_.log) != DeviceMode::MainProgram) {
        context_.log.LogError("Update EFL not avaliable in BOOT Mode");
        return WriteOutcome::Failed;
    }
    erased_.fill(false);
    const std::uint16_t board = static_cast<std::uint16_t>(commands.BoardCode());
    const auto image = ExternalFlashImage(board);
    const auto layout = ScreenLayoutOf(board);
    if (!image || !layout) {
        return WriteOutcome::Failed;
    }
    image_ = *image;
    layout_ = *layout;
    const int port = commands.Link().Port().PortNumber();
    if (!commands.PcConnection(PcConnectionText(port), false)) {
        context_.log.LogError("CMD PC CONNECT");
        return WriteOutcome::Failed;
    }
    // PC_CONNECTION fetched CpuInfo when none was cached.
    chunkSize_ = FlashChunkSize(*commands.CachedCpuInfo(), board);
    context_.log.AddLine("# WRITING: 0% bytes");
    context_.ShowProgress(0);
    Print(StartScreens(layout_, port));
    return WriteOutcome::Done;
}

bool ExternalFlashWriter::EnsureErased(std::uint32_t address) {
    const std::size_t sector = SectorIndex(address);
    if (erased_[sector]) {
        return true;
    }
    if (!context_.commands.EflErase4k(address, false)) {
        context_.log.LogError("erase_func");
        return false;
    }
    erased_[sector] = true;
    return true;
}

WriteOutcome ExternalFlashWriter::WriteImage() {
    OperationGuard guard(context_.host, {});
    ProgressPacer pacer(context_.clock, kProgressIntervalMs);
    address_ = 0;
    std::size_t offset = 0;
    while (offset < image_.size()) {
        if (context_.Stopping()) {
            return WriteOutcome::Stopped;
        }
        const std::uint32_t count = ChunkLength(address_, chunkSize_, image_.size() - offset);
        if (!EnsureErased(address_) || !EnsureErased(address_ + count)) {
            return WriteOutcome::Failed;
        }
        if (!context_.commands.EflWrite(address_, image_.data() + offset, count, false)) {
            context_.log.LogError("write_func");
            return WriteOutcome::Failed;
        }
        address_ += count;
        offset += count;
        if (pacer.Due(offset == image_.size())) {
            ShowProgress(offset);
        }
    }
    return WriteOutcome::Done;
}

void ExternalFlashWriter::ShowProgress(std::size_t written) {
    const int percent = PercentWritten(written, image_.size());
    context_.log.ReplaceLastLine(ExternalFlashProgressLine(percent, written));
    context_.ShowProgress(percent);
    Print(screens_.Step(layout_, percent));
}

void ExternalFlashWriter::Print(const std::vector<std::string>& screens) {
    // A screen the device does not take is skipped: it never stops the write.
    for (const std::string& screen : screens) {
        context_.commands.PcPrint(screen, false);
    }
}

WriteOutcome ExternalFlashWriter::Finish(WriteOutcome outcome) {
    AppLog& log = context_.log;
    if (outcome == WriteOutcome::Done) {
        Print(EndScreens(layout_));
    } else {
        log.LogError(outcome == WriteOutcome::Stopped
                         ? PickText("Запись остановлена: A=0x", "Writing stopped: A=0x") +
                               Hex6(address_)
                         : "WRITE ERR: A=0x" + Hex6(address_));
        log.LogError("Update not completed");
    }
    // The link retries inside each exchange and counts no repeats of its own.
    log.AddLine("# REP_CNT:0");
    log.AddLine(kRule);
    context_.ShowProgress(0);
    return outcome;
}
