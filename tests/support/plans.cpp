#include "support/plans.h"

#include "data/table.h"

#include <QSqlQuery>
#include <QStringList>

namespace vantrel::test {

int addPlan(data::Database& db, const PlanSpec& p) {
    int apptId = -1;
    db.transaction([&] {
        data::Table notif(db, QStringLiteral("notif"));
        notif.open();
        notif.append();
        notif.setValue("NOTIFTYPE", p.notifType);
        notif.setValue("NOTIFMIN", p.minutesBefore);
        notif.setValue("NOTIFTEXT", p.text);
        notif.setValue("PLAYAUDIO", p.playAudio);
        notif.setValue("AUDIOFILE", p.audioFile);
        notif.setValue("SENDEMAIL", p.notifType == "E" || p.notifType == "B");
        notif.post();
        data::Table plan(db, QStringLiteral("planlist"));
        plan.open();
        plan.append();
        plan.setValue("PATIENTREF", p.patient);
        plan.setValue("APPTTYPE", p.type);
        plan.setValue("DRREF", p.type == "D" ? p.doctor : -1);
        plan.setValue("MEDREF", p.type == "M" ? p.medicine : -1);
        plan.setValue("STARTTIME", p.start);
        plan.setValue("ENDTIME", p.start + 15.0 / 1440);
        plan.setValue("REPTYPE", p.repeat);
        if (!p.days.isEmpty()) plan.setValue("REPDAYS", p.days.toInt());
        plan.setValue("REPEND", p.end);
        plan.setValue("NOTIFREF", notif.integer("NOTIFREF"));
        plan.post();
        apptId = plan.integer("APPTID");
    });
    return apptId;
}

ReminderOccurrence occurrenceOf(data::Database& db, const Popup& p) {
    ReminderOccurrence o;
    o.APPTID = p.APPTID;
    o.APPTTYPE = p.APPTTYPE;
    o.eventTime = p.eventTime;
    o.due = p.eventTime - p.NOTIFMIN / 1440.0;
    o.reminder.NOTIFTYPE = QStringLiteral("P");
    o.reminder.NOTIFMIN = p.NOTIFMIN;
    o.reminder.NOTIFTEXT = p.NOTIFTEXT;
    o.reminder.PLAYAUDIO = p.PLAYAUDIO;
    o.reminder.AUDIOFILE = p.AUDIOFILE;
    const bool dose = p.APPTTYPE == QLatin1String("M");
    QSqlQuery& q =
        dose ? db.run(QStringLiteral("SELECT NAME FROM medicine WHERE MEDREF = ?"), {p.MEDREF})
             : db.run(QStringLiteral("SELECT FIRSTNAME || ' ' || LASTNAME FROM doctor WHERE DRREF = ?"),
                      {p.DRREF});
    o.itemFound = q.next();
    if (o.itemFound) o.itemName = q.value(0).toString();
    q.finish();
    return o;
}

int addMedicine(data::Database& db, const QString& name) {
    data::Table t(db, QStringLiteral("medicine"));
    t.open();
    t.append();
    t.setValue("NAME", name);
    t.post();
    return t.integer("MEDREF");
}

int addDoctor(data::Database& db, const QString& first, const QString& last) {
    data::Table t(db, QStringLiteral("doctor"));
    t.open();
    t.append();
    t.setValue("FIRSTNAME", first);
    t.setValue("LASTNAME", last);
    t.post();
    return t.integer("DRREF");
}

int addLink(data::Database& db, const char* table, int patient, int key, const QString& rxnum) {
    const bool doctor = QLatin1String(table) == QLatin1String("dlref");
    data::Table t(db, QString::fromLatin1(table));
    t.open();
    t.append();
    t.setValue("PATIENTREF", patient);
    t.setValue(doctor ? "DRREF" : "MEDREF", key);
    if (!doctor) t.setValue("rxnum", rxnum);
    t.post();
    return t.integer(doctor ? "DLREF" : "MLREF");
}

QStringList orphanRows(data::Database& db) {
    const QList<std::pair<const char*, const char*>> checks{
        {"dlref without its profile",
         "SELECT DLREF FROM dlref WHERE PATIENTREF NOT IN (SELECT PATIENTREF FROM patient)"},
        {"dlref without its doctor", "SELECT DLREF FROM dlref WHERE DRREF NOT IN (SELECT DRREF FROM doctor)"},
        {"mlref without its profile",
         "SELECT MLREF FROM mlref WHERE PATIENTREF NOT IN (SELECT PATIENTREF FROM patient)"},
        {"mlref without its medicine",
         "SELECT MLREF FROM mlref WHERE MEDREF NOT IN (SELECT MEDREF FROM medicine)"},
        {"plan without its profile",
         "SELECT APPTID FROM planlist WHERE PATIENTREF NOT IN (SELECT PATIENTREF FROM patient)"},
        {"appointment without its doctor link",
         "SELECT APPTID FROM planlist p WHERE APPTTYPE = 'D' AND NOT EXISTS "
         "(SELECT 1 FROM dlref l WHERE l.PATIENTREF = p.PATIENTREF AND l.DRREF = p.DRREF)"},
        {"dosing without its medicine link",
         "SELECT APPTID FROM planlist p WHERE APPTTYPE = 'M' AND NOT EXISTS "
         "(SELECT 1 FROM mlref l WHERE l.PATIENTREF = p.PATIENTREF AND l.MEDREF = p.MEDREF)"},
        {"plan without its reminder row",
         "SELECT APPTID FROM planlist WHERE NOTIFREF NOT IN (SELECT NOTIFREF FROM notif)"},
        {"reminder row without its plan",
         "SELECT NOTIFREF FROM notif WHERE NOTIFREF NOT IN (SELECT NOTIFREF FROM planlist)"},
        {"doctor nobody links", "SELECT DRREF FROM doctor WHERE DRREF NOT IN (SELECT DRREF FROM dlref)"},
        {"medicine nobody links",
         "SELECT MEDREF FROM medicine WHERE MEDREF NOT IN (SELECT MEDREF FROM mlref)"},
    };
    QStringList out;
    for (const auto& [what, sql] : checks) {
        QSqlQuery& q = db.run(QString::fromLatin1(sql));
        while (q.next())
            out << QStringLiteral("%1: %2").arg(QLatin1String(what), q.value(0).toString());
        q.finish();
    }
    return out;
}

int count(data::Database& db, const QString& table) {
    QSqlQuery& q = db.run(QStringLiteral("SELECT count(*) FROM ") + table);
    const int n = q.next() ? q.value(0).toInt() : -1;
    q.finish();
    return n;
}

} // namespace vantrel::test
