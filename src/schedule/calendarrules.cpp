#include "schedule/calendarrules.h"

#include "core/datetime.h"
#include "data/database.h"
#include "plans/occurrences.h"
#include "plans/planstore.h"

#include <QLocale>
#include <QSqlQuery>
#include <QUuid>
#include <algorithm>
#include <cmath>

namespace vantrel::calendar {

QString dayCaption(double day) {
    return QLocale::c().toString(dt::toQDateTime(std::floor(day)).date(),
                                 QStringLiteral("ddd, MMM dd, yyyy"));
}

} // namespace vantrel::calendar

namespace vantrel::calendar {

QList<PlannerRow> plannerRows(data::Database& db, int patientRef, double windowStart, const Filter& filter) {
    QList<PlannerRow> out;
    const double window = std::floor(windowStart);
    for (const plans::Plan& plan : plans::PlanStore(db).loadAll(patientRef)) {
        if (plan.APPTTYPE == QLatin1String("D") && !filter.appointments) continue;
        if (plan.APPTTYPE == QLatin1String("M") && !filter.medicine) continue;
        const unsigned colour = plan.dose() ? kDoseColour : kAppointmentColour;
        for (const plans::Occurrence& o : plans::occurrences(plan, window, window + kWindowDays))
            out.append({{o.start, o.end, plan.subject(), colour}, plan.APPTTYPE, plan.DRREF, plan.MEDREF});
    }
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
