#pragma once
// Decides when reminders come due and raises each one once, for every profile: late rather than
// never (after a sleep, a failed tick or a spell of disabled reminders), never twice.
#include "notify/notiflist.h"
#include "plans/remindermemory.h"
#include "plans/reminderoccurrence.h"

#include <QList>
#include <QSet>
#include <QString>
#include <atomic>
#include <functional>
#include <map>
#include <memory>

namespace vantrel {

struct Context;
namespace plans {
class DoseLog;
struct Plan;
} // namespace plans

class ReminderRaiser {
public:
    virtual ~ReminderRaiser() = default;
    // A reminder of type "P" or "B": its window.
    virtual void showPopup(const ReminderOccurrence& o) = 0;
    // A reminder of type "E" or "B": its e-mail (after the window of a "B" one).
    virtual void SendRMail(const ReminderOccurrence& o) = 0;
    // At start: the reminders that came due while the program was not running, in the catch-up
    // period, newest first. Each has its "M" row in the log already.
    virtual void showMissed(const QList<ReminderOccurrence>& missed) { Q_UNUSED(missed); }
    // A plan whose times no rule can use: it gives no reminder. Said once a run for each plan.
    virtual void planUnusable(int apptId, const QString& why) {
        Q_UNUSED(apptId);
        Q_UNUSED(why);
    }
};

class Scheduler {
public:
    // Without a memory of its own the scheduler remembers for the run only.
    Scheduler(Context& ctx, ReminderRaiser& raiser, ReminderMemory* memory = nullptr);

    // One tick of the reminder timer. A quiet tick compares the clock with the first entry and
    // touches no table. Errors of the tables are thrown to the caller, which shows them; the
    // next tick tries again and raises, late, what fell due meanwhile.
    void tick();
    // Raises every reminder that fell due since the last tick that succeeded, then lists the
    // pending ones from now on.
    void rebuild();

    const NotifList& list() const { return m_list; }
    // The earliest pending reminder (0 when none); safe to read from another thread.
    double firstPending() const { return m_first.load(); }
    // How many times the list has been rebuilt, for the bench.
    int rebuildCount() const { return m_rebuilds; }
    ReminderMemory& memory() { return *m_memory; }
    // With a dose log the scheduler also logs plans without a reminder at their time, marks what
    // was not answered in time, brings snoozed reminders back and reminds again when asked.
    void setDoseLog(plans::DoseLog* log) { m_log = log; }
    // A reminder was snoozed until then: a tick at that moment brings it back.
    void snoozed(double until);

    // The list is rebuilt at least this often, so a reminder enters it before its time; and at
    // once when the clock jumps by more than kClockJump between two ticks.
    static constexpr double kRebuildEvery = 1.0 / 24.0;
    static constexpr double kClockJump = 1.0 / 1440.0;
    // How far back the start looks for occurrences that came due unseen: those in the catch-up
    // period are listed, the older ones only get their "M" rows, so the history is whole.
    static constexpr double kCatchUpDays = 90;

private:
    bool listOutOfDate(double now) const;
    void raise(const ReminderOccurrence& o);
    void remember(ReminderOccurrence& o);
    ReminderOccurrence occurrenceOf(const plans::Plan& plan, double eventTime, double due) const;
    void catchUp(const QList<plans::Plan>& all, double now);
    void followTheLog(const QList<plans::Plan>& all, double now, const std::function<void(double)>& extraAt);

    Context& m_ctx;
    ReminderRaiser& m_raiser;
    std::unique_ptr<ReminderMemory> m_ownMemory;
    ReminderMemory* m_memory;
    NotifList m_list;
    std::atomic<double> m_first{0};

    bool m_started = false;
    double m_rebuiltAt = 0;
    double m_lastTick = 0;
    QSet<int> m_toldUnusable;
    InMemoryReminders m_run; // what this run raised, whatever the memory could keep
    plans::DoseLog* m_log = nullptr;
    double m_nextExtra = 0;       // the next moment the log asks a rebuild for; 0 when none
    std::map<int, int> m_repeats; // reminders again, by log row: how many done
    int m_rebuilds = 0;
};

} // namespace vantrel
