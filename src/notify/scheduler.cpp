#include "notify/scheduler.h"

#include "core/context.h"
#include "core/datetime.h"
#include "data/table.h"
#include "notify/reminderrule.h"

#include <QSqlQuery>
#include <algorithm>
#include <cmath>

namespace vantrel {

Scheduler::Scheduler(Context& ctx, data::Table& tbplanlist4, data::Table& tbnotif2, ReminderRaiser& raiser)
    : m_ctx(ctx), m_plans(tbplanlist4), m_notifs(tbnotif2), m_raiser(raiser) {}

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
            m_doneUntil = std::max(m_doneUntil, now);
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
        // Reminders due before the program started are not raised.
        m_doneUntil = now;
        m_started = true;
    }
    ++m_rebuilds;
    // A clock set back never brings back what was already raised.
    const double listFrom = std::max(now, m_doneUntil);
    struct Due {
        double at;
        int apptId;
        int order;
    };
    QList<Due> due;
    NotifList list;
    // One pass over every plan of every profile with its reminder row, in table order, so that
    // of two reminders at the same time the later plan is raised first.
    QSqlQuery& q = m_ctx.db.run(QStringLiteral(
        "SELECT p.APPTID, p.STARTTIME, p.REPTYPE, p.REPDAYS, p.REPEND, n.NOTIFTYPE, n.NOTIFMIN "
        "FROM planlist p JOIN notif n ON n.NOTIFREF = p.NOTIFREF ORDER BY p.rowid"));
    QList<QPair<int, QString>> unusable;
    for (int order = 0; q.next(); ++order) {
        PlanTiming plan;
        const int id = q.value(0).toInt();
        plan.STARTTIME = q.value(1).toDouble();
        plan.REPTYPE = q.value(2).toString();
        plan.REPDAYS = q.value(3).toString();
        plan.REPEND = q.value(4).toDouble();
        plan.NOTIFTYPE = q.value(5).toString();
        plan.NOTIFMIN = q.value(6).toInt();
        if (const auto why = unusableTimes(plan)) {
            // That plan gives nothing; the others go on. It is named once a run.
            if (!m_toldUnusable.contains(id)) unusable.append({id, *why});
            continue;
        }
        for (double at : remindersBetween(plan, m_doneUntil, now))
            due.append({at, id, order});
        if (const auto at = nextReminder(plan, listFrom)) list.AddNotif(id, *at);
    }
    q.finish();
    for (const auto& [id, why] : unusable) {
        m_toldUnusable.insert(id);
        m_raiser.planUnusable(id, why);
    }

    std::stable_sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
        return a.at != b.at ? a.at < b.at : a.order > b.order;
    });
    for (const Due& d : due) {
        if (m_raisedEarly.contains({d.apptId, d.at})) continue;
        raise(d.apptId, d.at);
        m_raisedEarly.insert({d.apptId, d.at});
    }
    m_raisedEarly.clear();
    m_doneUntil = std::max(m_doneUntil, now);
    m_list = list;
    m_first = m_list.first();
    m_rebuiltAt = now;
    m_lastTick = now;
}

void Scheduler::raise(int apptId, double at) {
    m_plans.setFiltered(false);
    if (!m_plans.locate(QStringLiteral("APPTID"), apptId)) return;
    m_notifs.setFiltered(false);
    m_notifs.reopen();
    if (!m_notifs.locate(QStringLiteral("NOTIFREF"), m_plans.integer(QStringLiteral("NOTIFREF")))) return;
    const QString type = m_notifs.text(QStringLiteral("NOTIFTYPE"));
    const int minutes = m_notifs.integer(QStringLiteral("NOTIFMIN"));
    if (type == QLatin1String("P") || type == QLatin1String("B")) {
        PopupRequest r;
        r.APPTID = apptId;
        r.APPTTYPE = m_plans.text(QStringLiteral("APPTTYPE"));
        r.DRREF = m_plans.integer(QStringLiteral("DRREF"));
        r.MEDREF = m_plans.integer(QStringLiteral("MEDREF"));
        r.NOTIFMIN = minutes;
        r.NOTIFTEXT = m_notifs.text(QStringLiteral("NOTIFTEXT"));
        r.PLAYAUDIO = m_notifs.boolean(QStringLiteral("PLAYAUDIO"));
        r.AUDIOFILE = m_notifs.text(QStringLiteral("AUDIOFILE"));
        r.eventTime = at + minutes * dt::kMinute;
        m_raiser.showPopup(r);
    }
    if (type == QLatin1String("E") || type == QLatin1String("B")) m_raiser.SendRMail(m_notifs);
}

} // namespace vantrel
