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
    double raisedAt = 0;      // when it was raised, 0 before
    double nextEventTime = 0; // the plan's next appointment or dose after this one, 0 when none
    int LOGID = -1;           // its row in the dose log, once it has one
    bool showPerson = false;  // the household has more than one person: the window names whom
    QString refillWarning;    // "Amoxicillin: 5 left, about 2 days. Time to refill."

    bool dose() const { return APPTTYPE == QLatin1String("M"); }
    // A few words that name it in a message or a log line.
    QString describe() const;
};

} // namespace vantrel
