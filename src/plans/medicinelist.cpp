#include "plans/medicinelist.h"

#include "core/datetime.h"
#include "data/database.h"
#include "data/profiles.h"
#include "plans/doselog.h"
#include "plans/history.h"
#include "plans/occurrences.h"
#include "plans/pills.h"
#include "plans/planstore.h"

#include <QSqlQuery>
#include <algorithm>

namespace vantrel::plans {

namespace {

QString joined(const QStringList& parts, const QString& by) {
    QStringList kept;
    for (const QString& p : parts)
        if (!p.trimmed().isEmpty()) kept << p.trimmed();
    return kept.join(by);
}

ListSection doctors(data::Database& db, int patientRef) {
    ListSection s{QStringLiteral("Doctors"), {}, QStringLiteral("No doctors.")};
    QSqlQuery& q = db.run(
        QStringLiteral("SELECT d.FIRSTNAME, d.MINITIAL, d.LASTNAME, d.SPECIALTY, d.POFFICE, d.PMOBILE, d.PHOME, "
                       "d.PFAX FROM doctor d JOIN dlref l ON l.DRREF = d.DRREF WHERE l.PATIENTREF = ? "
                       "ORDER BY d.LASTNAME, d.FIRSTNAME, d.DRREF"),
        {patientRef});
    while (q.next()) {
        const QString initial = q.value(1).toString().trimmed();
        const QString name =
            joined({q.value(0).toString(), initial.isEmpty() ? QString() : initial + QLatin1Char('.'), q.value(2).toString()},
                   QStringLiteral(" "));
        const QString specialty = q.value(3).toString().trimmed();
        s.lines.append({QStringLiteral("Dr. ") + name + (specialty.isEmpty() ? QString() : QStringLiteral(", ") + specialty)});
        QStringList phones;
        const char* labels[] = {"Office", "Mobile", "Home", "Fax"};
        for (int i = 0; i < 4; ++i) {
            const QString phone = q.value(4 + i).toString().trimmed();
            if (!phone.isEmpty()) phones << QStringLiteral("%1: %2").arg(QString::fromLatin1(labels[i]), phone);
        }
        if (!phones.isEmpty()) s.lines.append({phones.join(QStringLiteral("   ")), 1});
    }
    q.finish();
    return s;
}

ListSection medicines(data::Database& db, int patientRef, const QList<Plan>& plans) {
    ListSection s{QStringLiteral("Medicines"), {}, QStringLiteral("No medicines.")};
    QSqlQuery& q = db.run(QStringLiteral("SELECT m.MEDREF, m.NAME, l.rxnum, m.ACTIVEIN FROM medicine m JOIN mlref l "
                                         "ON l.MEDREF = m.MEDREF WHERE l.PATIENTREF = ? ORDER BY m.NAME, m.MEDREF"),
                          {patientRef});
    struct Row {
        int medRef;
        QString name, rx, active;
    };
    QList<Row> rows;
    while (q.next())
        rows.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString().trimmed(),
                     q.value(3).toString().trimmed()});
    q.finish();
    for (const Row& r : rows) {
        QString line = r.name;
        if (!r.active.isEmpty()) line += QStringLiteral(" (%1)").arg(r.active);
        line += r.rx.isEmpty() ? QStringLiteral(", no prescription number") : QStringLiteral(", Rx %1").arg(r.rx);
        s.lines.append({line});
        bool dosed = false;
        for (const Plan& p : plans) {
            if (!p.dose() || p.MEDREF != r.medRef) continue;
            s.lines.append({scheduleWithTime(p), 1});
            dosed = true;
        }
        if (!dosed) s.lines.append({QStringLiteral("No dosing"), 1});
        if (const auto count = pillCount(db, patientRef, r.medRef))
            s.lines.append({QStringLiteral("On hand: ") + onHandText(*count), 1});
    }
    return s;
}

ListSection appointments(const QList<Plan>& plans, double now) {
    ListSection s{QStringLiteral("Appointments in the next %1 days").arg(kListDaysAhead), {},
                  QStringLiteral("No appointments.")};
    struct Item {
        double at;
        QString what;
    };
    QList<Item> items;
    for (const Plan& p : plans) {
        if (p.dose()) continue;
        const QString who = p.itemFound ? QStringLiteral("Dr. ") + p.itemName : QStringLiteral("A doctor no longer listed");
        for (const Occurrence& o : occurrences(p, now, now + kListDaysAhead))
            items.append({o.start, who});
    }
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.at < b.at; });
    for (const Item& i : items)
        s.lines.append({QStringLiteral("%1  %2  %3")
                            .arg(dt::formatDate(i.at),
                                 QLocale::c().toString(dt::toQDateTime(i.at).time(), QStringLiteral("h:mm AP")), i.what)});
    return s;
}

ListSection taken(data::Database& db, int patientRef, double now) {
    ListSection s{QStringLiteral("Doses taken in the last %1 days").arg(kListDaysBack), {},
                  QStringLiteral("No doses came due.")};
    QList<DoseLogRow> rows = DoseLog(db).history(patientRef, now - kListDaysBack, now);
    rows.erase(std::remove_if(rows.begin(), rows.end(), [](const DoseLogRow& r) { return r.APPTTYPE != QLatin1String("M"); }),
               rows.end());
    for (const Adherence& a : adherence(rows))
        s.lines.append({adherenceLine(a, kListDaysBack)});
    return s;
}

} // namespace

MedicineList medicineList(data::Database& db, int patientRef, double now) {
    MedicineList list;
    list.person = data::profileName(db, patientRef);
    list.printedOn = QStringLiteral("Printed on ") + dt::formatDate(now);
    const QList<Plan> plans = PlanStore(db).loadAll(patientRef);
    list.sections = {doctors(db, patientRef), medicines(db, patientRef, plans), appointments(plans, now),
                     taken(db, patientRef, now)};
    return list;
}

QStringList listLines(const MedicineList& list) {
    QStringList out{QStringLiteral("Medicine list of ") + list.person, list.printedOn};
    for (const ListSection& s : list.sections) {
        out << QString() << s.heading;
        if (s.lines.isEmpty()) out << QStringLiteral("  ") + s.empty;
        for (const ListLine& l : s.lines)
            out << QString(2 + 4 * l.indent, QLatin1Char(' ')) + l.text;
    }
    return out;
}

} // namespace vantrel::plans
