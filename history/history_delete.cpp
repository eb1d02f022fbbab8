#include "history/history_delete.h"

#include "base/language.h"
#include "history/history_header.h"

OutcomeKind DeleteDeviceHistory(const HistoryAccess& access) {
    OperationGuard guard(access.host, {.linkCheck = true, .pages = false, .busy = false});
    if (access.host.StopRequested()) {
        return OutcomeKind::Stopped;
    }
    if (!access.MayStart()) {
        return OutcomeKind::Refused;
    }
    if (!access.device.WriteParameter(HistoryDevice::kParamCommand, HistoryDevice::kBeginAccess)) {
        return access.host.StopRequested() ? OutcomeKind::Stopped : access.device.LastFailure();
    }
    // Whatever the device answers to the delete word, only its header tells
    // whether records remain; the access is closed either way.
    access.device.WriteParameter(HistoryDevice::kParamCommand, HistoryDevice::kDelete);
    std::uint32_t counts = 0;
    const bool counted = access.device.ReadParameter(HistoryHeader::kParamCount, counts);
    const OutcomeKind readFailure = access.device.LastFailure();
    access.device.EndAccess();
    if (!counted) {
        return access.host.StopRequested() ? OutcomeKind::Stopped : readFailure;
    }
    const bool emptied = HistoryHeader::FromParameters(0, counts, 0, 0).count == 0;
    return emptied ? OutcomeKind::Completed : OutcomeKind::BadAnswer;
}

OperationOutcome DeleteHistoryClick(const HistoryAccess& access, Dialogs& dialogs) {
    if (!dialogs.AskYesNo(PickText("История в приборе будет удалена!\r\nПродолжить?",
                                   "History in Device will be deleted!\r\nContinue"))) {
        return {access.host.StopRequested() ? OutcomeKind::Stopped : OutcomeKind::Cancelled, {}};
    }
    const OutcomeKind kind = DeleteDeviceHistory(access);
    if (kind == OutcomeKind::Completed) {
        return {};
    }
    const std::string text = PickText("Ошибка удаления истории", "Error of History deleting");
    dialogs.Error(text);
    return {kind, text};
}
