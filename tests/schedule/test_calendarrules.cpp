// The calendar's expansion of plans, its captions and its layout, and its agreement with the
// scheduler's reading of the same plans.
#include "core/datetime.h"
#include "core/plannerlayout.h"
#include "plans/occurrences.h"
#include "schedule/calendarrules.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace vantrel;
using namespace vantrel::calendar;

namespace {
// December 2026: the 7th is a Monday.
double at(int d, int h, int m = 0) {
    return dt::encode(2026, 12, d, h, m);
}
using plans::Occurrence;
using plans::Plan;

Plan plan(const char* kind, double start, double end, const char* days = "", double repEnd = 0) {
    Plan p;
    p.STARTTIME = start;
    p.ENDTIME = end;
    p.REPTYPE = QString::fromLatin1(kind);
    p.REPDAYS = *days ? QVariant(QString::fromLatin1(days)) : QVariant();
    p.REPEND = repEnd;
    return p;
}

// The occurrences a rebuild of the calendar writes for the window that starts on that day.
QList<Occurrence> occurrences(const Plan& p, double windowStart) {
    const double w = std::floor(windowStart);
    return plans::occurrences(p, w, w + kWindowDays);
}
QList<int> daysOf(const QList<Occurrence>& list) {
    QList<int> out;
    for (const Occurrence& o : list)
        out << dt::toQDateTime(o.start).date().day();
    return out;
}
} // namespace

class TestCalendarRules : public QObject {
    Q_OBJECT
private slots:
    void theRepeatRulesInTheSixDayWindow() {
        const double w = at(7, 0);
        // A daily dose from today with no end: six items; with an end on the second day: two.
        QCOMPARE(daysOf(occurrences(plan("D", at(7, 8), at(7, 8, 15)), w)),
                 QList<int>({7, 8, 9, 10, 11, 12}));
        QCOMPARE(daysOf(occurrences(plan("D", at(1, 8), at(1, 8, 15), "", at(8, 23, 59)), w)),
                 QList<int>({7, 8}));
        QCOMPARE(occurrences(plan("D", at(7, 8), at(7, 8, 15)), w).first(),
                 (Occurrence{at(7, 8), at(7, 8, 15)}));
        // Starting after the window: nothing; on its third day: from there on.
        QVERIFY(occurrences(plan("D", at(13, 8), at(13, 8, 15)), w).isEmpty());
        QCOMPARE(daysOf(occurrences(plan("D", at(9, 8), at(9, 8, 15)), w)), QList<int>({9, 10, 11, 12}));
        // Every three days, from the window's first day and from the day before.
        QCOMPARE(daysOf(occurrences(plan("X", at(7, 8), at(7, 8, 15), "3"), w)), QList<int>({7, 10}));
        QCOMPARE(daysOf(occurrences(plan("X", at(6, 8), at(6, 8, 15), "3"), w)), QList<int>({9, 12}));
        // Weekly on Monday, Wednesday and Friday.
        QCOMPARE(daysOf(occurrences(plan("W", at(1, 8), at(1, 8, 15), "246"), w)), QList<int>({7, 9, 11}));
        // Appointments: 23:00 on the sixth day is in, 00:00 of the seventh is not.
        QCOMPARE(occurrences(plan("N", at(12, 23), at(13, 0)), w).size(), 1);
        QVERIFY(occurrences(plan("N", at(13, 0), at(13, 1)), w).isEmpty());
        // A dose at 23:50 keeps its quarter of an hour, into the next day.
        QCOMPARE(occurrences(plan("D", at(1, 23, 50), at(2, 0, 5)), w).first(),
                 (Occurrence{at(7, 23, 50), at(8, 0, 5)}));
    }

    // Odd values give no item, never a crash.
    void badPlansGiveNoItems() {
        const double w = at(7, 0);
        for (const Plan& p : {plan("Q", at(7, 8), at(7, 9)), plan("X", at(7, 8), at(7, 9), "0"),
                              plan("X", at(7, 8), at(7, 9), ""), plan("W", at(7, 8), at(7, 9), "89"),
                              plan("D", at(7, 8), at(7, 9), "", at(1, 0)), plan("D", 1e9, 1e9 + 1),
                              plan("N", 0, 0), plan("D", -1e9, -1e9)})
            QVERIFY(occurrences(p, w).size() <= 6);
        QVERIFY(occurrences(plan("D", at(7, 8), at(7, 9), "", at(1, 0)), w).isEmpty());
        // A start before 1900 is no date the rule can use: nothing, as for the scheduler.
        QVERIFY(occurrences(plan("D", -1e9, -1e9 + 0.01), w).isEmpty());
    }

    // Every reminder the scheduler raises for a plan falls on a day the calendar shows for it,
    // and every day the calendar shows has its reminder.
    void theCalendarAndTheSchedulerAgree() {
        const QList<Plan> plans{plan("D", at(1, 8), at(1, 8, 15)), plan("X", at(2, 0, 30), at(2, 0, 45), "3"),
                                plan("W", at(1, 23, 50), at(2, 0, 5), "246"),
                                plan("X", at(3, 9), at(3, 9, 15), "5", at(28, 0)),
                                plan("W", at(4, 0, 10), at(4, 0, 25), "17", at(25, 12))};
        for (const Plan& p : plans)
            for (int minutes : {0, 15, 60}) {
                Plan t = p;
                t.reminder = plans::Reminder{};
                t.reminder->NOTIFTYPE = QStringLiteral("P");
                t.reminder->NOTIFMIN = minutes;
                QSet<double> remindedDoses;
                for (double r : plans::remindersBetween(t, at(1, 0), at(31, 0)))
                    remindedDoses.insert(dt::roundToSecond(r + minutes * dt::kMinute));
                QSet<double> shown;
                for (double w = at(1, 0); w + 6 <= at(31, 0); w += 6)
                    for (const Occurrence& o : occurrences(p, w))
                        shown.insert(o.start);
                for (double d : remindedDoses)
                    if (d < at(31, 0)) QVERIFY2(shown.contains(d), qPrintable(dt::formatDateTime(d)));
                for (double d : shown)
                    if (d - minutes * dt::kMinute >= at(1, 0))
                        QVERIFY2(remindedDoses.contains(d), qPrintable(dt::formatDateTime(d)));
            }
    }

    void captionsAreEnglishWhateverTheLocale() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(dayCaption(at(7, 15)), QStringLiteral("Mon, Dec 07, 2026"));
        QLocale::setDefault(before);
    }

    void overlappingItemsStandSideBySide() {
        const QList<Span> items{{at(7, 9), at(7, 10)},
                                {at(7, 9, 30), at(7, 11)},
                                {at(7, 10), at(7, 10, 30)},
                                {at(7, 12), at(7, 13)}};
        const QList<Placement> p = placeSideBySide(items);
        QCOMPARE(p[0].lane, 0);
        QCOMPARE(p[1].lane, 1);
        QCOMPARE(p[2].lane, 0); // the first lane is free again at 10:00
        QCOMPARE(p[0].lanes, 2);
        QCOMPARE(p[2].lanes, 2);
        QCOMPARE(p[3].lane, 0);
        QCOMPARE(p[3].lanes, 1); // alone
        QCOMPARE(yForMinutes(8 * 60, 15, 20), 640);
        QCOMPARE(yForMinutes(8 * 60, 30, 22), 352);
        QCOMPARE(yForMinutes(8 * 60, 60, 22), 176);
    }

    // Values no rule can use give no item, at once; an end that is no date ends the item where
    // it begins.
    void valuesNoRuleCanUseGiveNoItem() {
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        for (const char* kind : {"N", "D", "X", "W"})
            for (double start : {1e12, 8e11, inf, -inf, nan, 1.5}) {
                const Plan p = plan(kind, start, start + 1, "3");
                QVERIFY2(occurrences(p, at(7, 0)).isEmpty(),
                         qPrintable(QStringLiteral("%1 %2").arg(kind).arg(start)));
            }
        QVERIFY(occurrences(plan("D", at(7, 9), at(7, 10), "", inf), at(7, 0)).isEmpty());
        const QList<Occurrence> once = occurrences(plan("N", at(7, 9), nan), at(7, 0));
        QCOMPARE(once.size(), 1);
        QCOMPARE(once[0].end, at(7, 9));
        QCOMPARE(occurrences(plan("D", at(7, 9), inf), at(7, 0)).size(), 6);
    }
};

QTEST_GUILESS_MAIN(TestCalendarRules)
#include "test_calendarrules.moc"
