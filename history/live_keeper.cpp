#include "history/live_keeper.h"

#include <utility>

LiveKeeper::~LiveKeeper() {
    if (recorder_) {
        recorder_->Flush();
    }
}

bool LiveKeeper::Opened() {
    if (archive_) {
        return true;
    }
    auto archive = std::make_unique<HistoryArchive>(path_);
    if (!archive->Open()) {
        openError_ = archive->Error();
        return false;
    }
    archive_ = std::move(archive);
    live_ = std::make_unique<LiveArchive>(*archive_);
    recorder_ = std::make_unique<LiveRecorder>(*live_);
    return true;
}

std::string LiveKeeper::Record(const ArchiveDeviceKey& key, const LiveReading& reading) {
    if (!Opened()) {
        // Told once; later readings try again quietly.
        return std::exchange(openFailureTold_, true) ? std::string() : openError_;
    }
    return recorder_->Add(key, reading);
}

std::string LiveKeeper::Tick(std::int64_t nowMs) {
    return recorder_ ? recorder_->Tick(nowMs) : std::string();
}

std::vector<LiveReading> LiveKeeper::Earlier(const ArchiveDeviceKey& key, std::int64_t fromMs) {
    if (!Opened()) {
        return {};
    }
    recorder_->Flush();
    const std::optional<std::int64_t> device = archive_->DeviceId(key, false);
    return device ? live_->Readings(*device, fromMs, INT64_MAX) : std::vector<LiveReading>{};
}
