#pragma once
// A plan as a value: one planlist row (an appointment or a dosing schedule) with the notif row
// it points to. The fields carry the tables' names; what the store reads with it (the names of
// the person and of the doctor or medicine) travels along for whoever shows it.
#include <QString>
#include <QVariant>
#include <optional>

namespace vantrel::plans {

// The reminder setting of a plan, one notif row.
struct Reminder {
    int NOTIFREF = -1;
    QString NOTIFTYPE = QStringLiteral("N"); // "N" none, "P" pop-up, "E" e-mail, "B" both
    int NOTIFMIN = 0;                        // minutes before the plan's time
    QString NOTIFTEXT;
    bool PLAYAUDIO = false;
    QString AUDIOFILE;
    bool SENDEMAIL = false;
    QString EMAILFROM, EMAILTO, EMAILSUBJECT, EMAILMESSAGE;

    bool popup() const { return NOTIFTYPE == QLatin1String("P") || NOTIFTYPE == QLatin1String("B"); }
    bool mail() const { return NOTIFTYPE == QLatin1String("E") || NOTIFTYPE == QLatin1String("B"); }
};

struct Plan {
    int APPTID = -1; // -1 until the store has written it
    int PATIENTREF = -1;
    QString APPTTYPE; // "D" appointment, "M" dose
    int DRREF = -1;
    int MEDREF = -1;
    double STARTTIME = 0;
    double ENDTIME = 0;
    QString REPTYPE = QStringLiteral("N"); // "N" once, "D" daily, "X" every REPDAYS days, "W" weekly
    QVariant REPDAYS;                      // the interval, or the weekday digits; null where unused
    double REPEND = 0;                     // the last day; 0 for no end
    double CHANGEDAT = 0;                  // when it was last written; 0 when not known
    std::optional<int> NOTIFREF;           // null in a row that never had a reminder
    std::optional<Reminder> reminder;      // nothing when the row it points to is gone

    // Read with the plan, never written: for the reminder window, the e-mail and the lists.
    QString personName;
    QString itemName;       // the doctor's "First Last", or the medicine's name
    bool itemFound = false; // the doctor's or medicine's row is there

    bool dose() const { return APPTTYPE == QLatin1String("M"); }
    // What the calendar writes on it: the medicine's name, or "Dr. " and the doctor's; empty when
    // that row is gone.
    QString subject() const {
        if (!itemFound) return QString();
        return dose() ? itemName : QStringLiteral("Dr. ") + itemName;
    }
    // The weekday digits or the interval as text, as the rules read them.
    QString repeatDays() const { return REPDAYS.isNull() ? QString() : REPDAYS.toString(); }
};

} // namespace vantrel::plans
