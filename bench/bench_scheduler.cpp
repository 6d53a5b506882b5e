// The reminder list's rebuild over many plans, and the tick that finds nothing due.
#include "core/datetime.h"
#include "data/maincursors.h"
#include "notify/scheduler.h"
#include "session/context.h"
#include "support/fakeclock.h"
#include "support/plans.h"
#include "support/testsupport.h"

#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

class NoRaiser : public ReminderRaiser {
public:
    void showPopup(const ReminderOccurrence&) override {}
    void SendRMail(const ReminderOccurrence&) override {}
};

struct Store {
    test::Sandbox box;
    Context ctx;
    std::unique_ptr<data::MainCursors> cursors;
    NoRaiser raiser;
    std::unique_ptr<Scheduler> scheduler;

    explicit Store(int plans) {
        ctx.clock = std::make_unique<FakeClock>(QDateTime(QDate(2026, 6, 10), QTime(12, 0)));
        ctx.db.open(box.dataDir());
        const char* kinds[] = {"N", "D", "X", "W"};
        ctx.db.transaction([&] {
            for (int i = 0; i < plans; ++i) {
                test::PlanSpec p;
                p.patient = 1 + i % 10;
                p.repeat = QString::fromLatin1(kinds[i % 4]);
                p.days = p.repeat == "X"   ? QString::number(2 + i % 13)
                         : p.repeat == "W" ? QStringLiteral("246")
                                           : QString();
                p.start = dt::encode(2026, 6, 1 + i % 20, 6 + i % 14, i % 60);
                p.minutesBefore = i % 3 == 0 ? 15 : 0;
                test::addPlan(ctx.db, p);
            }
        });
        cursors = std::make_unique<data::MainCursors>(ctx.db);
        cursors->openAll();
        scheduler = std::make_unique<Scheduler>(ctx, raiser);
    }
};

void BM_Rebuild(benchmark::State& state) {
    Store store(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        store.scheduler->rebuild();
        benchmark::DoNotOptimize(store.scheduler->firstPending());
    }
    state.counters["entries"] = store.scheduler->list().NotifCount();
}
BENCHMARK(BM_Rebuild)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_QuietTick(benchmark::State& state) {
    Store store(1000);
    store.scheduler->tick(); // builds the list; later ticks find nothing due
    for (auto _ : state)
        store.scheduler->tick();
}
BENCHMARK(BM_QuietTick)->Unit(benchmark::kNanosecond);

// A day with the program running and nothing falling due: one tick a second. The list goes out
// of date once an hour, so about 24 rebuilds run; every other tick touches no table.
void BM_QuietDay(benchmark::State& state) {
    test::Sandbox box;
    Context ctx;
    auto clock = std::make_unique<FakeClock>(QDateTime(QDate(2026, 6, 10), QTime(0, 0)));
    FakeClock* c = clock.get();
    ctx.clock = std::move(clock);
    ctx.db.open(box.dataDir());
    for (int i = 0; i < 1000; ++i) {
        test::PlanSpec p;
        p.start = dt::encode(2027, 1, 1 + i % 28, 9); // nothing due this day
        test::addPlan(ctx.db, p);
    }
    data::MainCursors cursors(ctx.db);
    cursors.openAll();
    NoRaiser raiser;
    int rebuilds = 0;
    quint64 statements = 0;
    for (auto _ : state) {
        Scheduler scheduler(ctx, raiser);
        ctx.NotifsLoaded = false;
        c->set(QDateTime(QDate(2026, 6, 10), QTime(0, 0)));
        const quint64 before = ctx.db.statementCount();
        for (int s = 0; s < 86400; ++s) {
            c->advanceSecs(1);
            scheduler.tick();
        }
        rebuilds = scheduler.rebuildCount();
        statements = ctx.db.statementCount() - before;
    }
    state.counters["rebuilds"] = rebuilds;
    state.counters["statements"] = static_cast<double>(statements);
}
BENCHMARK(BM_QuietDay)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
