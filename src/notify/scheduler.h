#pragma once
// Decides when reminders come due and raises each one once, for every profile: late rather than
// never (after a sleep, a failed tick or a spell of disabled reminders), never twice.
#include "notify/notiflist.h"

#include <QSet>
#include <QString>
#include <atomic>

namespace vantrel {

struct Context;
namespace data {
class Table;
}

// What a pop-up window needs of the plan row and its reminder row.
struct PopupRequest {
    int APPTID = -1;
    QString APPTTYPE;
    int DRREF = -1;
    int MEDREF = -1;
    int NOTIFMIN = 0;
    QString NOTIFTEXT;
    bool PLAYAUDIO = false;
    QString AUDIOFILE;
    double eventTime = 0; // the appointment or dose itself
};

class ReminderRaiser {
public:
    virtual ~ReminderRaiser() = default;
    virtual void showPopup(const PopupRequest& request) = 0;
    // Sends the e-mail of the reminder row on which the cursor stands.
    virtual void SendRMail(data::Table& tbnotif2) = 0;
    // A plan whose times no rule can use: it gives no reminder. Said once a run for each plan.
    virtual void planUnusable(int apptId, const QString& why) {
        Q_UNUSED(apptId);
        Q_UNUSED(why);
    }
};

class Scheduler {
public:
    Scheduler(Context& ctx, data::Table& tbplanlist4, data::Table& tbnotif2, ReminderRaiser& raiser);

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

    // The list is rebuilt at least this often, so a reminder enters it before its time; and at
    // once when the clock jumps by more than kClockJump between two ticks.
    static constexpr double kRebuildEvery = 1.0 / 24.0;
    static constexpr double kClockJump = 1.0 / 1440.0;

private:
    bool listOutOfDate(double now) const;
    void raise(int apptId, double at);

    Context& m_ctx;
    data::Table& m_plans;
    data::Table& m_notifs;
    ReminderRaiser& m_raiser;
    NotifList m_list;
    std::atomic<double> m_first{0};

    bool m_started = false;
    double m_doneUntil = 0; // every reminder before this moment has been raised
    double m_rebuiltAt = 0;
    double m_lastTick = 0;
    // Raised by a catch-up that failed half-way: the next one skips them.
    QSet<QPair<int, double>> m_raisedEarly;
    QSet<int> m_toldUnusable;
    int m_rebuilds = 0;
};

} // namespace vantrel
