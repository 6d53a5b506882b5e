#pragma once
// Decides when reminders come due and raises each one once, for every profile.
#include "notify/notiflist.h"

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
};

class Scheduler {
public:
    Scheduler(Context& ctx, data::Table& tbplanlist4, data::Table& tbnotif2, ReminderRaiser& raiser);

    // One tick of the reminder timer. Errors of the tables are thrown to the caller, which
    // shows them; the list is then marked out of date so the next tick rebuilds it.
    void tick();
    void rebuild();

    const NotifList& list() const { return m_list; }
    // The earliest pending reminder (0 when none); safe to read from another thread.
    double firstPending() const { return m_first.load(); }

private:
    void raise(const NotifEntry& entry);

    Context& m_ctx;
    data::Table& m_plans;
    data::Table& m_notifs;
    ReminderRaiser& m_raiser;
    NotifList m_list;
    std::atomic<double> m_first{0};
};

} // namespace vantrel
