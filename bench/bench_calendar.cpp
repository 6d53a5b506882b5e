// The calendar's rebuild: 1,000 dosing plans of one profile, every repeat kind, into drplanner.
#include "core/datetime.h"
#include "schedule/calendarrules.h"
#include "session/context.h"
#include "support/plans.h"
#include "support/testsupport.h"

#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

void BM_PopulateCalendar(benchmark::State& state) {
    test::Sandbox box;
    Context ctx;
    ctx.db.open(box.dataDir());
    const char* kinds[] = {"N", "D", "X", "W"};
    ctx.db.transaction([&] {
        for (int i = 0; i < state.range(0); ++i) {
            test::PlanSpec p;
            p.medicine = 1 + i % 20;
            p.repeat = QString::fromLatin1(kinds[i % 4]);
            p.days = p.repeat == "X"   ? QString::number(2 + i % 13)
                     : p.repeat == "W" ? QStringLiteral("246")
                                       : QString();
            p.start = dt::encode(2026, 6, 1 + i % 20, 6 + i % 14, i % 60);
            test::addPlan(ctx.db, p);
        }
        for (int m = 1; m <= 20; ++m)
            test::addMedicine(ctx.db, QStringLiteral("Medicine %1").arg(m));
    });
    const double window = dt::encode(2026, 6, 15);
    int items = 0;
    for (auto _ : state) {
        calendar::rebuildPlanner(ctx.db, 1, window, {});
        items = static_cast<int>(calendar::plannerItems(ctx.db).size());
    }
    state.counters["items"] = items;
}
BENCHMARK(BM_PopulateCalendar)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
