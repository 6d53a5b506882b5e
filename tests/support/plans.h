#pragma once
// Writes plans with their reminder rows straight into the tables, as the wizards would.
#include "data/database.h"
#include "plans/reminderoccurrence.h"

#include <QString>

namespace vantrel::test {

struct PlanSpec {
    int patient = 1;
    QString type = QStringLiteral("M"); // "D" appointment, "M" dose
    int doctor = -1;
    int medicine = 1;
    double start = 0;
    QString repeat = QStringLiteral("N");
    QString days; // REPDAYS as written: interval or weekday digits
    double end = 0;
    QString notifType = QStringLiteral("P");
    int minutesBefore = 0;
    QString text = QStringLiteral("Take it");
    bool playAudio = false;
    QString audioFile;
};

// Returns the new plan's APPTID.
int addPlan(data::Database& db, const PlanSpec& p);
int addMedicine(data::Database& db, const QString& name);
int addDoctor(data::Database& db, const QString& first, const QString& last);
int addLink(data::Database& db, const char* table, int patient, int key, const QString& rxnum = {});

// A reminder for a window of its own, written as the tests think of it: the plan's kind and
// doctor or medicine, and the reminder's fields.
struct Popup {
    int APPTID = -1;
    QString APPTTYPE = QStringLiteral("D");
    int DRREF = -1;
    int MEDREF = -1;
    int NOTIFMIN = 0;
    QString NOTIFTEXT;
    bool PLAYAUDIO = false;
    QString AUDIOFILE;
    double eventTime = 0;
};
// The occurrence the scheduler would raise for it, the name of the doctor or medicine looked up
// in the tables (empty when there is no such row).
ReminderOccurrence occurrenceOf(data::Database& db, const Popup& p);

// Rows that point at a row that is gone (links, plans, reminder rows without their plan),
// each described in a line; empty when the tables hang together.
QStringList orphanRows(data::Database& db);
int count(data::Database& db, const QString& table);

} // namespace vantrel::test
