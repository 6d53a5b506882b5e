// The repeat engine against a reference that walks every day of a year and applies the rule as
// it is written: once at its start; daily, every X days or on the chosen weekdays at the start's
// time of day, from its first day to its end day. Thousands of random plans, over a year that
// holds both changes of daylight-saving time of the zone the test runs in (New York and Berlin
// each have a run). The calendar's rebuild and the scheduler, each in its own way, must agree.
#include "core/datetime.h"
#include "notify/scheduler.h"
#include "plans/occurrences.h"
#include "plans/planstore.h"
#include "schedule/calendarrules.h"
#include "session/context.h"
#include "support/fakeclock.h"
#include "support/testsupport.h"

#include <QMap>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>
#include <cmath>

using namespace vantrel;
using plans::Plan;

namespace {

const double kYearStart = dt::encode(2026, 1, 1);
const double kYearEnd = dt::encode(2027, 1, 1);

// The weekday of a day, counted as the tables count it (1 Sunday .. 7 Saturday), from the date
// itself rather than from the engine's arithmetic.
int weekdayOf(double day) {
    const QDate d = QDate(1899, 12, 30).addDays(static_cast<qint64>(day));
    return d.dayOfWeek() == 7 ? 1 : d.dayOfWeek() + 1;
}

// The rule as written, walked day by day: the starts of the plan's occurrences in [from, to).
QList<double> reference(const Plan& p, double from, double to) {
    QList<double> out;
    if (p.REPTYPE == QLatin1String("N")) {
        if (from <= p.STARTTIME && p.STARTTIME < to) out << p.STARTTIME;
        return out;
    }
    const double firstDay = std::floor(p.STARTTIME);
    const double timeOfDay = p.STARTTIME - firstDay;
    const QString days = p.repeatDays();
    for (double day = std::floor(from) - 1; day <= std::floor(to); day += 1) {
        if (day < firstDay) continue;
        if (p.REPEND != 0 && day > std::floor(p.REPEND)) continue;
        bool falls = false;
        if (p.REPTYPE == QLatin1String("D")) falls = true;
        if (p.REPTYPE == QLatin1String("X")) {
            const int x = days.toInt();
            falls = x >= 1 && static_cast<long long>(day - firstDay) % x == 0;
        }
        if (p.REPTYPE == QLatin1String("W")) falls = days.contains(QChar(u'0' + weekdayOf(day)));
        const double start = dt::roundToSecond(day + timeOfDay);
        if (falls && start >= from && start < to) out << start;
    }
    return out;
}

// A plan of any kind, at any minute of any day around the year (the hours that a change of
// daylight-saving time skips or repeats among them), with or without an end.
Plan randomPlan(QRandomGenerator& r, int key) {
    Plan p;
    p.APPTID = key;
    p.PATIENTREF = 1;
    p.APPTTYPE = QStringLiteral("M");
    p.MEDREF = key;
    const double day = kYearStart - 40 + r.bounded(460);
    const int minute = r.bounded(8) == 0 ? 2 * 60 + r.bounded(60) : r.bounded(24 * 60); // often in the night
    p.STARTTIME = dt::roundToSecond(day + minute / 1440.0);
    p.ENDTIME = p.STARTTIME + r.bounded(24 * 60 + 1) / 1440.0;
    static const char* kinds[] = {"N", "D", "X", "W"};
    p.REPTYPE = QString::fromLatin1(kinds[r.bounded(4)]);
    if (p.REPTYPE == QLatin1String("X")) p.REPDAYS = static_cast<int>(r.bounded(1, 15));
    if (p.REPTYPE == QLatin1String("W")) {
        QString digits;
        for (int d = 1; d <= 7; ++d)
            if (r.bounded(3) == 0) digits += QChar(u'0' + d);
        p.REPDAYS = digits.isEmpty() ? QVariant() : QVariant(digits.toInt());
    }
    if (p.REPTYPE != QLatin1String("N") && r.bounded(3) == 0)
        p.REPEND = dt::encode(2026, 1, 1) + r.bounded(400) + 0.999;
    plans::Reminder reminder;
    reminder.NOTIFTYPE = QStringLiteral("P");
    reminder.NOTIFMIN = r.bounded(4) == 0 ? 0 : r.bounded(1, 61);
    p.reminder = reminder;
    return p;
}

QList<Plan> randomPlans(int count, quint32 seed) {
    QRandomGenerator r(seed);
    QList<Plan> out;
    for (int i = 1; i <= count; ++i)
        out << randomPlan(r, i);
    return out;
}

QString describe(const Plan& p) {
    return QStringLiteral("%1 from %2, days %3, until %4")
        .arg(p.REPTYPE, dt::formatDateTime(p.STARTTIME), p.repeatDays(),
             p.REPEND ? dt::formatDate(p.REPEND) : QStringLiteral("-"));
}

quint32 seedOfTheRun() {
    // VANTREL_TEST_SEED replays the run of a seed a failure printed.
    const quint32 seed = qEnvironmentVariableIsSet("VANTREL_TEST_SEED")
                             ? qEnvironmentVariable("VANTREL_TEST_SEED").toUInt()
                             : QRandomGenerator::global()->generate();
    qInfo("seed %u in %s", seed, qgetenv("TZ").constData());
    return seed;
}

} // namespace

class TestEngine : public QObject {
    Q_OBJECT
private slots:
    // The year's bounds are constants set before main(): they must be that year, or every
    // comparison below would run over some other span.
    void initTestCase() {
        QCOMPARE(kYearStart, dt::encode(2026, 1, 1));
        QCOMPARE(dt::toQDateTime(kYearEnd).date(), QDate(2027, 1, 1));
    }

    void theEngineFollowsTheRuleAsWritten() {
        const quint32 seed = seedOfTheRun();
        for (const Plan& p : randomPlans(3000, seed)) {
            QList<double> starts;
            for (const plans::Occurrence& o : plans::occurrences(p, kYearStart, kYearEnd)) {
                starts << o.start;
                // Each keeps the plan's length.
                QCOMPARE(o.end, dt::roundToSecond(o.start + (p.ENDTIME - p.STARTTIME)));
            }
            QVERIFY2(starts == reference(p, kYearStart, kYearEnd), qPrintable(describe(p)));
        }
    }

    // The reminders of each plan are its occurrences, each the reminder's minutes before.
    void theRemindersAreTheOccurrencesEarlier() {
        const quint32 seed = seedOfTheRun();
        for (const Plan& p : randomPlans(3000, seed)) {
            const double before = p.reminder->NOTIFMIN * dt::kMinute;
            QList<double> doses;
            for (double r : plans::remindersBetween(p, kYearStart - before, kYearEnd - before))
                doses << dt::roundToSecond(r + before);
            QVERIFY2(doses == reference(p, kYearStart, kYearEnd), qPrintable(describe(p)));
        }
    }

    // The occurrence after a moment (what a snooze may not pass, and what ends an unanswered
    // dose) is the reference's next one, from random moments and from each occurrence itself.
    void theNextOccurrenceIsTheReferencesNext() {
        const quint32 seed = seedOfTheRun();
        QRandomGenerator r(seed + 1);
        int compared = 0;
        for (const Plan& p : randomPlans(1000, seed)) {
            const QList<double> all = reference(p, kYearStart, kYearEnd + 400);
            QList<double> moments;
            for (int i = 0; i < 4; ++i)
                moments << kYearStart + r.bounded(365.0);
            for (int i = 0; i < std::min<int>(3, all.size()); ++i)
                moments << all[i] + dt::kSecond;
            for (double from : moments) {
                const auto next = std::find_if(all.begin(), all.end(), [&](double t) { return t >= from; });
                const auto found = plans::firstOccurrenceFrom(p, from);
                if (next == all.end() || *next >= kYearEnd + 300) continue; // past what the reference walked
                ++compared;
                QVERIFY2(found && found->start == *next,
                         qPrintable(describe(p) + QStringLiteral(" from ") + dt::formatDateTime(from)));
            }
        }
        QVERIFY(compared > 3000);
    }

    // The calendar's rebuild, window after window through the year, writes each occurrence.
    void theCalendarShowsEveryOccurrence() {
        const quint32 seed = seedOfTheRun();
        test::Sandbox box;
        Context ctx;
        ctx.db.open(box.dataDir());
        QList<Plan> all = randomPlans(400, seed);
        ctx.db.transaction([&] {
            for (Plan& p : all) {
                p.APPTID = -1;
                plans::PlanStore(ctx.db).save(p);
            }
        });
        QMap<int, QList<double>> shown; // by MEDREF, which is each plan's own
        for (double w = kYearStart; w < kYearEnd; w += calendar::kWindowDays)
            for (const calendar::PlannerRow& row : calendar::plannerRows(ctx.db, 1, w, {}))
                if (row.item.start < kYearEnd) shown[row.medRef.toInt()] << row.item.start;
        for (const Plan& p : all)
            QVERIFY2(shown.value(p.MEDREF) == reference(p, kYearStart, kYearEnd), qPrintable(describe(p)));
    }

    // The real scheduler, its clock walking real time in five-minute steps through the month of
    // the spring change and the month of the autumn one: every dose of every plan is raised once,
    // whatever the wall clock did.
    void theSchedulerRaisesEachDoseOnce_data() {
        QTest::addColumn<QDate>("month");
        QTest::newRow("March") << QDate(2026, 3, 1);
        QTest::newRow("October") << QDate(2026, 10, 1);
    }
    void theSchedulerRaisesEachDoseOnce() {
        QFETCH(QDate, month);
        const quint32 seed = seedOfTheRun();
        test::Sandbox box;
        Context ctx;
        const QDateTime from(month, QTime(0, 0)), to(month.addMonths(1), QTime(0, 0));
        auto clock = std::make_unique<FakeClock>(from);
        FakeClock* c = clock.get();
        ctx.clock = std::move(clock);
        ctx.db.open(box.dataDir());
        QList<Plan> all = randomPlans(60, seed);
        for (Plan& p : all) {
            p.APPTID = -1;
            plans::PlanStore(ctx.db).save(p);
        }
        struct Raised : ReminderRaiser {
            QMap<int, QList<double>> doses;
            void showPopup(const ReminderOccurrence& o) override { doses[o.APPTID] << o.eventTime; }
            void SendRMail(const ReminderOccurrence&) override {}
        } raised;
        Scheduler scheduler(ctx, raised);
        for (QDateTime t = from; t < to; t = t.addSecs(300)) {
            c->set(t);
            scheduler.tick();
        }
        // What falls due after the first tick and before the last is raised, once each.
        const double first = dt::fromQDateTime(from), last = dt::fromQDateTime(to.addSecs(-300));
        for (const Plan& p : all) {
            const double before = p.reminder->NOTIFMIN * dt::kMinute;
            QList<double> expected;
            for (double dose : reference(p, first - 1, last + 2))
                if (dose - before >= first && dose - before < last) expected << dose;
            QList<double> got = raised.doses.value(p.APPTID);
            for (double& d : got)
                d = dt::roundToSecond(d);
            QVERIFY2(got == expected, qPrintable(describe(p) + QStringLiteral(": %1 raised, %2 due")
                                                                 .arg(got.size())
                                                                 .arg(expected.size())));
        }
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
