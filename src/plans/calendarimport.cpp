#include "plans/calendarimport.h"

#include "data/database.h"
#include "plans/planstore.h"

#include <QSqlQuery>

namespace vantrel::plans {

namespace {

// The doctor's row is kept in fields of 15 and 20 letters: the first name is all but the
// last word, the last name that word.
std::pair<QString, QString> doctorName(const QString& whole) {
    const QString name = whole.simplified();
    const int space = name.lastIndexOf(QLatin1Char(' '));
    if (space < 0) return {QString(), name.left(20)};
    return {name.left(space).left(15), name.mid(space + 1).left(20)};
}

int insert(data::Database& db, const QString& sql, const QVariantList& values) {
    QSqlQuery& q = db.run(sql, values);
    const int key = q.lastInsertId().toInt();
    q.finish();
    return key;
}

// The key of the profile's doctor or medicine of that name, or -1.
int findItem(data::Database& db, const Plan& plan, int patientRef) {
    QSqlQuery& q =
        plan.dose()
            ? db.run(QStringLiteral("SELECT m.MEDREF FROM medicine m JOIN mlref l ON l.MEDREF = m.MEDREF "
                                    "WHERE l.PATIENTREF = ? AND m.NAME = ? ORDER BY m.MEDREF"),
                     {patientRef, plan.itemName})
            : db.run(QStringLiteral("SELECT d.DRREF FROM doctor d JOIN dlref l ON l.DRREF = d.DRREF "
                                    "WHERE l.PATIENTREF = ? AND TRIM(COALESCE(d.FIRSTNAME, '') || ' ' || "
                                    "COALESCE(d.LASTNAME, '')) = ? ORDER BY d.DRREF"),
                     {patientRef, plan.itemName.simplified()});
    const int key = q.next() ? q.value(0).toInt() : -1;
    q.finish();
    return key;
}

int addItem(data::Database& db, const Plan& plan, int patientRef) {
    if (plan.dose()) {
        const int med = insert(db, QStringLiteral("INSERT INTO medicine (NAME) VALUES (?)"), {plan.itemName});
        insert(db, QStringLiteral("INSERT INTO mlref (PATIENTREF, MEDREF) VALUES (?, ?)"), {patientRef, med});
        return med;
    }
    const auto [first, last] = doctorName(plan.itemName);
    const int dr = insert(db, QStringLiteral("INSERT INTO doctor (FIRSTNAME, LASTNAME) VALUES (?, ?)"), {first, last});
    insert(db, QStringLiteral("INSERT INTO dlref (PATIENTREF, DRREF) VALUES (?, ?)"), {patientRef, dr});
    return dr;
}

} // namespace

ImportReport importCalendar(data::Database& db, const ParsedCalendar& calendar, int patientRef, double now) {
    ImportReport report;
    for (const CalendarEvent& event : calendar.events) {
        if (!event.plan) {
            report.refused.append({event.summary, event.refusal});
            continue;
        }
        Plan plan = *event.plan;
        plan.APPTID = -1;
        plan.PATIENTREF = patientRef;
        plan.CHANGEDAT = now;
        bool added = false;
        db.transaction([&] {
            int key = findItem(db, plan, patientRef);
            if (key < 0) {
                key = addItem(db, plan, patientRef);
                added = true;
            }
            (plan.dose() ? plan.MEDREF : plan.DRREF) = key;
            PlanStore(db).save(plan);
        });
        ++report.written;
        if (added) ++(plan.dose() ? report.medicinesAdded : report.doctorsAdded);
    }
    return report;
}

QString reportText(const ImportReport& report) {
    QString out = report.written == 1 ? QStringLiteral("1 plan was imported.")
                                      : QStringLiteral("%1 plans were imported.").arg(report.written);
    if (report.doctorsAdded > 0 || report.medicinesAdded > 0)
        out += QStringLiteral(" Added to the profile: %1 doctor(s), %2 medicine(s).")
                   .arg(report.doctorsAdded)
                   .arg(report.medicinesAdded);
    if (!report.refused.isEmpty()) {
        out += QStringLiteral("\n%1 event(s) were not imported:").arg(report.refused.size());
        for (const auto& [summary, why] : report.refused)
            out += QStringLiteral("\n- %1: %2").arg(summary.isEmpty() ? QStringLiteral("(no summary)") : summary, why);
    }
    return out;
}

} // namespace vantrel::plans
