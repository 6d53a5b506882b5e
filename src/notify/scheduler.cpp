#include "notify/scheduler.h"

#include "core/context.h"
#include "core/datetime.h"
#include "data/table.h"
#include "notify/reminderrule.h"

#include <QSqlQuery>

namespace vantrel {

Scheduler::Scheduler(Context& ctx, data::Table& tbplanlist4, data::Table& tbnotif2, ReminderRaiser& raiser)
    : m_ctx(ctx), m_plans(tbplanlist4), m_notifs(tbnotif2), m_raiser(raiser) {}

void Scheduler::tick() {
    if (m_ctx.settings.DisableNotifs) return;
    if (m_ctx.NotifsLoaded) {
        if (m_list.NotifCount() == 0) return;
        // A quiet tick compares the clock with the first entry and touches no table.
        const double now = m_ctx.clock->nowValue();
        for (int i = 0; i < NotifList::kSize && m_list[i].NotifTime != 0 && now > m_list[i].NotifTime; ++i) {
            // Marked before raising: should raising fail half-way, the next tick rebuilds
            // rather than raising the same entries again.
            m_ctx.NotifsLoaded = false;
            raise(m_list[i]);
        }
    }
    if (!m_ctx.NotifsLoaded) {
        rebuild();
        m_ctx.NotifsLoaded = true;
    }
}

void Scheduler::rebuild() {
    m_list.ResetNotifs();
    m_first = 0;
    const double now = m_ctx.clock->nowValue();
    // One pass over every plan of every profile with its reminder row, in table order, so
    // that of two reminders at the same time the later plan is raised first.
    QSqlQuery& q = m_ctx.db.run(QStringLiteral(
        "SELECT p.APPTID, p.STARTTIME, p.REPTYPE, p.REPDAYS, p.REPEND, n.NOTIFTYPE, n.NOTIFMIN "
        "FROM planlist p JOIN notif n ON n.NOTIFREF = p.NOTIFREF ORDER BY p.rowid"));
    while (q.next()) {
        PlanTiming plan;
        plan.STARTTIME = q.value(1).toDouble();
        plan.REPTYPE = q.value(2).toString();
        plan.REPDAYS = q.value(3).toString();
        plan.REPEND = q.value(4).toDouble();
        plan.NOTIFTYPE = q.value(5).toString();
        plan.NOTIFMIN = q.value(6).toInt();
        if (const auto at = nextReminder(plan, now)) m_list.AddNotif(q.value(0).toInt(), *at);
    }
    q.finish();
    m_first = m_list.first();
}

void Scheduler::raise(const NotifEntry& entry) {
    m_plans.setFiltered(false);
    if (!m_plans.locate(QStringLiteral("APPTID"), entry.APPTID)) return;
    m_notifs.setFiltered(false);
    m_notifs.reopen();
    if (!m_notifs.locate(QStringLiteral("NOTIFREF"), m_plans.integer(QStringLiteral("NOTIFREF")))) return;
    const QString type = m_notifs.text(QStringLiteral("NOTIFTYPE"));
    const int minutes = m_notifs.integer(QStringLiteral("NOTIFMIN"));
    if (type == QLatin1String("P") || type == QLatin1String("B")) {
        PopupRequest r;
        r.APPTID = entry.APPTID;
        r.APPTTYPE = m_plans.text(QStringLiteral("APPTTYPE"));
        r.DRREF = m_plans.integer(QStringLiteral("DRREF"));
        r.MEDREF = m_plans.integer(QStringLiteral("MEDREF"));
        r.NOTIFMIN = minutes;
        r.NOTIFTEXT = m_notifs.text(QStringLiteral("NOTIFTEXT"));
        r.PLAYAUDIO = m_notifs.boolean(QStringLiteral("PLAYAUDIO"));
        r.AUDIOFILE = m_notifs.text(QStringLiteral("AUDIOFILE"));
        r.eventTime = entry.NotifTime + minutes * dt::kMinute;
        m_raiser.showPopup(r);
    }
    if (type == QLatin1String("E") || type == QLatin1String("B")) m_raiser.SendRMail(m_notifs);
}

} // namespace vantrel
