#include "base/logging.h"

#include <QElapsedTimer>

namespace vantrel {

// Info and above by default: a debug line is shown only when the rules ask for it.
Q_LOGGING_CATEGORY(lcReminders, "vantrel.reminders", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMail, "vantrel.mail", QtInfoMsg)
Q_LOGGING_CATEGORY(lcData, "vantrel.data", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWake, "vantrel.wake", QtInfoMsg)
Q_LOGGING_CATEGORY(lcStartup, "vantrel.startup", QtInfoMsg)

void startupStep(const char* what) {
    static QElapsedTimer since;
    if (!since.isValid()) since.start();
    qCDebug(lcStartup, "%7.1f ms  %s", static_cast<double>(since.nsecsElapsed()) / 1e6, what);
}

} // namespace vantrel
