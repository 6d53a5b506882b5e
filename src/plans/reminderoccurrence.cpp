#include "plans/reminderoccurrence.h"

#include "core/datetime.h"

namespace vantrel {

QString ReminderOccurrence::describe() const {
    const QString what = dose() ? QStringLiteral("the dose of %1").arg(itemName)
                                : QStringLiteral("the appointment with Dr. %1").arg(itemName);
    return QStringLiteral("%1 for %2 at %3").arg(what, personName, dt::formatDateTime(eventTime));
}

} // namespace vantrel
