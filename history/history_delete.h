#pragma once

#include "base/dialogs.h"
#include "base/operation_outcome.h"
#include "history/history_device.h"

// Deletes the history in the device inside one history access. Anything but
// Completed, with nothing deleted, when the access may not start or the device
// does not open it; BadAnswer when the device's header still counts records
// after the delete, the link's failure when that header cannot be read.
OutcomeKind DeleteDeviceHistory(const HistoryAccess& access);

// The Delete button: asks first, and shows the error when the deletion could
// not run. The history already read into the program stays as it is.
OperationOutcome DeleteHistoryClick(const HistoryAccess& access, Dialogs& dialogs);
