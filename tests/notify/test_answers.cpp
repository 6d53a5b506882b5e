// The dose log behind the scheduler: one row per occurrence, answers written once, snoozes that
// come back, reminders again until an answer, what was never answered, and pills on hand.
#include "core/datetime.h"
#include "data/removal.h"
#include "plans/pills.h"
#include "support/logrun.h"
#include "support/plans.h"

#include <QSqlQuery>
#include <QtTest>

using namespace vantrel;
using plans::DoseLog;
using plans::DoseLogRow;
using test::PlanSpec;

using test::Household;
using test::Run;

namespace {

double at(int day, int h, int m = 0, int s = 0) {
    return test::march(day, h, m, s);
}

} // namespace

class TestAnswers : public QObject {
    Q_OBJECT
private slots:
    // Raised, started again, the clock set back, the medicine renamed: still one row, with the
    // name it had when it came due.
    void eachOccurrenceHasOneRowWhateverRaisesItAgain() {
        Household h;
        {
            Run r(h.box.dataDir(), at(2, 7, 59));
            r.tickAt(at(2, 7, 59, 30));
            r.tickAt(at(2, 8, 0, 1));
            QCOMPARE(r.popups.shownAt.size(), 1);
            const DoseLogRow row = r.only();
            QCOMPARE(row.STATE, QStringLiteral("R"));
            QCOMPARE(row.APPTTYPE, QStringLiteral("M"));
            QCOMPARE(row.ITEMNAME, QStringLiteral("Amoxicillin"));
            QCOMPARE(row.EVENTTIME, at(2, 8));
            QCOMPARE(r.popups.logIds, QList<int>({row.LOGID}));
            QVERIFY(r.log->answer(row.LOGID, u'T', at(2, 8, 1)));
            r.ctx.db.run(QStringLiteral("UPDATE medicine SET NAME = 'Amoxicillin 500'"));
        }
        Run again(h.box.dataDir(), at(2, 7, 50)); // started again with the clock set back
        again.tickAt(at(2, 7, 55));
        again.minuteTicksUntil(at(2, 8, 10));
        QVERIFY(again.popups.shownAt.isEmpty());
        const DoseLogRow row = again.only();
        QCOMPARE(row.STATE, QStringLiteral("T"));
        QCOMPARE(row.ITEMNAME, QStringLiteral("Amoxicillin"));
    }

    // Taken or skipped once: a second answer (another window of the same occurrence) writes
    // nothing, and the pills go off the count once, never below nothing.
    void anAnswerIsWrittenOnceAndTakesItsPillsOff() {
        Household h;
        h.count(3, 2);
        Run r(h.box.dataDir(), at(2, 7, 59));
        r.tickAt(at(2, 8, 0, 1));
        const int first = r.only().LOGID;
        QVERIFY(r.log->answer(first, u'T', at(2, 8, 2)));
        QVERIFY(!r.log->answer(first, u'T', at(2, 8, 3)));
        QVERIFY(!r.log->answer(first, u'S', at(2, 8, 4)));
        QCOMPARE(r.log->row(first)->STATE, QStringLiteral("T"));
        QCOMPARE(r.log->row(first)->ACTEDAT, at(2, 8, 2));
        QCOMPARE(r.pillsOnHand(h.medicine), 1);
        r.tickAt(at(3, 8, 0, 1));
        const int second = r.log->inState(u'R').first().LOGID;
        QVERIFY(r.log->answer(second, u'T', at(3, 8, 1)));
        QCOMPARE(r.pillsOnHand(h.medicine), 0);
        r.tickAt(at(4, 8, 0, 1));
        QVERIFY(r.log->answer(r.log->inState(u'R').first().LOGID, u'S', at(4, 8, 1)));
        QCOMPARE(r.pillsOnHand(h.medicine), 0);
    }

    void aMedicineNotCountedStaysNotCounted() {
        Household h;
        Run r(h.box.dataDir(), at(2, 7, 59));
        r.tickAt(at(2, 8, 0, 1));
        QVERIFY(r.log->answer(r.only().LOGID, u'T', at(2, 8, 1)));
        QCOMPARE(r.pillsOnHand(h.medicine), std::nullopt);
        QCOMPARE(plans::pillCount(r.ctx.db, 1, h.medicine), std::nullopt);
    }

    // A plan without a reminder still has its row, made at the dose's own time, and no window.
    void aPlanWithoutAReminderIsLoggedAtItsTime() {
        Household h(QStringLiteral("N"));
        Run r(h.box.dataDir(), at(2, 7, 59));
        r.tickAt(at(2, 7, 59, 59));
        QVERIFY(r.rows().isEmpty());
        r.minuteTicksUntil(at(2, 8, 1));
        QVERIFY(r.popups.shownAt.isEmpty());
        QCOMPARE(r.only().STATE, QStringLiteral("R"));
    }

    // Not answered in twelve hours, or by the plan's next occurrence: "M". Answered: never "M".
    void notAnsweredInTimeIsNotConfirmed() {
        Household h;
        Run r(h.box.dataDir(), at(2, 7, 59));
        r.tickAt(at(2, 8, 0, 1));
        r.tickAt(at(2, 19, 59, 59));
        QCOMPARE(r.only().STATE, QStringLiteral("R"));
        r.tickAt(at(2, 20, 0, 1));
        QCOMPARE(r.only().STATE, QStringLiteral("M"));

        // The plan moved to an hour later: its next occurrence comes before the twelve hours.
        r.tickAt(at(3, 8, 0, 1));
        r.ctx.db.run(QStringLiteral("UPDATE planlist SET STARTTIME = ?"), {at(2, 9)});
        r.ctx.NotifsLoaded = false;
        r.tickAt(at(3, 8, 30));
        QCOMPARE(r.log->find(h.plan, at(3, 8))->STATE, QStringLiteral("R"));
        r.tickAt(at(3, 9, 0, 1));
        QCOMPARE(r.log->find(h.plan, at(3, 8))->STATE, QStringLiteral("M"));
        QVERIFY(r.log->answer(r.log->find(h.plan, at(3, 9))->LOGID, u'S', at(3, 9, 1)));
        r.tickAt(at(4, 0));
        QCOMPARE(r.log->find(h.plan, at(3, 9))->STATE, QStringLiteral("S"));
    }

    // A snooze brings the window back when it ends; one that ended while the program was off
    // comes at the start.
    void aSnoozeComesBackWhenItEndsAlsoAfterARestart() {
        Household h;
        {
            Run r(h.box.dataDir(), at(2, 7, 59));
            r.tickAt(at(2, 8, 0, 1));
            const int id = r.only().LOGID;
            r.log->snooze(id, at(2, 8, 10), at(2, 8, 0, 5));
            r.scheduler->snoozed(at(2, 8, 10));
            QCOMPARE(r.only().STATE, QStringLiteral("Z"));
            r.tickAt(at(2, 8, 9, 59));
            QCOMPARE(r.popups.shownAt.size(), 1);
            r.tickAt(at(2, 8, 10));
            QCOMPARE(r.popups.shownAt, QList<double>({at(2, 8, 0, 1), at(2, 8, 10)}));
            QCOMPARE(r.popups.logIds.last(), id);
            QCOMPARE(r.only().STATE, QStringLiteral("R"));
            r.log->snooze(id, at(2, 8, 30), at(2, 8, 11));
        }
        Run later(h.box.dataDir(), at(2, 9, 15));
        later.tickAt(at(2, 9, 15));
        QCOMPARE(later.popups.shownAt, QList<double>({at(2, 9, 15)}));
        QCOMPARE(later.only().STATE, QStringLiteral("R"));
        later.minuteTicksUntil(at(2, 10));
        QCOMPARE(later.popups.shownAt.size(), 1);
    }

    // Reminded again every ten minutes, three times at most; an answer stops it; repeats that
    // fell due while the program was off count as done.
    void remindedAgainUntilAnsweredAtMostSoOften() {
        Household h;
        const auto remindAgain = [](Run& r) {
            r.ctx.settings.RemindAgain = true;
            r.ctx.settings.RemindAgainMinutes = 10;
            r.ctx.settings.RemindAgainTimes = 3;
        };
        {
            Run r(h.box.dataDir(), at(2, 7, 59));
            remindAgain(r);
            r.tickAt(at(2, 8, 0, 1));
            r.minuteTicksUntil(at(2, 9, 30));
            QCOMPARE(r.popups.shownAt, QList<double>({at(2, 8, 0, 1), at(2, 8, 10, 1), at(2, 8, 20, 1),
                                                       at(2, 8, 30, 1)}));
            QCOMPARE(r.only().STATE, QStringLiteral("R"));

            r.popups.shownAt.clear();
            r.tickAt(at(3, 8, 0, 1));
            r.minuteTicksUntil(at(3, 8, 15));
            QVERIFY(r.log->answer(r.log->find(h.plan, at(3, 8))->LOGID, u'T', at(3, 8, 15)));
            r.minuteTicksUntil(at(3, 9));
            QCOMPARE(r.popups.shownAt, QList<double>({at(3, 8, 0, 1), at(3, 8, 10, 1)}));

            r.ctx.settings.RemindAgain = false;
            r.popups.shownAt.clear();
            r.tickAt(at(4, 8, 0, 1));
            r.minuteTicksUntil(at(4, 9));
            QCOMPARE(r.popups.shownAt.size(), 1);
        }
        {
            Run r(h.box.dataDir(), at(5, 7, 59));
            remindAgain(r);
            r.tickAt(at(5, 8, 0, 1));
        }
        Run started(h.box.dataDir(), at(5, 8, 25, 1));
        remindAgain(started);
        started.tickAt(at(5, 8, 25, 1));
        started.minuteTicksUntil(at(5, 9, 30));
        QCOMPARE(started.popups.shownAt, QList<double>({at(5, 8, 30, 1)}));
    }

    // The log is history: a plan or a medicine removed keeps its rows; the profile removed takes
    // them along.
    void rowsOutliveTheirPlanButNotTheirProfile() {
        Household h;
        Run r(h.box.dataDir(), at(2, 7, 59));
        r.tickAt(at(2, 8, 0, 1));
        QVERIFY(r.log->answer(r.only().LOGID, u'T', at(2, 8, 1)));
        data::removePlan(r.ctx.db, h.plan);
        r.ctx.db.run(QStringLiteral("DELETE FROM medicine"));
        r.ctx.NotifsLoaded = false;
        r.tickAt(at(3, 12));
        QCOMPARE(r.only().ITEMNAME, QStringLiteral("Amoxicillin"));
        QCOMPARE(r.only().STATE, QStringLiteral("T"));
        data::removeProfile(r.ctx.db, 1);
        QVERIFY(r.rows().isEmpty());
        QCOMPARE(test::count(r.ctx.db, QStringLiteral("doselog")), 0);
    }

    // 24 pills, one a dose, two doses a day: twelve days. Five left warn with a week's warning.
    void pillsOnHandLastSoManyDays() {
        Household h;
        h.count(24, 1);
        {
            Run r(h.box.dataDir(), at(1, 12));
            PlanSpec evening;
            evening.medicine = h.medicine;
            evening.start = at(2, 20);
            evening.repeat = QStringLiteral("D");
            test::addPlan(r.ctx.db, evening);
            const auto c = plans::pillCount(r.ctx.db, 1, h.medicine);
            QVERIFY(c);
            QCOMPARE(c->perDay, 2.0);
            QCOMPARE(plans::onHandText(*c), QStringLiteral("24 (12 days)"));
            QVERIFY(!c->low());
        }
        h.count(5, 1);
        Run r(h.box.dataDir(), at(1, 12));
        const auto c = plans::pillCount(r.ctx.db, 1, h.medicine);
        QVERIFY(c->low());
        QCOMPARE(plans::refillText(QStringLiteral("Amoxicillin"), *c),
                 QStringLiteral("Amoxicillin: 5 left, about 2 days. Time to refill."));
        // Without a repeating dosing the count only warns when a dose no longer fits.
        const plans::PillCount once{1, 2, 7, 0};
        QVERIFY(once.low());
        QCOMPARE(plans::onHandText(once), QStringLiteral("1"));
    }

    void typedPillBoxesAreWholeNumbersInRange() {
        using plans::checkPillBoxes;
        QCOMPARE(checkPillBoxes("", "1", "7"), std::nullopt);
        QCOMPARE(checkPillBoxes(" 24 ", "2", "0"), std::nullopt);
        QCOMPARE(checkPillBoxes("twelve", "1", "7"), QStringLiteral("Pills on hand must be a whole number."));
        QCOMPARE(checkPillBoxes("-1", "1", "7"), QStringLiteral("Pills on hand must be between 0 and 100000."));
        QCOMPARE(checkPillBoxes("99999999999999999999", "1", "7"),
                 QStringLiteral("Pills on hand must be a whole number."));
        QCOMPARE(checkPillBoxes("2.5", "1", "7"), QStringLiteral("Pills on hand must be a whole number."));
        QCOMPARE(checkPillBoxes("", "0", "7"), QStringLiteral("Pills per dose must be between 1 and 100."));
        QCOMPARE(checkPillBoxes("", "x", "7"), QStringLiteral("Pills per dose must be a whole number."));
        QCOMPARE(checkPillBoxes("10", "1", "1000"),
                 QStringLiteral("The days of warning must be between 0 and 365."));
    }
};

QTEST_GUILESS_MAIN(TestAnswers)
#include "test_answers.moc"
