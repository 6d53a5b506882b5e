#pragma once
// What the program did, for whoever looks into a late reminder or a failed mail. Debug lines are
// off unless asked for (QT_LOGGING_RULES="vantrel.*=true"); warnings are always on. Nothing here
// ever holds a password or a message's text.
#include <QLoggingCategory>

namespace vantrel {

Q_DECLARE_LOGGING_CATEGORY(lcReminders) // vantrel.reminders: rebuilds, each reminder raised
Q_DECLARE_LOGGING_CATEGORY(lcMail)      // vantrel.mail: each try and its outcome
Q_DECLARE_LOGGING_CATEGORY(lcData)      // vantrel.data: opening, recovery, upgrades
Q_DECLARE_LOGGING_CATEGORY(lcWake)      // vantrel.wake: each arm and stop
Q_DECLARE_LOGGING_CATEGORY(lcStartup)   // vantrel.startup: each step of the start and its time

// Notes one step of the start in vantrel.startup, with the milliseconds since the first step.
void startupStep(const char* what);

} // namespace vantrel
