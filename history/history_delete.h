#pragma once

#include "base/dialogs.h"
#include "history/history_device.h"

// Deletes the history in the device inside one history access. False, with
// nothing sent, when the access may not start or the device refuses to open it.
bool DeleteDeviceHistory(const HistoryAccess& access);

// The Delete button: asks first, and shows the error when the deletion could
// not run. The history already read into the program stays as it is.
void DeleteHistoryClick(const HistoryAccess& access, Dialogs& dialogs);
