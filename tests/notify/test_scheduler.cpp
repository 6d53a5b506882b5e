// The scheduler against real tables, with a clock the test sets.
#include "core/datetime.h"
#include "data/maincursors.h"
#include "notify/scheduler.h"
#include "session/context.h"
#include "support/fakeclock.h"
#include "support/plans.h"
#include "support/testsupport.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <limits>

using namespace vantrel;
using test::PlanSpec;

namespace {

struct Raised {
    int apptId;
    double eventTime;
    QString kind; // "popup" or "mail"
};

class RecordingRaiser : public ReminderRaiser {
public:
    QList<Raised> raised;
    QList<int> unusable;
    void planUnusable(int apptId, const QString&) override { unusable << apptId; }
    void showPopup(const ReminderOccurrence& r) override { raised.append({r.APPTID, r.eventTime, "popup"}); }
    void SendRMail(const ReminderOccurrence& r) override { raised.append({r.reminder.NOTIFREF, 0, "mail"}); }
};

double at(int month, int day, int h, int m = 0, int s = 0) {
    return dt::encode(2026, month, day, h, m, s);
}

struct Rig {
    test::Sandbox box;
    Context ctx;
    FakeClock* clock;
    std::unique_ptr<data::MainCursors> cursors;
    RecordingRaiser raiser;
    std::unique_ptr<Scheduler> scheduler;

    Rig() {
        auto c = std::make_unique<FakeClock>();
        clock = c.get();
        ctx.clock = std::move(c);
        ctx.db.open(box.dataDir());
        cursors = std::make_unique<data::MainCursors>(ctx.db);
        cursors->openAll();
        scheduler = std::make_unique<Scheduler>(ctx, raiser);
    }
    int plan(PlanSpec p) { return test::addPlan(ctx.db, p); }
    void at(double v) { clock->setValue(v); }
    void tickAt(double v) {
        clock->setValue(v);
        scheduler->tick();
    }
    QList<int> raisedIds() const {
        QList<int> ids;
        for (const Raised& r : raiser.raised)
            ids << r.apptId;
        return ids;
    }
};

PlanSpec once(double start, int before = 0) {
    PlanSpec p;
    p.type = "D";
    p.doctor = 1;
    p.start = start;
    p.minutesBefore = before;
    return p;
}

PlanSpec repeating(const char* kind, double start, const char* days = "", double end = 0) {
    PlanSpec p;
    p.start = start;
    p.repeat = QString::fromLatin1(kind);
    p.days = QString::fromLatin1(days);
    p.end = end;
    return p;
}

} // namespace

class TestScheduler : public QObject {
    Q_OBJECT
private slots:
    // Plans whose times no rule can use are passed by, each named once a run; the plans after
    // them in the table are reminded on time, and the list never holds a time that is no number.
    void aHostileRowNeverStopsTheOtherReminders() {
        Rig r;
        r.at(at(1, 5, 9));
        const double inf = std::numeric_limits<double>::infinity();
        QList<int> hostile;
        for (const auto& [kind, start] : {std::pair{"W", 1e12}, std::pair{"W", 8e11}, std::pair{"W", inf},
                                          std::pair{"D", -inf}, std::pair{"X", -inf}, std::pair{"W", -inf}})
            hostile << r.plan(repeating(kind, start, kind == QByteArray("X") ? "3" : "246"));
        const int good = r.plan(once(at(1, 5, 9, 30)));
        r.scheduler->tick();
        QCOMPARE(r.scheduler->list().NotifCount(), 1);
        QCOMPARE(r.scheduler->firstPending(), at(1, 5, 9, 30));
        QCOMPARE(r.raiser.unusable, hostile);
        r.tickAt(at(1, 5, 9, 30, 1));
        QCOMPARE(r.raisedIds(), QList<int>({good}));
        r.ctx.NotifsLoaded = false;
        r.tickAt(at(1, 5, 9, 31));
        QCOMPARE(r.raiser.unusable, hostile); // named once
    }

    void anAppointmentIsRaisedOnceAtItsReminderTime() {
        Rig r;
        r.at(at(1, 5, 9));
        const int id = r.plan(once(at(1, 5, 10), 15));
        r.scheduler->tick(); // the first tick builds the list
        QCOMPARE(r.scheduler->list().NotifCount(), 1);
        QCOMPARE(r.scheduler->list()[0].NotifTime, at(1, 5, 9, 45));
        QCOMPARE(r.scheduler->firstPending(), at(1, 5, 9, 45));
        r.tickAt(at(1, 5, 9, 45)); // not yet: strictly later only
        QVERIFY(r.raiser.raised.isEmpty());
        r.tickAt(at(1, 5, 9, 45, 1));
        QCOMPARE(r.raisedIds(), QList<int>({id}));
        QCOMPARE(r.raiser.raised[0].eventTime, at(1, 5, 10));
        QCOMPARE(r.scheduler->list().NotifCount(), 0); // dropped by the rebuild
        r.tickAt(at(1, 5, 9, 46));
        QCOMPARE(r.raiser.raised.size(), 1);
    }

    void aReminderTimeAlreadyPastIsNeverRaised() {
        Rig r;
        r.at(at(1, 5, 9, 50));
        r.plan(once(at(1, 5, 10), 15));
        r.scheduler->tick();
        r.tickAt(at(1, 5, 11));
        QVERIFY(r.raiser.raised.isEmpty());
    }

    void aReminderEntersTheListWithinTwoDays() {
        Rig r;
        r.at(at(1, 5, 9));
        r.plan(once(at(1, 7, 10)));
        r.scheduler->tick();
        QCOMPARE(r.scheduler->list().NotifCount(), 0);
        r.at(at(1, 5, 10, 30));
        r.ctx.NotifsLoaded = false; // something changed the plans
        r.scheduler->tick();
        QCOMPARE(r.scheduler->list().NotifCount(), 1);
    }

    void remindersAtTheSameTimeRiseInOneTickLaterPlanFirst() {
        Rig r;
        r.at(at(1, 5, 9));
        const int a = r.plan(once(at(1, 5, 10)));
        const int b = r.plan(once(at(1, 5, 10)));
        r.scheduler->tick();
        r.tickAt(at(1, 5, 10, 0, 1));
        QCOMPARE(r.raisedIds(), QList<int>({b, a}));
    }

    void repeatingPlansMoveOnToTheirNextOccurrence() {
        Rig r;
        r.at(at(1, 5, 7)); // a Monday
        const int morning = r.plan(repeating("D", at(1, 1, 8)));
        const int evening = r.plan(repeating("D", at(1, 1, 20)));
        r.scheduler->tick();
        r.tickAt(at(1, 5, 8, 0, 1));
        QCOMPARE(r.raisedIds(), QList<int>({morning}));
        QCOMPARE(r.scheduler->list()[0].NotifTime, at(1, 5, 20)); // the evening dose stays today
        r.tickAt(at(1, 5, 20, 0, 1));
        QCOMPARE(r.raisedIds(), QList<int>({morning, evening}));
        QCOMPARE(r.scheduler->list()[0].NotifTime, at(1, 6, 8));
    }

    void anEndedPlanDoesNotStopThePlansAfterIt() {
        Rig r;
        r.at(at(1, 6, 10)); // a Tuesday
        r.plan(repeating("W", at(1, 1, 9), "246", at(1, 6, 0)));
        r.plan(repeating("X", at(1, 1, 9), "3", at(1, 6, 0)));
        const int later = r.plan(repeating("W", at(1, 1, 9), "246"));
        r.scheduler->tick();
        QCOMPARE(r.scheduler->list().NotifCount(), 1);
        QCOMPARE(r.scheduler->list()[0].APPTID, later);
        QCOMPARE(r.scheduler->list()[0].NotifTime, at(1, 7, 9)); // Wednesday
    }

    void twentyOneRemindersKeepTheEarliestTwenty() {
        Rig r;
        r.at(at(1, 5, 9));
        for (int i = 0; i < 21; ++i)
            r.plan(once(at(1, 5, 10, i)));
        r.scheduler->tick();
        QCOMPARE(r.scheduler->list().NotifCount(), 20);
        QCOMPARE(r.scheduler->list()[19].NotifTime, at(1, 5, 10, 19));
        // Once the first ones are raised, the 21st comes in at the rebuild.
        r.tickAt(at(1, 5, 10, 0, 30));
        QCOMPARE(r.scheduler->list()[19].NotifTime, at(1, 5, 10, 20));
    }

    void aDisabledSpellRaisesNothingAndThenRaisesLate() {
        Rig r;
        r.at(at(1, 5, 9));
        const int id = r.plan(once(at(1, 5, 10, 30)));
        r.scheduler->tick();
        r.ctx.settings.DisableNotifs = true;
        r.tickAt(at(1, 5, 10));
        r.tickAt(at(1, 5, 10, 45));
        QVERIFY(r.raiser.raised.isEmpty());
        r.ctx.settings.DisableNotifs = false;
        r.tickAt(at(1, 5, 11));
        QCOMPARE(r.raisedIds(), QList<int>({id}));
    }

    void aReminderThatCameDueDuringASleepIsRaisedAtTheFirstTickAfter() {
        Rig r;
        r.at(at(1, 5, 9));
        const int id = r.plan(once(at(1, 5, 9, 30)));
        r.scheduler->tick();
        r.tickAt(at(1, 5, 13)); // the computer slept from 9:05 to 13:00
        QCOMPARE(r.raisedIds(), QList<int>({id}));
        r.tickAt(at(1, 5, 13, 0, 1));
        QCOMPARE(r.raiser.raised.size(), 1);
    }

    void everyProfileIsReminded() {
        Rig r;
        r.ctx.CurrentPatientRef = 1;
        r.at(at(1, 5, 9));
        PlanSpec other = once(at(1, 5, 10));
        other.patient = 2;
        const int id = r.plan(other);
        r.scheduler->tick();
        r.tickAt(at(1, 5, 10, 1));
        QCOMPARE(r.raisedIds(), QList<int>({id}));
    }

    void theReminderTypeDecidesWhatIsRaised() {
        Rig r;
        r.at(at(1, 5, 9));
        for (const char* type : {"P", "E", "B", "N"}) {
            PlanSpec p = once(at(1, 5, 10));
            p.notifType = QString::fromLatin1(type);
            r.plan(p);
        }
        r.scheduler->tick();
        r.tickAt(at(1, 5, 10, 1));
        QStringList kinds;
        for (const Raised& x : r.raiser.raised)
            kinds << x.kind;
        // Later plans first: "B" gives both, "E" mail, "P" a pop-up; "N" was never listed.
        QCOMPARE(kinds, QStringList({"popup", "mail", "mail", "popup"}));
    }

    void aPlanWhoseRowsVanishedRaisesNothing() {
        Rig r;
        r.at(at(1, 5, 9));
        r.plan(once(at(1, 5, 10)));
        r.scheduler->tick();
        r.ctx.db.run("DELETE FROM notif");
        r.tickAt(at(1, 5, 10, 1));
        QVERIFY(r.raiser.raised.isEmpty());
        QCOMPARE(r.scheduler->list().NotifCount(), 0);
    }

    // The computer runs all week with one appointment entered for next week: the list goes out
    // of date as the clock passes what it covered, so the appointment comes on time.
    void aLoneAppointmentDaysAheadIsRaisedOnTimeWhileTheProgramRuns() {
        Rig r;
        r.at(at(1, 5, 9));
        const int id = r.plan(once(at(1, 8, 10), 15)); // three days ahead
        r.scheduler->tick();
        QCOMPARE(r.scheduler->list().NotifCount(), 0);
        const int rebuildsBefore = r.scheduler->rebuildCount();
        double now = at(1, 5, 9);
        while (now < at(1, 8, 9, 44)) {
            now += 30 * dt::kSecond;
            r.tickAt(now);
        }
        QVERIFY(r.raiser.raised.isEmpty());
        // About one rebuild an hour over the three days, not one a tick.
        const int rebuilds = r.scheduler->rebuildCount() - rebuildsBefore;
        QVERIFY2(rebuilds >= 70 && rebuilds <= 75, qPrintable(QString::number(rebuilds)));
        r.tickAt(at(1, 8, 9, 45, 1));
        QCOMPARE(r.raisedIds(), QList<int>({id}));
        QCOMPARE(r.raiser.raised[0].eventTime, at(1, 8, 10));
        r.tickAt(at(1, 8, 9, 45, 31));
        QCOMPARE(r.raiser.raised.size(), 1);
    }

    void aClockJumpRebuildsAtOnceAndNeverRaisesTwice() {
        Rig r;
        r.at(at(1, 5, 9));
        const int id = r.plan(once(at(1, 7, 10))); // beyond the look-ahead
        r.scheduler->tick();
        QCOMPARE(r.scheduler->list().NotifCount(), 0);
        // The clock is set forward by a day: the list follows at the next tick.
        r.tickAt(at(1, 6, 9, 0, 1));
        QCOMPARE(r.scheduler->list().NotifCount(), 1);
        r.tickAt(at(1, 7, 10, 0, 1));
        QCOMPARE(r.raisedIds(), QList<int>({id}));
        // Set back by an hour, the clock passes the same moment again: raised once all the same.
        r.tickAt(at(1, 7, 9, 30));
        for (int s = 1; s <= 120; ++s)
            r.tickAt(at(1, 7, 9, 30) + s * 30 * dt::kSecond);
        QCOMPARE(r.raiser.raised.size(), 1);
    }

    // A table locked by another program makes the ticks fail; the doses due meanwhile, and the
    // one whose raising failed, come late, once each, when the table is free again.
    void dosesDueDuringALockedTableAreRaisedLateOnceEach() {
        Rig r;
        r.at(at(1, 5, 8, 58));
        const int first = r.plan(repeating("D", at(1, 1, 9)));
        const int second = r.plan(repeating("D", at(1, 1, 9, 5)));
        const int third = r.plan(repeating("D", at(1, 1, 9, 10)));
        r.scheduler->tick();
        QCOMPARE(r.scheduler->list().NotifCount(), 3);

        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "locker");
        other.setDatabaseName(r.box.dataDir() + "/planlist.DAT");
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
        int failures = 0;
        for (double t : {at(1, 5, 9, 0, 1), at(1, 5, 9, 6), at(1, 5, 9, 11)}) {
            r.at(t);
            try {
                r.scheduler->tick();
            } catch (const std::exception&) {
                ++failures;
            }
        }
        QCOMPARE(failures, 3);
        QVERIFY(r.raiser.raised.isEmpty());
        QVERIFY(lock.exec("COMMIT"));
        lock.finish();
        other.close();
        r.tickAt(at(1, 5, 9, 12));
        QCOMPARE(r.raisedIds(), QList<int>({first, second, third}));
        r.tickAt(at(1, 5, 9, 12, 1));
        r.tickAt(at(1, 5, 9, 13));
        QCOMPARE(r.raiser.raised.size(), 3);
        QCOMPARE(r.scheduler->list()[0].NotifTime, at(1, 6, 9));
    }

    // A weekly or every-X-days dose shortly after midnight is reminded the evening before.
    void aDoseAfterMidnightIsRemindedTheEveningBefore() {
        Rig r;
        r.at(at(1, 5, 12));                                     // a Monday
        PlanSpec weekly = repeating("W", at(1, 7, 0, 30), "4"); // Wednesdays at 00:30
        weekly.minutesBefore = 60;
        const int id = r.plan(weekly);
        r.scheduler->tick();
        QCOMPARE(r.scheduler->list()[0].NotifTime, at(1, 6, 23, 30)); // Tuesday evening
        r.tickAt(at(1, 6, 23, 30, 1));
        QCOMPARE(r.raisedIds(), QList<int>({id}));
        QCOMPARE(r.raiser.raised[0].eventTime, at(1, 7, 0, 30));
        QCOMPARE(r.scheduler->list()[0].NotifTime, at(1, 13, 23, 30));
    }

    void aQuietTickTouchesNoTable() {
        Rig r;
        r.at(at(1, 5, 9));
        r.plan(once(at(1, 5, 10)));
        r.scheduler->tick();
        const quint64 before = r.ctx.db.statementCount();
        for (int s = 1; s < 100; ++s)
            r.tickAt(at(1, 5, 9, 0, s));
        QCOMPARE(r.ctx.db.statementCount(), before);
        r.ctx.NotifsLoaded = false;
        r.scheduler->tick();
        QVERIFY(r.ctx.db.statementCount() > before);
    }
};

QTEST_GUILESS_MAIN(TestScheduler)
#include "test_scheduler.moc"
