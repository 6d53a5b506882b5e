#pragma once
// What the scheduler remembers of the reminders it has raised, so that none is raised twice:
// the moment up to which everything has been raised, and each reminder raised beyond it (a
// catch-up that failed half-way goes on from there). Kept in memory for a run here; a store of
// the raised reminders keeps it across runs.
#include "plans/reminderoccurrence.h"

#include <QPair>
#include <QSet>

namespace vantrel {

class ReminderMemory {
public:
    virtual ~ReminderMemory() = default;
    // Every reminder before this moment has been raised; 0 before the first rebuild.
    virtual double doneUntil() const = 0;
    virtual void setDoneUntil(double moment) = 0;
    virtual bool wasRaised(const ReminderOccurrence& o) const = 0;
    virtual void markRaised(const ReminderOccurrence& o) = 0;
};

class InMemoryReminders : public ReminderMemory {
public:
    double doneUntil() const override { return m_doneUntil; }
    void setDoneUntil(double moment) override;
    bool wasRaised(const ReminderOccurrence& o) const override {
        return m_raised.contains({o.APPTID, o.due});
    }
    void markRaised(const ReminderOccurrence& o) override { m_raised.insert({o.APPTID, o.due}); }

private:
    double m_doneUntil = 0;
    QSet<QPair<int, double>> m_raised;
};

} // namespace vantrel
