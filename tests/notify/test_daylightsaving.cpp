// Runs in New York time: the clocks go forward on 2026-03-08 at 02:00 and back on 2026-11-01 at 02:00.
#include "core/datetime.h"
#include "data/maincursors.h"
#include "notify/scheduler.h"
#include "session/context.h"
#include "support/fakeclock.h"
#include "support/plans.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vantrel;

namespace {

class DayCounter : public ReminderRaiser {
public:
    QMap<QDate, int> perDay;
    Context* ctx = nullptr;
    void showPopup(const ReminderOccurrence&) override { ++perDay[ctx->clock->now().date()]; }
    void SendRMail(const ReminderOccurrence&) override {}
};

// Walks the real clock through [from, to) in steps of `step` seconds, ticking at each step.
QMap<QDate, int> remindersPerDay(double doseTimeOfDay, const QDateTime& from, const QDateTime& to, int step) {
    test::Sandbox box;
    Context ctx;
    auto clock = std::make_unique<FakeClock>(from);
    FakeClock* c = clock.get();
    ctx.clock = std::move(clock);
    ctx.db.open(box.dataDir());
    data::MainCursors cursors(ctx.db);
    cursors.openAll();
    test::PlanSpec daily;
    daily.start = dt::encode(2026, 1, 1) + doseTimeOfDay;
    daily.repeat = "D";
    test::addPlan(ctx.db, daily);
    DayCounter counter;
    counter.ctx = &ctx;
    Scheduler s(ctx, counter);
    for (QDateTime t = from; t < to; t = t.addSecs(step)) {
        c->set(t); // addSecs walks real time: the wall clock jumps at the changes
        s.tick();
    }
    return counter.perDay;
}

} // namespace

class TestDaylightSaving : public QObject {
    Q_OBJECT
private slots:
    void aDoseInTheMissingHourIsRaisedOnceThatDay() {
        const QDateTime from(QDate(2026, 3, 7), QTime(12, 0));
        const auto days = remindersPerDay(dt::encode(1899, 12, 30, 2, 30), from, from.addDays(3), 20);
        QCOMPARE(days.value(QDate(2026, 3, 8)), 1);
        QCOMPARE(days.value(QDate(2026, 3, 9)), 1);
        QCOMPARE(days.value(QDate(2026, 3, 10)), 1);
        QCOMPARE(days.size(), 3);
    }

    void aDoseInTheRepeatedHourIsRaisedOnceThatDay() {
        const QDateTime from(QDate(2026, 10, 31), QTime(12, 0));
        const auto days = remindersPerDay(dt::encode(1899, 12, 30, 1, 30), from, from.addDays(3), 20);
        QCOMPARE(days.value(QDate(2026, 11, 1)), 1);
        QCOMPARE(days.value(QDate(2026, 11, 2)), 1);
        QCOMPARE(days.value(QDate(2026, 11, 3)), 1);
        QCOMPARE(days.size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestDaylightSaving)
#include "test_daylightsaving.moc"
