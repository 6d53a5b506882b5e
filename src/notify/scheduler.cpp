#include "notify/scheduler.h"

#include "base/logging.h"
#include "core/datetime.h"
#include "plans/occurrences.h"
#include "plans/planstore.h"
#include "session/context.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace vantrel {

Scheduler::Scheduler(Context& ctx, ReminderRaiser& raiser, ReminderMemory* memory)
    : m_ctx(ctx), m_raiser(raiser), m_ownMemory(memory ? nullptr : std::make_unique<InMemoryReminders>()),
      m_memory(memory ? memory : m_ownMemory.get()) {}

bool Scheduler::listOutOfDate(double now) const {
    return now >= m_rebuiltAt + kRebuildEvery || std::abs(now - m_lastTick) > kClockJump;
}

void Scheduler::tick() {
    // While reminders are off nothing is raised; what falls due meanwhile comes once they are on.
    if (m_ctx.settings.DisableNotifs) return;
    const double now = m_ctx.clock->nowValue();
    if (m_ctx.NotifsLoaded) {
        const bool due = m_list.NotifCount() > 0 && now > m_list[0].NotifTime;
        if (!due && !listOutOfDate(now)) {
            // Nothing fell due before now: everything up to here is done.
            m_lastTick = now;
            m_memory->setDoneUntil(std::max(m_memory->doneUntil(), now));
            return;
        }
        m_ctx.NotifsLoaded = false;
    }
    rebuild();
    m_ctx.NotifsLoaded = true;
}

void Scheduler::rebuild() {
    const double now = m_ctx.clock->nowValue();
    if (!m_started) {
        // Reminders due before the program started are not raised; a clock set back since the
        // last run never brings back what was raised then.
        m_memory->setDoneUntil(std::max(m_memory->doneUntil(), now));
        m_started = true;
    }
    ++m_rebuilds;
    const double doneUntil = m_memory->doneUntil();
    // A clock set back never brings back what was already raised.
    const double listFrom = std::max(now, doneUntil);
    struct Due {
        double at;
        int order;
        ReminderOccurrence occurrence;
    };
    QList<Due> due;
    NotifList list;
    QList<QPair<int, QString>> unusable;
    // Every plan of every profile with its reminder row, in table order, so that of two
    // reminders at the same time the later plan is raised first.
    const QList<plans::Plan> all = plans::PlanStore(m_ctx.db).loadAll();
    for (int order = 0; order < all.size(); ++order) {
        const plans::Plan& plan = all[order];
        if (const auto why = plans::unusableTimes(plan)) {
            // That plan gives nothing; the others go on. It is named once a run.
            if (!m_toldUnusable.contains(plan.APPTID)) unusable.append({plan.APPTID, *why});
            continue;
        }
        for (double at : plans::remindersBetween(plan, doneUntil, now)) {
            ReminderOccurrence o{plan.APPTID,
                                 at,
                                 at + plan.reminder->NOTIFMIN * dt::kMinute,
                                 plan.PATIENTREF,
                                 plan.APPTTYPE,
                                 plan.personName,
                                 plan.itemName,
                                 plan.itemFound,
                                 *plan.reminder};
            due.append({at, order, o});
        }
        if (const auto at = plans::nextReminder(plan, listFrom)) list.AddNotif(plan.APPTID, *at);
    }
    for (const auto& [id, why] : unusable) {
        m_toldUnusable.insert(id);
        qCWarning(lcReminders) << "plan" << id << "gives no reminder:" << why;
        m_raiser.planUnusable(id, why);
    }

    std::stable_sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
        return a.at != b.at ? a.at < b.at : a.order > b.order;
    });
    for (const Due& d : due) {
        if (m_memory->wasRaised(d.occurrence.APPTID, d.at)) continue;
        raise(d.occurrence);
        m_memory->markRaised(d.occurrence);
    }
    m_memory->setDoneUntil(std::max(doneUntil, now));
    m_list = list;
    m_first = m_list.first();
    m_rebuiltAt = now;
    m_lastTick = now;
    qCDebug(lcReminders).noquote() << "rebuilt from" << all.size() << "plans:" << m_list.NotifCount()
                                   << "pending, first at"
                                   << (m_list.NotifCount() ? dt::formatDateTime(m_list.first())
                                                           : QStringLiteral("none"));
}

void Scheduler::raise(const ReminderOccurrence& o) {
    const double now = m_ctx.clock->nowValue();
    qCDebug(lcReminders).noquote() << QStringLiteral("raised APPTID %1 due %2 at %3, %4 s late")
                                          .arg(o.APPTID)
                                          .arg(dt::formatDateTime(dt::roundToSecond(o.due)),
                                               dt::formatDateTime(dt::roundToSecond(now)))
                                          .arg(std::llround((now - o.due) * 86400.0));
    if (o.reminder.popup()) m_raiser.showPopup(o);
    if (o.reminder.mail()) m_raiser.SendRMail(o);
}

} // namespace vantrel
