#pragma once
// Program runs over one data folder with the scheduler and its dose log, as the program attaches
// them, on a clock the test sets: another Run on the same folder is the program started again.
#include "data/maincursors.h"
#include "notify/scheduler.h"
#include "plans/doselog.h"
#include "session/context.h"
#include "support/fakeclock.h"
#include "support/testsupport.h"

#include <memory>
#include <optional>

namespace vantrel::test {

// What the scheduler asked to raise.
class RecordedReminders : public ReminderRaiser {
public:
    QList<double> shownAt; // the clock when each window was asked for
    QList<int> logIds;
    QList<QList<ReminderOccurrence>> missedLists;
    int mails = 0;
    const FakeClock* clock = nullptr;
    void showPopup(const ReminderOccurrence& o) override;
    void SendRMail(const ReminderOccurrence&) override { ++mails; }
    void showMissed(const QList<ReminderOccurrence>& missed) override { missedLists << missed; }
};

// A moment in March 2026.
double march(int day, int h, int m = 0, int s = 0);

struct Run {
    Context ctx;
    FakeClock* clock;
    std::unique_ptr<data::MainCursors> cursors;
    RecordedReminders popups;
    std::unique_ptr<plans::DoseLog> log;
    std::unique_ptr<plans::DoseLogMemory> memory;
    std::unique_ptr<Scheduler> scheduler;

    // Opens the folder and ticks once at `now`, as the program starts; `settings` may change
    // the settings before.
    Run(const QString& dataDir, double now, const std::function<void(Settings&)>& settings = {});
    void tickAt(double v);
    // A tick every minute up to `until`.
    void minuteTicksUntil(double until);
    QList<plans::DoseLogRow> rows();
    plans::DoseLogRow only();
    std::optional<int> pillsOnHand(int medRef);
};

// Alice Tester takes Amoxicillin every day at 8:00 from 2 March.
struct Household {
    Sandbox box;
    int medicine = -1;
    int plan = -1;

    explicit Household(const QString& notifType = QStringLiteral("P"));
    void count(int onHand, int perDose, int warnDays = 7);
};

} // namespace vantrel::test
