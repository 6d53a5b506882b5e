#include "schedule/calendarrules.h"

#include "core/datetime.h"
#include "core/plantimes.h"
#include "data/database.h"

#include <QLocale>
#include <QSqlQuery>
#include <QUuid>
#include <algorithm>
#include <cmath>

namespace vantrel::calendar {

namespace {
bool chosen(const Plan& p, double day, double firstDay) {
    if (p.REPTYPE == QLatin1String("D")) return true;
    if (p.REPTYPE == QLatin1String("X")) {
        bool ok = false;
        const int x = p.REPDAYS.trimmed().toInt(&ok);
        if (!ok || x < 1) return false;
        const long long diff = static_cast<long long>(day - firstDay);
        return diff % x == 0;
    }
    if (p.REPTYPE == QLatin1String("W")) return p.REPDAYS.contains(QChar(u'0' + dt::dayOfWeek(day)));
    return false;
}
} // namespace

QList<Occurrence> occurrences(const Plan& p, double windowStart, int days) {
    if (unusableTimes(p.STARTTIME, p.REPEND) || !dt::usable(windowStart)) return {};
    const double w = std::floor(windowStart);
    const double last = w + days;
    // An end that is no date, or lies before the start, ends the item where it begins.
    const double end = dt::usable(p.ENDTIME) && p.ENDTIME >= p.STARTTIME ? p.ENDTIME : p.STARTTIME;
    if (p.REPTYPE == QLatin1String("N")) {
        if (w <= p.STARTTIME && p.STARTTIME < last) return {{p.STARTTIME, end}};
        return {};
    }
    if (p.REPTYPE != QLatin1String("D") && p.REPTYPE != QLatin1String("X") && p.REPTYPE != QLatin1String("W"))
        return {};
    if (p.STARTTIME > last) return {};
    const double firstDay = std::floor(p.STARTTIME);
    const int from = p.STARTTIME <= w ? 0 : static_cast<int>(firstDay - w);
    int to = days - 1;
    if (p.REPEND != 0) to = std::min(to, static_cast<int>(std::floor(p.REPEND) - w));
    const double timeOfDay = dt::timeOf(p.STARTTIME);
    const double length = end - p.STARTTIME;
    QList<Occurrence> out;
    for (int k = std::max(from, 0); k <= to; ++k) {
        const double day = w + k;
        if (!chosen(p, day, firstDay)) continue;
        const double start = dt::roundToSecond(day + timeOfDay);
        out.append({start, dt::roundToSecond(start + length)});
    }
    return out;
}

QString dayCaption(double day) {
    return QLocale::c().toString(dt::toQDateTime(std::floor(day)).date(),
                                 QStringLiteral("ddd, MMM dd, yyyy"));
}

} // namespace vantrel::calendar

namespace vantrel::calendar {

QList<PlannerRow> plannerRows(data::Database& db, int patientRef, double windowStart, const Filter& filter) {
    QList<PlannerRow> out;
    QSqlQuery& q = db.run(
        QStringLiteral(
            "SELECT p.STARTTIME, p.ENDTIME, p.REPTYPE, p.REPDAYS, p.REPEND, p.APPTTYPE, p.DRREF, p.MEDREF, "
            "d.FIRSTNAME, d.LASTNAME, d.DRREF IS NOT NULL, m.NAME "
            "FROM planlist p LEFT JOIN doctor d ON d.DRREF = p.DRREF LEFT JOIN medicine m ON m.MEDREF = "
            "p.MEDREF "
            "WHERE p.PATIENTREF = ? ORDER BY p.rowid"),
        {patientRef});
    while (q.next()) {
        const Plan plan{q.value(0).toDouble(), q.value(1).toDouble(), q.value(2).toString(),
                        q.value(3).toString(), q.value(4).toDouble()};
        const QString type = q.value(5).toString();
        if (type == QLatin1String("D") && !filter.appointments) continue;
        if (type == QLatin1String("M") && !filter.medicine) continue;
        QString subject;
        if (type == QLatin1String("M"))
            subject = q.value(11).toString();
        else if (q.value(10).toBool())
            subject =
                QStringLiteral("Dr. ") + q.value(8).toString() + QLatin1Char(' ') + q.value(9).toString();
        const unsigned colour = type == QLatin1String("M") ? kDoseColour : kAppointmentColour;
        for (const Occurrence& o : occurrences(plan, windowStart))
            out.append({{o.start, o.end, subject, colour}, type, q.value(6), q.value(7)});
    }
    q.finish();
    return out;
}

void writePlanner(data::Database& db, const QList<PlannerRow>& rows) {
    // A failure anywhere (a full disk above all) rolls the whole step back: the old items stay
    // as they were, and the caller shows the new ones from memory.
    db.transaction([&] {
        db.run(QStringLiteral("DELETE FROM drplanner")).finish();
        const QString insert =
            QStringLiteral("INSERT INTO drplanner (PLANNERKEY, STARTTIME, ENDTIME, SUBJECT, COLOR, "
                           "APPTTYPE, DRREF, MEDREF) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        for (const PlannerRow& r : rows)
            db.run(insert, {QUuid::createUuid().toString(QUuid::WithBraces).toUpper(), r.item.start,
                            r.item.end, r.item.subject, r.item.color, r.type, r.drRef, r.medRef})
                .finish();
    });
}

void rebuildPlanner(data::Database& db, int patientRef, double windowStart, const Filter& filter) {
    writePlanner(db, plannerRows(db, patientRef, windowStart, filter));
}

QList<Item> plannerItems(data::Database& db) {
    QList<Item> out;
    QSqlQuery& q =
        db.run(QStringLiteral("SELECT STARTTIME, ENDTIME, SUBJECT, COLOR FROM drplanner ORDER BY rowid"));
    while (q.next())
        out.append(
            {q.value(0).toDouble(), q.value(1).toDouble(), q.value(2).toString(), q.value(3).toUInt()});
    q.finish();
    return out;
}

} // namespace vantrel::calendar
