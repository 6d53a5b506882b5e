#pragma once
// One reminder as it comes due, a value that travels from the scheduler to the reminder window,
// the mail worker and the log: which plan, when the reminder fell due, when the appointment or
// dose itself is, for whom and for what, and the reminder's own setting.
#include "plans/plan.h"

#include <QString>

namespace vantrel {

struct ReminderOccurrence {
    int APPTID = -1;
    double due = 0;       // the reminder's moment
    double eventTime = 0; // the appointment or dose
    int PATIENTREF = -1;
    QString APPTTYPE; // "D" appointment, "M" dose
    QString personName;
    QString itemName; // the doctor's "First Last" or the medicine's name
    bool itemFound = false;
    plans::Reminder reminder;

    bool dose() const { return APPTTYPE == QLatin1String("M"); }
    // A few words that name it in a message or a log line.
    QString describe() const;
};

} // namespace vantrel
