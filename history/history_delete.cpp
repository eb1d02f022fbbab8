#include "history/history_delete.h"

#include "base/language.h"

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
    // The device answers the delete word with the word itself or refuses it; the
    // access is closed either way.
    access.device.WriteParameter(HistoryDevice::kParamCommand, HistoryDevice::kDelete);
    access.device.WriteParameter(HistoryDevice::kParamCommand, HistoryDevice::kEndAccess);
    return OutcomeKind::Completed;
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
