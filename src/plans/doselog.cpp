#include "plans/doselog.h"

#include "core/datetime.h"
#include "data/database.h"
#include "plans/occurrences.h"
#include "plans/pills.h"

#include <QSqlQuery>

namespace vantrel::plans {

namespace {

const QString kColumns = QStringLiteral(
    "LOGID, PATIENTREF, APPTID, APPTTYPE, ITEMNAME, EVENTTIME, RAISEDAT, STATE, ACTEDAT, SNOOZEUNTIL, NOTE");

DoseLogRow rowFrom(const QSqlQuery& q) {
    DoseLogRow r;
    r.LOGID = q.value(0).toInt();
    r.PATIENTREF = q.value(1).toInt();
    r.APPTID = q.value(2).toInt();
    r.APPTTYPE = q.value(3).toString();
    r.ITEMNAME = q.value(4).toString();
    r.EVENTTIME = q.value(5).toDouble();
    r.RAISEDAT = q.value(6).toDouble();
    r.STATE = q.value(7).toString();
    r.ACTEDAT = q.value(8).toDouble();
    r.SNOOZEUNTIL = q.value(9).toDouble();
    r.NOTE = q.value(10).toString();
    return r;
}

} // namespace

QList<DoseLogRow> DoseLog::select(const QString& where, const QVariantList& values,
                                  const QString& order) const {
    QList<DoseLogRow> out;
    QSqlQuery& q =
        m_db.run(QStringLiteral("SELECT %1 FROM doselog WHERE %2 %3").arg(kColumns, where, order), values);
    while (q.next())
        out << rowFrom(q);
    q.finish();
    return out;
}

std::optional<DoseLogRow> DoseLog::find(int apptId, double eventTime) const {
    const auto rows =
        select(QStringLiteral("APPTID = ? AND EVENTTIME = ?"), {apptId, dt::roundToSecond(eventTime)});
    return rows.isEmpty() ? std::nullopt : std::optional(rows.first());
}

std::optional<DoseLogRow> DoseLog::row(int logId) const {
    const auto rows = select(QStringLiteral("LOGID = ?"), {logId});
    return rows.isEmpty() ? std::nullopt : std::optional(rows.first());
}

DoseLogRow DoseLog::insert(const ReminderOccurrence& o, double now, QChar state) {
    const double event = dt::roundToSecond(o.eventTime);
    m_db.transaction([&] {
        m_db.run(QStringLiteral(
                     "INSERT OR IGNORE INTO doselog (PATIENTREF, APPTID, APPTTYPE, ITEMNAME, EVENTTIME, "
                     "RAISEDAT, STATE) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                 {o.PATIENTREF, o.APPTID, o.APPTTYPE, o.itemName, event, now, QString(state)})
            .finish();
    });
    return *find(o.APPTID, event);
}

DoseLogRow DoseLog::raise(const ReminderOccurrence& o, double now) {
    return insert(o, now, u'R');
}

DoseLogRow DoseLog::markMissed(const ReminderOccurrence& o, double now) {
    return insert(o, now, u'M');
}

bool DoseLog::answer(int logId, QChar state, double at) {
    bool written = false;
    m_db.transaction([&] {
        const auto r = row(logId);
        if (!r || r->STATE == QLatin1String("T") || r->STATE == QLatin1String("S")) return;
        m_db.run(QStringLiteral(
                     "UPDATE doselog SET STATE = ?, ACTEDAT = ?, SNOOZEUNTIL = NULL WHERE LOGID = ?"),
                 {QString(state), at, logId})
            .finish();
        if (state == u'T') countPills(*r, -1);
        written = true;
    });
    return written;
}

bool DoseLog::setAnswer(int logId, QChar state, double at) {
    bool written = false;
    m_db.transaction([&] {
        const auto r = row(logId);
        if (!r) return;
        m_db.run(QStringLiteral(
                     "UPDATE doselog SET STATE = ?, ACTEDAT = ?, SNOOZEUNTIL = NULL WHERE LOGID = ?"),
                 {QString(state), at, logId})
            .finish();
        const bool wasTaken = r->STATE == QLatin1String("T");
        if (state == u'T' && !wasTaken) countPills(*r, -1);
        if (state != u'T' && wasTaken) countPills(*r, +1);
        written = true;
    });
    return written;
}

// The dose's pills on the count of the person's medicine, where it is counted; never below none.
void DoseLog::countPills(const DoseLogRow& r, int sign) {
    if (r.APPTTYPE != QLatin1String("M")) return;
    m_db.run(QStringLiteral("UPDATE mlref SET PILLSONHAND = min(?, max(0, PILLSONHAND + ? * coalesce(PILLSPERDOSE, 1))) "
                            "WHERE PILLSONHAND IS NOT NULL AND PATIENTREF = ? AND MEDREF = "
                            "(SELECT MEDREF FROM planlist WHERE APPTID = ?)"),
             {kMostPills, sign, r.PATIENTREF, r.APPTID})
        .finish();
}

void DoseLog::snooze(int logId, double until, double at) {
    m_db.transaction([&] {
        m_db.run(QStringLiteral("UPDATE doselog SET STATE = 'Z', SNOOZEUNTIL = ?, ACTEDAT = ? "
                                "WHERE LOGID = ? AND STATE IN ('R', 'Z', 'M')"),
                 {until, at, logId})
            .finish();
    });
}

void DoseLog::raiseAgain(int logId, double at) {
    m_db.transaction([&] {
        m_db.run(QStringLiteral("UPDATE doselog SET STATE = 'R', SNOOZEUNTIL = NULL, RAISEDAT = ? "
                                "WHERE LOGID = ? AND STATE = 'Z'"),
                 {at, logId})
            .finish();
    });
}

void DoseLog::setNote(int logId, const QString& note) {
    m_db.transaction([&] {
        m_db.run(QStringLiteral("UPDATE doselog SET NOTE = ? WHERE LOGID = ?"), {note, logId}).finish();
    });
}

int DoseLog::markUnconfirmed(const QList<Plan>& plans, double now, double* nextCheck) {
    QHash<int, const Plan*> byId;
    for (const Plan& p : plans)
        byId.insert(p.APPTID, &p);
    int marked = 0;
    if (nextCheck) *nextCheck = 0;
    for (const DoseLogRow& r : inState(u'R')) {
        const Plan* plan = byId.value(r.APPTID);
        // Twelve hours after its time, or its plan's next occurrence has come.
        const bool late = r.EVENTTIME + kUnconfirmedAfter <= now;
        const auto following = plan ? firstOccurrenceFrom(*plan, r.EVENTTIME + dt::kSecond) : std::nullopt;
        const bool next = following && following->start <= now;
        if (!late && !next) {
            if (nextCheck) {
                double when = r.EVENTTIME + kUnconfirmedAfter;
                if (following) when = std::min(when, following->start);
                if (*nextCheck == 0 || when < *nextCheck) *nextCheck = when;
            }
            continue;
        }
        m_db.transaction([&] {
            m_db.run(QStringLiteral("UPDATE doselog SET STATE = 'M' WHERE LOGID = ? AND STATE = 'R'"),
                     {r.LOGID})
                .finish();
        });
        ++marked;
    }
    return marked;
}

QList<DoseLogRow> DoseLog::inState(QChar state) const {
    return select(QStringLiteral("STATE = ?"), {QString(state)}, QStringLiteral("ORDER BY EVENTTIME"));
}

QSet<std::pair<int, double>> DoseLog::loggedFrom(double from) const {
    QSet<std::pair<int, double>> out;
    QSqlQuery& q = m_db.run(QStringLiteral("SELECT APPTID, EVENTTIME FROM doselog WHERE EVENTTIME >= ?"), {from});
    while (q.next())
        out.insert({q.value(0).toInt(), q.value(1).toDouble()});
    q.finish();
    return out;
}

QList<DoseLogRow> DoseLog::history(int patientRef, double from, double to) const {
    return select(QStringLiteral("PATIENTREF = ? AND EVENTTIME >= ? AND EVENTTIME < ?"),
                  {patientRef, from, to}, QStringLiteral("ORDER BY EVENTTIME DESC, LOGID DESC"));
}

int DoseLog::rowsOf(int patientRef) const {
    QSqlQuery& q = m_db.run(QStringLiteral("SELECT count(*) FROM doselog WHERE PATIENTREF = ?"), {patientRef});
    const int n = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return n;
}

bool DoseLogMemory::wasRaised(const ReminderOccurrence& o) const {
    return m_log.find(o.APPTID, o.eventTime).has_value();
}

void DoseLogMemory::markRaised(const ReminderOccurrence& o) {
    m_log.raise(o, o.raisedAt);
}

} // namespace vantrel::plans
