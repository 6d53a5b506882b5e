#include "support/logrun.h"

#include "core/datetime.h"
#include "support/plans.h"

#include <QSqlQuery>

namespace vantrel::test {

void RecordedReminders::showPopup(const ReminderOccurrence& o) {
    shownAt << clock->nowValue();
    logIds << o.LOGID;
}

double march(int day, int h, int m, int s) {
    return dt::encode(2026, 3, day, h, m, s);
}

Run::Run(const QString& dataDir, double now, const std::function<void(Settings&)>& settings) {
    auto c = std::make_unique<FakeClock>();
    clock = c.get();
    ctx.clock = std::move(c);
    clock->setValue(now);
    popups.clock = clock;
    if (settings) settings(ctx.settings);
    ctx.db.open(dataDir);
    cursors = std::make_unique<data::MainCursors>(ctx.db);
    cursors->openAll();
    log = std::make_unique<plans::DoseLog>(ctx.db);
    memory = std::make_unique<plans::DoseLogMemory>(ctx.db);
    scheduler = std::make_unique<Scheduler>(ctx, popups, memory.get());
    scheduler->setDoseLog(log.get());
    scheduler->tick(); // the program's first tick
}

void Run::tickAt(double v) {
    clock->setValue(v);
    scheduler->tick();
}

void Run::minuteTicksUntil(double until) {
    for (double t = clock->nowValue() + dt::kMinute; t <= until + dt::kSecond; t += dt::kMinute)
        tickAt(t);
}

QList<plans::DoseLogRow> Run::rows() {
    return log->history(1, 0, 1e6);
}

plans::DoseLogRow Run::only() {
    const auto all = rows();
    if (all.size() != 1) qFatal("expected one log row, found %d", int(all.size()));
    return all.first();
}

std::optional<int> Run::pillsOnHand(int medRef) {
    QSqlQuery& q = ctx.db.run(QStringLiteral("SELECT PILLSONHAND FROM mlref WHERE MEDREF = ?"), {medRef});
    std::optional<int> v;
    if (q.next() && !q.value(0).isNull()) v = q.value(0).toInt();
    q.finish();
    return v;
}

Household::Household(const QString& notifType) {
    Run setup(box.dataDir(), march(1, 12));
    setup.ctx.db.run(QStringLiteral("INSERT INTO patient (NAME) VALUES ('Alice Tester')"));
    medicine = addMedicine(setup.ctx.db, QStringLiteral("Amoxicillin"));
    addLink(setup.ctx.db, "mlref", 1, medicine);
    PlanSpec p;
    p.medicine = medicine;
    p.start = march(2, 8);
    p.repeat = QStringLiteral("D");
    p.notifType = notifType;
    plan = addPlan(setup.ctx.db, p);
}

void Household::count(int onHand, int perDose, int warnDays) {
    Run r(box.dataDir(), march(1, 12));
    r.ctx.db.run(QStringLiteral("UPDATE mlref SET PILLSONHAND = ?, PILLSPERDOSE = ?, REFILLDAYS = ?"),
                 {onHand, perDose, warnDays});
}

} // namespace vantrel::test
