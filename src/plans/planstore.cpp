#include "plans/planstore.h"

#include "data/database.h"
#include "data/removal.h"

#include <QSqlQuery>

namespace vantrel::plans {

namespace {

const QString kSelect = QStringLiteral(
    "SELECT p.APPTID, p.PATIENTREF, p.APPTTYPE, p.DRREF, p.MEDREF, p.STARTTIME, p.ENDTIME, p.REPTYPE, "
    "p.REPDAYS, p.REPEND, p.NOTIFREF, n.NOTIFREF, n.NOTIFTYPE, n.NOTIFMIN, n.NOTIFTEXT, n.PLAYAUDIO, "
    "n.AUDIOFILE, n.SENDEMAIL, n.EMAILFROM, n.EMAILTO, n.EMAILSUBJECT, n.EMAILMESSAGE, pt.NAME, "
    "d.FIRSTNAME, d.LASTNAME, d.DRREF IS NOT NULL, m.NAME, p.CHANGEDAT "
    "FROM planlist p LEFT JOIN notif n ON n.NOTIFREF = p.NOTIFREF "
    "LEFT JOIN patient pt ON pt.PATIENTREF = p.PATIENTREF LEFT JOIN doctor d ON d.DRREF = p.DRREF "
    "LEFT JOIN medicine m ON m.MEDREF = p.MEDREF");

Plan planFrom(const QSqlQuery& q) {
    Plan p;
    p.APPTID = q.value(0).toInt();
    p.PATIENTREF = q.value(1).toInt();
    p.APPTTYPE = q.value(2).toString();
    p.DRREF = q.value(3).isNull() ? -1 : q.value(3).toInt();
    p.MEDREF = q.value(4).isNull() ? -1 : q.value(4).toInt();
    p.STARTTIME = q.value(5).toDouble();
    p.ENDTIME = q.value(6).toDouble();
    p.REPTYPE = q.value(7).toString();
    p.REPDAYS = q.value(8);
    p.REPEND = q.value(9).toDouble();
    if (!q.value(10).isNull()) p.NOTIFREF = q.value(10).toInt();
    if (!q.value(11).isNull()) {
        Reminder r;
        r.NOTIFREF = q.value(11).toInt();
        r.NOTIFTYPE = q.value(12).toString();
        r.NOTIFMIN = q.value(13).toInt();
        r.NOTIFTEXT = q.value(14).toString();
        r.PLAYAUDIO = q.value(15).toBool();
        r.AUDIOFILE = q.value(16).toString();
        r.SENDEMAIL = q.value(17).toBool();
        r.EMAILFROM = q.value(18).toString();
        r.EMAILTO = q.value(19).toString();
        r.EMAILSUBJECT = q.value(20).toString();
        r.EMAILMESSAGE = q.value(21).toString();
        p.reminder = r;
    }
    p.personName = q.value(22).toString();
    p.itemFound = p.dose() ? !q.value(26).isNull() : q.value(25).toBool();
    p.itemName = p.dose() ? q.value(26).toString()
                          : q.value(23).toString() + QLatin1Char(' ') + q.value(24).toString();
    if (!p.itemFound) p.itemName.clear();
    p.CHANGEDAT = q.value(27).toDouble();
    return p;
}

} // namespace

QList<Plan> PlanStore::select(const QString& where, const QVariantList& values) const {
    QList<Plan> out;
    QSqlQuery& q = m_db.run(kSelect + where + QStringLiteral(" ORDER BY p.rowid"), values);
    while (q.next())
        out.append(planFrom(q));
    q.finish();
    return out;
}

std::optional<Plan> PlanStore::load(int apptId) const {
    const QList<Plan> found = select(QStringLiteral(" WHERE p.APPTID = ?"), {apptId});
    return found.isEmpty() ? std::nullopt : std::optional(found.first());
}

QList<Plan> PlanStore::loadAll(std::optional<int> patientRef) const {
    return patientRef ? select(QStringLiteral(" WHERE p.PATIENTREF = ?"), {*patientRef})
                      : select(QString(), {});
}

int PlanStore::save(Plan& p) {
    m_db.transaction([&] {
        // The reminder row is never changed in place: the old one goes, a new one comes.
        if (p.NOTIFREF)
            m_db.run(QStringLiteral("DELETE FROM notif WHERE NOTIFREF = ?"), {*p.NOTIFREF}).finish();
        const Reminder r = p.reminder.value_or(Reminder{});
        QSqlQuery& n = m_db.run(
            QStringLiteral(
                "INSERT INTO notif (NOTIFTYPE, NOTIFTEXT, PLAYAUDIO, AUDIOFILE, SENDEMAIL, EMAILFROM, "
                "EMAILTO, EMAILSUBJECT, EMAILMESSAGE, NOTIFMIN) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {r.NOTIFTYPE, r.NOTIFTEXT, r.PLAYAUDIO, r.AUDIOFILE, r.SENDEMAIL, r.EMAILFROM, r.EMAILTO,
             r.EMAILSUBJECT, r.EMAILMESSAGE, r.NOTIFMIN});
        const int notifRef = n.lastInsertId().toInt();
        n.finish();
        const QVariantList fields{p.PATIENTREF, p.APPTTYPE, p.DRREF,   p.MEDREF,
                                  p.STARTTIME,  p.ENDTIME,  p.REPTYPE, p.REPDAYS,
                                  p.REPEND,     notifRef,   p.CHANGEDAT > 0 ? QVariant(p.CHANGEDAT) : QVariant()};
        if (p.APPTID < 0) {
            QSqlQuery& q =
                m_db.run(QStringLiteral("INSERT INTO planlist (PATIENTREF, APPTTYPE, DRREF, MEDREF, "
                                        "STARTTIME, ENDTIME, REPTYPE, REPDAYS, REPEND, NOTIFREF, CHANGEDAT) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                         fields);
            p.APPTID = q.lastInsertId().toInt();
            q.finish();
        } else {
            m_db.run(QStringLiteral(
                         "UPDATE planlist SET PATIENTREF = ?, APPTTYPE = ?, DRREF = ?, MEDREF = ?, "
                         "STARTTIME = ?, ENDTIME = ?, REPTYPE = ?, REPDAYS = ?, REPEND = ?, NOTIFREF = ?, "
                         "CHANGEDAT = ? WHERE APPTID = ?"),
                     fields + QVariantList{p.APPTID})
                .finish();
        }
        p.NOTIFREF = notifRef;
        if (p.reminder) p.reminder->NOTIFREF = notifRef;
    });
    return p.APPTID;
}

void PlanStore::remove(int apptId) {
    data::removePlan(m_db, apptId);
}

} // namespace vantrel::plans
