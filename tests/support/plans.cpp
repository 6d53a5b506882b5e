#include "support/plans.h"

#include "data/table.h"

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

} // namespace vantrel::test
