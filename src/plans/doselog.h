#pragma once
// The dose log: what happened to each occurrence of a plan. One row per occurrence (its plan and
// the time of the appointment or dose), made when it comes due, with the name of the doctor or
// medicine copied so that the history outlives a rename or a removal. Every write is one row in
// one transaction; an answer given twice writes nothing the second time.
#include "plans/plan.h"
#include "plans/remindermemory.h"
#include "plans/reminderoccurrence.h"

#include <QList>
#include <QSet>
#include <QString>
#include <optional>
#include <utility>

namespace vantrel::data {
class Database;
}

namespace vantrel::plans {

// STATE: "R" raised and not answered, "T" taken (an appointment: attended), "S" skipped,
// "Z" snoozed, "M" not confirmed.
struct DoseLogRow {
    int LOGID = -1;
    int PATIENTREF = -1;
    int APPTID = -1;
    QString APPTTYPE;
    QString ITEMNAME;
    double EVENTTIME = 0;
    double RAISEDAT = 0;
    QString STATE;
    double ACTEDAT = 0;     // 0 while not answered
    double SNOOZEUNTIL = 0; // 0 when not snoozed
    QString NOTE;
};

// An occurrence not answered this long after its time is not confirmed.
constexpr double kUnconfirmedAfter = 0.5;

class DoseLog {
public:
    explicit DoseLog(data::Database& db) : m_db(db) {}

    std::optional<DoseLogRow> find(int apptId, double eventTime) const;
    std::optional<DoseLogRow> row(int logId) const;
    // The occurrence's row, made "R" (raised at `now`) when it has none yet; never a second one.
    DoseLogRow raise(const ReminderOccurrence& o, double now);
    // The row of an occurrence that came due while the program was not running: "M", raised
    // (found missed) at `now`; never a second one.
    DoseLogRow markMissed(const ReminderOccurrence& o, double now);
    // Answers an occurrence: "T" or "S" at `at`. A dose taken takes its pills off the count of
    // its person's medicine, in the same transaction. False, and nothing written, when it was
    // taken or skipped already.
    bool answer(int logId, QChar state, double at);
    // Sets the answer afterwards, from the history: "T" taken at `at`, or "S". Whatever it was
    // before; the pills follow (a dose taken takes them off, one no longer taken gives them
    // back). False when there is no such row.
    bool setAnswer(int logId, QChar state, double at);
    // Snoozed until `until`; the scheduler brings it back then.
    void snooze(int logId, double until, double at);
    // Raised again after its snooze: "R" once more.
    void raiseAgain(int logId, double at);
    void setNote(int logId, const QString& note);
    // Rows still "R" twelve hours after their time, or once their plan's next occurrence has
    // come, become "M". Returns how many did; `nextCheck` gets the next moment one of those
    // still "R" would (0 when none).
    int markUnconfirmed(const QList<Plan>& plans, double now, double* nextCheck = nullptr);

    // Rows by state; the snoozed ones and the raised ones are what the scheduler watches.
    QList<DoseLogRow> inState(QChar state) const;
    // The occurrences, APPTID and EVENTTIME, that have a row with EVENTTIME at or after `from`:
    // one read for a walk over many plans, in place of a look-up for each occurrence.
    QSet<std::pair<int, double>> loggedFrom(double from) const;
    // A profile's rows with EVENTTIME at or after `from` (and before `to`), newest first.
    QList<DoseLogRow> history(int patientRef, double from, double to) const;
    // How many rows a profile has.
    int rowsOf(int patientRef) const;

private:
    DoseLogRow insert(const ReminderOccurrence& o, double now, QChar state);
    // The pills of the row's dose, off the count (`sign` -1) or back on it (+1).
    void countPills(const DoseLogRow& r, int sign);
    QList<DoseLogRow> select(const QString& where, const QVariantList& values,
                             const QString& order = {}) const;
    data::Database& m_db;
};

// The scheduler's memory in the log: what has a row has been raised. The moment up to which all
// has been raised is kept for the run.
class DoseLogMemory : public ReminderMemory {
public:
    explicit DoseLogMemory(data::Database& db) : m_log(db) {}

    double doneUntil() const override { return m_doneUntil; }
    void setDoneUntil(double moment) override { m_doneUntil = moment; }
    bool wasRaised(const ReminderOccurrence& o) const override;
    void markRaised(const ReminderOccurrence& o) override;

private:
    DoseLog m_log;
    double m_doneUntil = 0;
};

} // namespace vantrel::plans
