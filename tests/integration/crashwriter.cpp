// Test helper: writes into a data folder the way the program does, to be killed in the middle.
//
//   crashwriter DATADIR die-in-finish   a wizard's Finish (a reminder row and its plan, in two
//                                       files) that dies by SIGKILL before its commit, with the
//                                       changes already in the files and the journals hot
//   crashwriter DATADIR die-in-rebuild  a calendar rebuild that dies the same way
//   crashwriter DATADIR loop            Finishes, removals and calendar rebuilds in turn until
//                                       killed; prints "committed N" or "removed N" after each
//                                       commit of plan N, and "removing N" before a removal
//   crashwriter DATADIR answers         doses raised and answered (taken, skipped, snoozed
//                                       first) until killed; prints "ready" once set up, then
//                                       "answered LOGID STATE" after each answer's commit
//   crashwriter DATADIR check           opens the folder as the program does and prints the key
//                                       of every plan, one a line; exits 1 with the reason when
//                                       the opening fails
#include "base/errors.h"
#include "core/datetime.h"
#include "data/database.h"
#include "data/removal.h"
#include "plans/doselog.h"
#include "plans/planstore.h"
#include "schedule/calendarrules.h"
#include "schedule/planrules.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <csignal>
#include <cstdio>

using namespace vantrel;

namespace {

// A wizard's Finish: a plan with its reminder row, through the store as the wizards write it.
int finish(data::Database& db, int n) {
    plans::ReminderValues v;
    v.popupText = QStringLiteral("Dose %1 ").arg(n) + QString(200, QLatin1Char('x'));
    plans::Plan p;
    p.PATIENTREF = 1;
    p.APPTTYPE = QStringLiteral("M");
    p.MEDREF = 1;
    p.STARTTIME = dt::encode(2026, 12, 10, 8, 0) + n % 7;
    p.ENDTIME = p.STARTTIME + 15 * dt::kMinute;
    p.REPTYPE = QStringLiteral("D");
    p.reminder = plans::reminderFrom(v);
    return plans::PlanStore(db).save(p);
}

// The changes reach the files before the commit: a small cache spills them.
void spillEarly(data::Database& db) {
    for (const char* schema : {"main", "notif", "planlist", "drplanner"})
        db.run(QStringLiteral("PRAGMA %1.cache_size = 2").arg(QLatin1String(schema))).finish();
}

void seedProfile(data::Database& db) {
    QSqlQuery& q = db.run(QStringLiteral("SELECT count(*) FROM patient"));
    q.next();
    const bool empty = q.value(0).toInt() == 0;
    q.finish();
    if (!empty) return;
    db.run(QStringLiteral("INSERT INTO patient (NAME) VALUES ('Crash Test')")).finish();
    db.run(QStringLiteral("INSERT INTO medicine (NAME) VALUES ('Aspirin')")).finish();
    db.run(QStringLiteral("INSERT INTO mlref (PATIENTREF, MEDREF) VALUES (1, 1)")).finish();
}

// Doses of one plan, each raised and answered; the count of pills goes down with each one taken,
// in the answer's own transaction (two files, one commit).
[[noreturn]] void answerUntilKilled(data::Database& db) {
    QSqlQuery& q = db.run(QStringLiteral("SELECT min(APPTID) FROM planlist"));
    int plan = q.next() && !q.value(0).isNull() ? q.value(0).toInt() : -1;
    q.finish();
    if (plan < 0) plan = finish(db, 1);
    db.run(QStringLiteral("UPDATE mlref SET PILLSONHAND = 100000 WHERE PILLSONHAND IS NULL")).finish();
    for (const char* schema : {"doselog", "mlref"})
        db.run(QStringLiteral("PRAGMA %1.cache_size = 2").arg(QLatin1String(schema))).finish();
    plans::DoseLog log(db);
    QSqlQuery& rows = db.run(QStringLiteral("SELECT count(*) FROM doselog"));
    int n = rows.next() ? rows.value(0).toInt() : 0;
    rows.finish();
    std::printf("ready\n");
    std::fflush(stdout);
    const double first = dt::encode(2026, 12, 10, 8, 0);
    for (;; ++n) {
        ReminderOccurrence o;
        o.APPTID = plan;
        o.PATIENTREF = 1;
        o.APPTTYPE = QStringLiteral("M");
        o.itemName = QStringLiteral("Aspirin");
        o.eventTime = first + n * dt::kMinute;
        const plans::DoseLogRow row = log.raise(o, o.eventTime);
        if (n % 4 == 0) log.snooze(row.LOGID, o.eventTime + 10 * dt::kMinute, o.eventTime);
        const QChar state = n % 3 == 0 ? u'S' : u'T';
        if (log.answer(row.LOGID, state, o.eventTime + dt::kMinute))
            std::printf("answered %d %c\n", row.LOGID, state.toLatin1());
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: crashwriter DATADIR die-in-finish|die-in-rebuild|loop|answers|check\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QByteArray mode = argv[2];
    data::Database db(QStringLiteral("crash"));
    try {
        db.open(dir);
    } catch (const std::exception& e) {
        std::printf("cannot open: %s\n", e.what());
        return 1;
    }
    if (mode == "check") {
        QSqlQuery& q = db.run(QStringLiteral("SELECT APPTID FROM planlist ORDER BY APPTID"));
        while (q.next())
            std::printf("%d\n", q.value(0).toInt());
        q.finish();
        return 0;
    }
    seedProfile(db);
    const double today = dt::encode(2026, 12, 10);
    if (mode == "die-in-finish" || mode == "die-in-rebuild") {
        spillEarly(db);
        db.transaction([&] {
            if (mode == "die-in-finish") {
                for (int i = 0; i < 200; ++i)
                    db.run(QStringLiteral("INSERT INTO notif (NOTIFTYPE, NOTIFTEXT) VALUES ('P', ?)"),
                           {QString(100, QLatin1Char('n'))})
                        .finish();
                db.run(QStringLiteral(
                           "INSERT INTO planlist (PATIENTREF, APPTTYPE, STARTTIME, REPTYPE, NOTIFREF) "
                           "VALUES (1, 'M', ?, 'D', 1)"),
                       {today})
                    .finish();
            } else {
                for (int i = 0; i < 2000; ++i)
                    db.run(QStringLiteral("INSERT INTO drplanner (PLANNERKEY, SUBJECT) VALUES (?, ?)"),
                           {QString::number(i), QString(100, QLatin1Char('s'))})
                        .finish();
            }
            std::fflush(stdout);
            std::raise(SIGKILL);
        });
        return 3; // never reached
    }
    if (mode == "answers") {
        answerUntilKilled(db);
        return 3; // never reached
    }
    if (mode != "loop") return 2;
    QList<int> live;
    for (int n = 1;; ++n) {
        if (n % 5 == 0) {
            calendar::rebuildPlanner(db, 1, today, {});
        } else if (n % 7 == 0 && !live.isEmpty()) {
            const int gone = live.takeFirst();
            std::printf("removing %d\n", gone);
            std::fflush(stdout);
            data::removePlan(db, gone);
            std::printf("removed %d\n", gone);
        } else {
            const int id = finish(db, n);
            live << id;
            std::printf("committed %d\n", id);
        }
        std::fflush(stdout);
    }
}
