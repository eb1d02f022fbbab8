#include "history/history_delete.h"

#include "base/language.h"

bool DeleteDeviceHistory(const HistoryAccess& access) {
    OperationGuard guard(access.host, {.linkCheck = true, .pages = false, .busy = false});
    if (access.host.StopRequested() || !access.MayStart() ||
        !access.device.WriteParameter(HistoryDevice::kParamCommand, HistoryDevice::kBeginAccess)) {
        return false;
    }
    // The device answers the delete word with the word itself or refuses it; the
    // access is closed either way.
    access.device.WriteParameter(HistoryDevice::kParamCommand, HistoryDevice::kDelete);
    access.device.WriteParameter(HistoryDevice::kParamCommand, HistoryDevice::kEndAccess);
    return true;
}

void DeleteHistoryClick(const HistoryAccess& access, Dialogs& dialogs) {
    if (!dialogs.AskYesNo(PickText("История в приборе будет удалена!\r\nПродолжить?",
                                   "History in Device will be deleted!\r\nContinue"))) {
        return;
    }
    if (!DeleteDeviceHistory(access)) {
        dialogs.Error(PickText("Ошибка удаления истории", "Error of History deleting"));
    }
}
