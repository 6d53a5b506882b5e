#include "core/datetime.h"
#include "plans/occurrences.h"

#include <QtTest>
#include <limits>

using namespace vantrel;

namespace {
double at(int d, int h, int m = 0) {
    return dt::encode(2026, 12, d, h, m);
} // December 2026; the 8th is a Tuesday

using plans::Plan;
using plans::remindersBetween;
using plans::unusableTimes;

// A plan with a pop-up reminder the given minutes before it.
Plan plan(const char* rep, double start, int minutesBefore = 0, const char* days = "", double end = 0) {
    Plan p;
    p.REPTYPE = QString::fromLatin1(rep);
    p.STARTTIME = start;
    p.REPDAYS = *days ? QVariant(QString::fromLatin1(days)) : QVariant();
    p.REPEND = end;
    plans::Reminder r;
    r.NOTIFTYPE = QStringLiteral("P");
    r.NOTIFMIN = minutesBefore;
    p.reminder = r;
    return p;
}

std::optional<double> next(const Plan& p, double now) {
    return plans::nextReminder(p, now);
}
} // namespace

class TestReminderRule : public QObject {
    Q_OBJECT
private slots:
    void oneTimePlansLookTwoDaysAhead() {
        const Plan appt = plan("N", at(8, 10), 15);
        QCOMPARE(next(appt, at(8, 9)), std::optional(at(8, 9, 45)));
        QCOMPARE(next(appt, at(8, 9, 50)), std::nullopt);              // its time has passed
        QCOMPARE(next(plan("N", at(10, 10)), at(8, 9)), std::nullopt); // 49 hours ahead
        QCOMPARE(next(plan("N", at(10, 8, 30)), at(8, 9)), std::optional(at(10, 8, 30))); // 47.5 hours
        Plan none = appt;
        none.reminder->NOTIFTYPE = QStringLiteral("N");
        QCOMPARE(next(none, at(8, 9)), std::nullopt);
        QCOMPARE(next(plan("Q", at(8, 10)), at(8, 9)), std::nullopt);
    }

    void dailyPlansKeepTodaysTimeWhileItIsAhead() {
        const Plan morning = plan("D", at(1, 8));
        const Plan evening = plan("D", at(1, 20));
        // Right after the 08:00 dose fired, the 20:00 dose is still today.
        QCOMPARE(next(morning, at(8, 8, 0) + 1.0 / 86400), std::optional(at(9, 8)));
        QCOMPARE(next(evening, at(8, 8, 0) + 1.0 / 86400), std::optional(at(8, 20)));
        QCOMPARE(next(evening, at(8, 21)), std::optional(at(9, 20)));
        // Minutes before the dose count too.
        QCOMPARE(next(plan("D", at(1, 8), 30), at(8, 7)), std::optional(at(8, 7, 30)));
    }

    void noRepeatingPlanIsRemindedBeforeItsFirstDay() {
        // Starts the day after tomorrow: nothing tomorrow, the first day itself when in reach.
        QCOMPARE(next(plan("D", at(10, 8)), at(8, 12)), std::optional(at(10, 8)));
        QCOMPARE(next(plan("D", at(10, 8)), at(8, 7)), std::nullopt); // more than two days ahead
        QCOMPARE(next(plan("W", at(10, 8), 0, "3"), at(8, 12)), std::optional(at(15, 8)));
        QCOMPARE(next(plan("X", at(10, 8), 0, "2"), at(8, 12)), std::optional(at(10, 8)));
    }

    void weeklyPlansFindTheNextChosenDay() {
        // Monday, Wednesday and Friday; rebuilt on a Tuesday after the time of day.
        QCOMPARE(next(plan("W", at(1, 9), 0, "246"), at(8, 10)), std::optional(at(9, 9)));
        QCOMPARE(next(plan("W", at(1, 9), 0, "246"), at(8, 8)), std::optional(at(9, 9)));
        QCOMPARE(next(plan("W", at(1, 9), 0, "3"), at(8, 8)),
                 std::optional(at(8, 9))); // Tuesday, still ahead
        QCOMPARE(next(plan("W", at(1, 9), 0, "3"), at(8, 10)), std::optional(at(15, 9)));
        QCOMPARE(next(plan("W", at(1, 9), 0, "1234567"), at(8, 10)), std::optional(at(9, 9)));
        QCOMPARE(next(plan("W", at(1, 9), 0, "089"), at(8, 10)), std::nullopt);
        QCOMPARE(next(plan("W", at(1, 9), 0, ""), at(8, 10)), std::nullopt);
    }

    void everyXDaysCountsFromTheFirstReminder() {
        const Plan p = plan("X", at(1, 9), 0, "3"); // the 1st, 4th, 7th, 10th ...
        QCOMPARE(next(p, at(7, 8)), std::optional(at(7, 9)));
        QCOMPARE(next(p, at(7, 10)), std::optional(at(10, 9)));
        QCOMPARE(next(p, at(8, 10)), std::optional(at(10, 9)));
        QCOMPARE(next(plan("X", at(1, 9), 0, "0"), at(8, 10)), std::nullopt);
        QCOMPARE(next(plan("X", at(1, 9), 0, "x"), at(8, 10)), std::nullopt);
        // A reminder before midnight for a dose after it keeps its own day count.
        QCOMPARE(next(plan("X", at(2, 0, 10), 15, "2"), at(8, 10)), std::optional(at(9, 23, 55)));
    }

    // The weekday and the rhythm belong to the dose: its reminder may fall the evening before.
    void aDoseShortlyAfterMidnightIsRemindedTheEveningBefore() {
        const Plan wednesdays = plan("W", at(2, 0, 30), 60, "4");            // Wednesdays at 00:30
        QCOMPARE(next(wednesdays, at(8, 10)), std::optional(at(8, 23, 30))); // Tuesday 23:30
        QCOMPARE(next(wednesdays, at(8, 23, 31)), std::optional(at(15, 23, 30)));
        const Plan everyThird = plan("X", at(1, 0, 20), 30, "3"); // the 1st, 4th, 7th ...
        QCOMPARE(next(everyThird, at(2, 12)), std::optional(at(3, 23, 50)));
        QCOMPARE(next(everyThird, at(4, 12)), std::optional(at(6, 23, 50)));
        // The end day is the dose's: the last reminder is the evening before it.
        QCOMPARE(next(plan("W", at(2, 0, 30), 60, "4", at(9, 0)), at(8, 10)), std::optional(at(8, 23, 30)));
        QCOMPARE(next(plan("W", at(2, 0, 30), 60, "4", at(8, 0)), at(8, 10)), std::nullopt);
    }

    // A reminder asked for from its own moment, as the clock gives it, is that reminder: the sum
    // of the moment and the minutes before may differ from the dose's time in its last bit.
    void aReminderIsFoundFromItsOwnMoment() {
        for (int minutes : {0, 1, 7, 15, 59, 60}) {
            for (int h = 0; h < 24; ++h) {
                for (int m = 0; m < 60; m += 7) {
                    const Plan p = plan("W", dt::encode(2026, 3, 6, h, m), minutes, "167");
                    const double reminder = dt::roundToSecond(p.STARTTIME - minutes * dt::kMinute);
                    const double clock = dt::fromQDateTime(dt::toQDateTime(reminder));
                    const auto found = plans::firstReminderFrom(p, clock);
                    QVERIFY2(found && *found == reminder,
                             qPrintable(QStringLiteral("%1 minutes before %2").arg(minutes).arg(dt::formatDateTime(p.STARTTIME))));
                }
            }
        }
    }

    void remindersBetweenTwoMomentsAreEveryOneInTheSpan() {
        const Plan daily = plan("D", at(1, 9), 15);
        QCOMPARE(remindersBetween(daily, at(5, 9), at(8, 8, 45)),
                 QList<double>({at(6, 8, 45), at(7, 8, 45)})); // the end is not part of it
        QCOMPARE(remindersBetween(daily, at(5, 8, 45), at(5, 8, 45) + 1e-9), QList<double>({at(5, 8, 45)}));
        QCOMPARE(remindersBetween(plan("N", at(5, 9)), at(1, 0), at(9, 0)), QList<double>({at(5, 9)}));
        QVERIFY(remindersBetween(plan("N", at(5, 9)), at(5, 9, 1), at(9, 0)).isEmpty());
    }

    void theEndDayIsTheLastDayReminded() {
        QCOMPARE(next(plan("D", at(1, 9), 0, "", at(8, 0)), at(8, 8)), std::optional(at(8, 9)));
        QCOMPARE(next(plan("D", at(1, 9), 0, "", at(8, 0)), at(8, 10)), std::nullopt);
        QCOMPARE(next(plan("D", at(1, 9), 0, "", at(7, 23, 59)), at(8, 8)), std::nullopt); // ended
        QCOMPARE(next(plan("W", at(1, 9), 0, "6", at(10, 0)), at(8, 10)),
                 std::nullopt); // Friday is after the end
        QCOMPARE(next(plan("W", at(1, 9), 0, "6", at(11, 0)), at(8, 10)), std::optional(at(11, 9)));
        QCOMPARE(next(plan("X", at(1, 9), 0, "3", at(9, 0)), at(8, 10)), std::nullopt);
    }

    // A row written by hand may hold any number. The rule answers at once with nothing for such
    // a plan, whatever its kind; it never loops on it and never yields a time that is no number.
    void valuesNoRuleCanUseGiveNothingAtOnce() {
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        for (const char* kind : {"N", "D", "X", "W"})
            for (double start : {1e12, 8e11, inf, -inf, nan, 1.5, -700000.0, 3e6}) {
                const Plan p = plan(kind, start, 0, kind == QByteArray("X") ? "3" : "246");
                const QString what = QStringLiteral("%1 at %2").arg(QLatin1String(kind)).arg(start);
                QVERIFY2(unusableTimes(p), qPrintable(what));
                QVERIFY2(!next(p, at(8, 9)), qPrintable(what));
                QVERIFY2(remindersBetween(p, at(1, 0), at(9, 0)).isEmpty(), qPrintable(what));
            }
        QVERIFY(unusableTimes(plan("D", at(1, 9), 0, "", inf)));
        QVERIFY(unusableTimes(plan("D", at(1, 9), 0, "", nan)));
        QVERIFY(unusableTimes(plan("D", at(1, 9), 20000)));
        QVERIFY(unusableTimes(plan("D", at(1, 9), -5)));
        QVERIFY(!next(plan("D", at(1, 9), 20000), at(8, 9)));
        // An end before the start is a plan with no dose, not a fault.
        QVERIFY(!unusableTimes(plan("D", at(9, 9), 0, "", at(5, 0))));
        QVERIFY(!next(plan("D", at(9, 9), 0, "", at(5, 0)), at(8, 9)));
        // The edges of what can be used: 1/1/1900 and 12/31/9999.
        QCOMPARE(next(plan("N", dt::encode(9999, 12, 31, 10)), dt::encode(9999, 12, 31, 9)),
                 std::optional(dt::encode(9999, 12, 31, 10)));
        QVERIFY(!unusableTimes(plan("D", dt::encode(1900, 1, 1, 8))));
        QVERIFY(unusableTimes(plan("D", dt::encode(1899, 12, 31, 8))));
        // However long the span, the walk over it ends: one reminder a day at most.
        QCOMPARE(remindersBetween(plan("D", at(1, 9)), at(1, 0), at(1, 0) + 3650).size(), 3650);
    }
};

QTEST_GUILESS_MAIN(TestReminderRule)
#include "test_reminderrule.moc"
