#include "notify/scheduler.h"

#include "base/logging.h"
#include "core/datetime.h"
#include "plans/doselog.h"
#include "plans/occurrences.h"
#include "plans/planstore.h"
#include "platform/osinfo.h"
#include "session/context.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {
constexpr int kTrimAfterPlans = 500;
}

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
        const bool due =
            (m_list.NotifCount() > 0 && now > m_list[0].NotifTime) || (m_nextExtra > 0 && now >= m_nextExtra);
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

ReminderOccurrence Scheduler::occurrenceOf(const plans::Plan& plan, double eventTime, double due) const {
    ReminderOccurrence o;
    o.APPTID = plan.APPTID;
    o.due = due;
    o.eventTime = dt::roundToSecond(eventTime);
    o.PATIENTREF = plan.PATIENTREF;
    o.APPTTYPE = plan.APPTTYPE;
    o.personName = plan.personName;
    o.itemName = plan.itemName;
    o.itemFound = plan.itemFound;
    if (plan.reminder) o.reminder = *plan.reminder;
    const auto next = plans::firstOccurrenceFrom(plan, o.eventTime + dt::kSecond);
    o.nextEventTime = next ? next->start : 0;
    return o;
}

void Scheduler::rebuild() {
    const double now = m_ctx.clock->nowValue();
    const bool starting = !m_started;
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
        bool silent; // a plan without a reminder: its occurrence only goes into the log
    };
    QList<Due> due;
    NotifList list;
    QList<QPair<int, QString>> unusable;
    m_nextExtra = 0;
    const auto extraAt = [this](double at) {
        if (at > 0 && (m_nextExtra == 0 || at < m_nextExtra)) m_nextExtra = at;
    };
    // Every plan of every profile with its reminder row, in table order, so that of two
    // reminders at the same time the later plan is raised first.
    const QList<plans::Plan> all = plans::PlanStore(m_ctx.db).loadAll();
    // What came due while the program was not running is listed once, not raised.
    if (starting && m_log) catchUp(all, now);
    for (int order = 0; order < all.size(); ++order) {
        const plans::Plan& plan = all[order];
        if (const auto why = plans::unusableTimes(plan)) {
            // That plan gives nothing; the others go on. It is named once a run.
            if (!m_toldUnusable.contains(plan.APPTID)) unusable.append({plan.APPTID, *why});
            continue;
        }
        if (plan.reminder && plan.reminder->NOTIFTYPE == QLatin1String("N")) {
            // No reminder: the occurrence has its row in the log at its own time.
            if (!m_log) continue;
            for (const plans::Occurrence& o : plans::occurrences(plan, doneUntil, now))
                due.append({o.start, order, occurrenceOf(plan, o.start, o.start), true});
            if (const auto next = plans::firstOccurrenceFrom(plan, listFrom)) extraAt(next->start);
            continue;
        }
        for (double at : plans::remindersBetween(plan, doneUntil, now))
            due.append(
                {at, order, occurrenceOf(plan, at + plan.reminder->NOTIFMIN * dt::kMinute, at), false});
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
    for (Due& d : due) {
        if (m_run.wasRaised(d.occurrence) || m_memory->wasRaised(d.occurrence)) continue;
        d.occurrence.raisedAt = now;
        remember(d.occurrence);
        if (!d.silent) raise(d.occurrence);
    }
    m_memory->setDoneUntil(std::max(doneUntil, now));
    m_run.setDoneUntil(std::max(doneUntil, now));
    if (m_log) followTheLog(all, now, extraAt);
    m_list = list;
    m_first = m_list.first();
    m_rebuiltAt = now;
    m_lastTick = now;
    // A rebuild over a large household reads every plan into memory and lets it go again: the
    // freed heap goes back to the system, so a program that runs all day does not keep it.
    if (all.size() >= kTrimAfterPlans) platform::trimWorkingSet();
    qCDebug(lcReminders).noquote() << "rebuilt from" << all.size() << "plans:" << m_list.NotifCount()
                                   << "pending, first at"
                                   << (m_list.NotifCount() ? dt::formatDateTime(m_list.first())
                                                           : QStringLiteral("none"));
}

// The occurrence is raised: remembered for the run, and in the log when there is one. A log that
// cannot be written (a full disk) never keeps a reminder from being raised.
void Scheduler::remember(ReminderOccurrence& o) {
    m_run.markRaised(o);
    try {
        m_memory->markRaised(o);
        if (m_log)
            if (const auto row = m_log->find(o.APPTID, o.eventTime)) o.LOGID = row->LOGID;
    } catch (const std::exception& e) {
        qCWarning(lcReminders) << "the raising of APPTID" << o.APPTID << "could not be logged:" << e.what();
    }
}

// Every occurrence that came due before the start and has no row in the log was never raised:
// it gets its "M" row, and those of the catch-up period with a reminder are listed, newest first.
// A plan is caught up from its last change only. Nothing is known before the log's first start.
void Scheduler::catchUp(const QList<plans::Plan>& all, double now) {
    if (m_ctx.db.createdTables().contains(QStringLiteral("doselog"))) return;
    const int hours = std::clamp(m_ctx.settings.CatchUpHours, 0, Settings::kMostCatchUpHours);
    const double listFrom = now - hours * dt::kHour;
    QList<ReminderOccurrence> missed;
    try {
        const auto logged = m_log->loggedFrom(now - kCatchUpDays);
        for (const plans::Plan& plan : all) {
            if (!plan.reminder || plans::unusableTimes(plan)) continue;
            const double from = std::max(now - kCatchUpDays, plan.CHANGEDAT);
            const bool silent = plan.reminder->NOTIFTYPE == QLatin1String("N");
            const double before = silent ? 0 : plan.reminder->NOTIFMIN * dt::kMinute;
            QList<double> dues;
            if (silent)
                for (const plans::Occurrence& o : plans::occurrences(plan, from, now))
                    dues << o.start;
            else
                dues = plans::remindersBetween(plan, from, now);
            for (double due : dues) {
                ReminderOccurrence o = occurrenceOf(plan, due + before, due);
                if (logged.contains({o.APPTID, dt::roundToSecond(o.eventTime)})) continue;
                o.raisedAt = now;
                o.LOGID = m_log->markMissed(o, now).LOGID;
                m_run.markRaised(o);
                if (!silent && due >= listFrom) missed << o;
            }
        }
    } catch (const std::exception& e) {
        qCWarning(lcReminders) << "what came due while the program was not running could not be logged:"
                               << e.what();
    }
    if (missed.isEmpty()) return;
    std::stable_sort(missed.begin(), missed.end(), [](const ReminderOccurrence& a, const ReminderOccurrence& b) {
        return a.due != b.due ? a.due > b.due : a.eventTime > b.eventTime;
    });
    for (const ReminderOccurrence& o : missed)
        qCDebug(lcReminders).noquote() << QStringLiteral("missed APPTID %1 due %2")
                                              .arg(o.APPTID)
                                              .arg(dt::formatDateTime(dt::roundToSecond(o.due)));
    m_raiser.showMissed(missed);
}

// What the log asks of the ticks: occurrences not answered in time become "M", a snoozed one
// comes back when its snooze is over, and a dose not answered is reminded again when asked.
void Scheduler::followTheLog(const QList<plans::Plan>& all, double now,
                             const std::function<void(double)>& extraAt) {
    QHash<int, const plans::Plan*> byId;
    for (const plans::Plan& p : all)
        byId.insert(p.APPTID, &p);
    try {
        double nextCheck = 0;
        m_log->markUnconfirmed(all, now, &nextCheck);
        extraAt(nextCheck);
        for (const plans::DoseLogRow& row : m_log->inState(u'Z')) {
            const plans::Plan* plan = byId.value(row.APPTID);
            if (!plan || !plan->reminder) continue;
            if (row.SNOOZEUNTIL > now) {
                extraAt(row.SNOOZEUNTIL);
                continue;
            }
            ReminderOccurrence o =
                occurrenceOf(*plan, row.EVENTTIME, row.EVENTTIME - plan->reminder->NOTIFMIN * dt::kMinute);
            o.LOGID = row.LOGID;
            o.raisedAt = now;
            m_log->raiseAgain(row.LOGID, now);
            m_repeats.erase(row.LOGID);
            qCDebug(lcReminders) << "snooze over for APPTID" << o.APPTID;
            m_raiser.showPopup(o);
        }
        if (!m_ctx.settings.RemindAgain) return;
        const double every = std::max(1, m_ctx.settings.RemindAgainMinutes) * dt::kMinute;
        const int most = std::max(0, m_ctx.settings.RemindAgainTimes);
        for (const plans::DoseLogRow& row : m_log->inState(u'R')) {
            const plans::Plan* plan = byId.value(row.APPTID);
            if (!plan || !plan->dose() || !plan->reminder || !plan->reminder->popup()) continue;
            // Repeats that fell due while the program was not running count as done.
            int& done =
                m_repeats
                    .try_emplace(row.LOGID, std::min(most, static_cast<int>((now - row.RAISEDAT) / every)))
                    .first->second;
            if (done >= most) continue;
            const double next = row.RAISEDAT + (done + 1) * every;
            if (next > now) {
                extraAt(next);
                continue;
            }
            done = std::min(most, static_cast<int>((now - row.RAISEDAT) / every));
            ReminderOccurrence o =
                occurrenceOf(*plan, row.EVENTTIME, row.EVENTTIME - plan->reminder->NOTIFMIN * dt::kMinute);
            o.LOGID = row.LOGID;
            o.raisedAt = now;
            qCDebug(lcReminders) << "reminded again of APPTID" << o.APPTID << "time" << done << "of" << most;
            m_raiser.showPopup(o);
            if (done < most) extraAt(row.RAISEDAT + (done + 1) * every);
        }
    } catch (const std::exception& e) {
        qCWarning(lcReminders) << "the dose log could not be followed:" << e.what();
    }
}

void Scheduler::snoozed(double until) {
    if (m_nextExtra == 0 || until < m_nextExtra) m_nextExtra = until;
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
