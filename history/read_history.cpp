#include "history/read_history.h"

#include <ctime>

#include "base/language.h"
#include "history/csv_export.h"

ReadHistory::ReadHistory(HistoryAccess access, DeviceHistory& history, Dialogs& dialogs,
                         AppLog* log, Hooks hooks)
    : access_(std::move(access)),
      history_(history),
      dialogs_(dialogs),
      log_(log),
      hooks_(std::move(hooks)) {}

void ReadHistory::UseArchive(HistoryArchive* archive, ArchiveDeviceKey key, bool full) {
    archive_ = archive;
    key_ = std::move(key);
    full_ = full;
}

HistoryOutcome ReadHistory::Run(int sensors) {
    if (running_) {
        return HistoryOutcome::ReadError;
    }
    running_ = true;
    accessOpen_ = false;
    // The page control stays usable: the page itself refuses page changes, and
    // its Read button must stay clickable as Cancel.
    OperationGuard guard(access_.host, {.linkCheck = true, .pages = false, .busy = false});
    history_.Reset();
    history_.sensors = sensors;
    history_.csv.Start(sensors, history_.k100);
    history_.store.Erase();
    cache_.Clear();
    asked_ = 0;
    fromArchive_ = 0;
    archiveError_.clear();
    pagesDone_ = 0;
    pagesKept_ = 0;

    const HistoryOutcome outcome = Read();
    if (accessOpen_) {
        EndAccess();
    }
    if (outcome == HistoryOutcome::Completed) {
        Archive(std::nullopt);
    } else if (pagesDone_ > 0) {
        Archive(pagesDone_);
    }
    Progress(ReadingProgress::Unit::Pages, 0, 0);
    running_ = false;
    Report(outcome);
    return outcome;
}

HistoryOutcome ReadHistory::Read() {
    if (access_.host.StopRequested()) {
        return HistoryOutcome::Stopped;
    }
    if (!access_.MayStart()) {
        LogError("History: device not available");
        return HistoryOutcome::ReadError;
    }
    if (!access_.device.WriteParameter(HistoryDevice::kParamCommand, HistoryDevice::kBeginAccess)) {
        return HistoryOutcome::ReadError;
    }
    accessOpen_ = true;
    if (!ReadHeader()) {
        return access_.host.StopRequested() ? HistoryOutcome::Stopped : HistoryOutcome::ReadError;
    }
    if (!history_.header.InsideRing()) {
        LogError("History: header positions outside the ring");
        return HistoryOutcome::ReadError;
    }
    if (!history_.header.Accepted()) {
        LogError("History: header not consistent");
        return HistoryOutcome::FormatError;
    }
    if (const std::optional<IncrementalReading> plan = PlanFromArchive()) {
        if (const std::optional<HistoryOutcome> outcome = ReadIncrementally(*plan)) {
            return *outcome;
        }
        Log("History: the newest archived record is no longer in place, reading everything");
    }
    return ReadPages();
}

std::optional<IncrementalReading> ReadHistory::PlanFromArchive() {
    if (archive_ == nullptr || full_) {
        return std::nullopt;
    }
    const std::optional<ArchivedRing> ring = archive_->LastRing(key_);
    return ring ? IncrementalReading::Plan(history_.header, *ring) : std::nullopt;
}

std::optional<HistoryOutcome> ReadHistory::ReadIncrementally(const IncrementalReading& plan) {
    const std::vector<std::uint32_t>& pairs = plan.Pairs();
    const std::vector<int>& missing = plan.MissingPages();
    constexpr int kPagePairs = history_geometry::kPageRecords / 2;
    const int total = static_cast<int>(pairs.size() + missing.size() * kPagePairs);
    Progress(ReadingProgress::Unit::Pairs, 0, total);
    std::uint8_t record[HistoryRecord::kSize];
    asked_ += 2;
    if (!ReadHistoryRecord(access_.device, history_, cache_, plan.CheckIndex(), record)) {
        return Interrupted();
    }
    if (!plan.CheckMatches(record)) {
        return std::nullopt;
    }
    fromArchive_ = plan.Restore(history_.store);
    int done = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (const std::optional<HistoryOutcome> cut = CutOff()) {
            return cut;
        }
        for (std::uint32_t index = pairs[i]; index <= pairs[i] + 1; ++index) {
            if (!ReadHistoryRecord(access_.device, history_, cache_, index, record)) {
                return Interrupted();
            }
            history_.store.Put(index, record);
        }
        asked_ += i > 0 ? 2 : 0;  // the check's pair is counted once
        Progress(ReadingProgress::Unit::Pairs, ++done, total);
    }
    const std::size_t pages = history_.header.ReadingOrder().size();
    pagesDone_ = pages - missing.size();
    for (int page : missing) {
        if (const std::optional<HistoryOutcome> cut = CutOff()) {
            return cut;
        }
        if (!ReadPage(page)) {
            return Interrupted();
        }
        ++pagesDone_;
        asked_ += history_geometry::kPageRecords;
        done += kPagePairs;
        Progress(ReadingProgress::Unit::Pairs, done, total);
    }
    for (int page : history_.header.ReadingOrder()) {
        ExportHistoryPage(history_.store, page, history_.csv);
    }
    history_.valid = true;
    return HistoryOutcome::Completed;
}

std::optional<HistoryOutcome> ReadHistory::CutOff() const {
    if (access_.host.StopRequested()) {
        return HistoryOutcome::Stopped;
    }
    if (cancel_) {
        return HistoryOutcome::Cancelled;
    }
    return std::nullopt;
}

HistoryOutcome ReadHistory::Interrupted() const {
    return access_.host.StopRequested() ? HistoryOutcome::Stopped : HistoryOutcome::ReadError;
}

void ReadHistory::Archive(std::optional<std::size_t> pagesRead) {
    if (archive_ == nullptr) {
        return;
    }
    if (!archive_->Save(key_, history_, static_cast<std::int64_t>(std::time(nullptr)), pagesRead)) {
        archiveError_ = archive_->Error();
        LogError("History archive: " + archiveError_);
        return;
    }
    if (pagesRead) {
        pagesKept_ = *pagesRead;
        Log("History archive: " + std::to_string(*pagesRead) +
            " complete pages of the cut-off reading kept");
    }
}

bool ReadHistory::ReadHeader() {
    HistoryDevice& device = access_.device;
    DeviceTimeRecord time;
    if (!device.TimeRead(time)) {
        return false;
    }
    history_.readTime = time;
    std::uint32_t k = 0;
    if (!device.ReadParameter(DeviceHistory::kParamCalibration, k)) {
        return false;
    }
    history_.k100 = ClampK100(k);
    // The CSV lines carry the calibration just read.
    history_.csv.Start(history_.sensors, history_.k100);
    std::uint32_t values[4] = {};
    const std::uint16_t ids[4] = {HistoryHeader::kParamLayout, HistoryHeader::kParamCount,
                                  HistoryHeader::kParamPositions, HistoryHeader::kParamFlag};
    for (int i = 0; i < 4; ++i) {
        if (!device.ReadParameter(ids[i], values[i])) {
            return false;
        }
    }
    history_.header = HistoryHeader::FromParameters(values[0], values[1], values[2], values[3]);
    return true;
}

HistoryOutcome ReadHistory::ReadPages() {
    const std::vector<int> order = history_.header.ReadingOrder();
    const int total = static_cast<int>(order.size());
    Progress(ReadingProgress::Unit::Pages, 0, total);
    for (int i = 0; i < total; ++i) {
        if (const std::optional<HistoryOutcome> cut = CutOff()) {
            return *cut;
        }
        if (!ReadPage(order[i])) {
            LogError("History: reading page " + std::to_string(order[i]));
            return access_.host.StopRequested() ? HistoryOutcome::Stopped
                                                : HistoryOutcome::ReadError;
        }
        ExportHistoryPage(history_.store, order[i], history_.csv);
        pagesDone_ = static_cast<std::size_t>(i + 1);
        asked_ += history_geometry::kPageRecords;
        Progress(ReadingProgress::Unit::Pages, i + 1, total);
    }
    history_.valid = true;
    return HistoryOutcome::Completed;
}

bool ReadHistory::ReadPage(int page) {
    std::uint8_t record[HistoryRecord::kSize];
    const std::int64_t first = static_cast<std::int64_t>(page) * history_geometry::kPageRecords;
    for (std::int64_t slot = 0; slot < history_geometry::kPageRecords; ++slot) {
        if (!ReadHistoryRecord(access_.device, history_, cache_, first + slot, record)) {
            return false;
        }
        history_.store.Put(static_cast<std::uint32_t>(first + slot), record);
    }
    return true;
}

void ReadHistory::EndAccess() {
    accessOpen_ = false;
    if (!access_.device.EndAccess()) {
        LogError("History: end of access not confirmed, the device may be gone");
    }
}

void ReadHistory::Report(HistoryOutcome outcome) {
    switch (outcome) {
        case HistoryOutcome::Completed:
            Log("History read: " + std::to_string(history_.csv.Rows() - 1) + " records");
            break;
        case HistoryOutcome::Cancelled:
            Log("History reading cancelled");
            dialogs_.Warning(PickText("Чтение истории отменено", "Reading of History canceled"));
            break;
        case HistoryOutcome::ReadError:
            dialogs_.Error(PickText("Ошибка чтения истории", "Error of History reading"));
            break;
        case HistoryOutcome::FormatError:
            dialogs_.Error(
                PickText("Ошибка формата данных истории", "Error of History Format Data"));
            break;
        case HistoryOutcome::Stopped:
            Log("History reading stopped");
            break;
    }
}

void ReadHistory::Progress(ReadingProgress::Unit unit, int done, int total) {
    if (hooks_.progress) {
        hooks_.progress({.unit = unit,
                         .done = done,
                         .total = total,
                         .exported = static_cast<std::uint32_t>(history_.csv.Rows() - 1),
                         .asked = asked_,
                         .fromArchive = fromArchive_});
    }
}

void ReadHistory::Log(const std::string& line) {
    if (log_ != nullptr) {
        log_->AddLine(line);
    }
}

void ReadHistory::LogError(const std::string& line) {
    if (log_ != nullptr) {
        log_->LogError(line);
    }
}
