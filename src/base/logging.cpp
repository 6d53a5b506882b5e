#include "base/logging.h"

namespace vantrel {

// Info and above by default: a debug line is shown only when the rules ask for it.
Q_LOGGING_CATEGORY(lcReminders, "vantrel.reminders", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMail, "vantrel.mail", QtInfoMsg)
Q_LOGGING_CATEGORY(lcData, "vantrel.data", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWake, "vantrel.wake", QtInfoMsg)
Q_LOGGING_CATEGORY(lcStartup, "vantrel.startup", QtInfoMsg)

} // namespace vantrel
