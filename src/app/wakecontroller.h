#pragma once
// Waking the computer for a reminder: listens to the system's sleep and resume, arms the wake
// thread for the first pending reminder before a sleep, and stops it after. The main window owns
// it for the whole run.
#include "app/wakethread.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace vantrel {

struct Context;
class Scheduler;
namespace platform {
class PowerEvents;
}

class WakeController : public QObject {
    Q_OBJECT
public:
    // `scheduler` gives the scheduler of the moment (there is none while the tables are closed).
    WakeController(Context& ctx, std::function<Scheduler*()> scheduler, QWidget* window);
    ~WakeController() override;

    // Starts listening to logind; without it the program never wakes the computer.
    void watchPower();
    // The system's power events: 0 asks to suspend; 2 and 3 say a suspend was refused; 6, 7 and
    // 8 say the system resumed. Acts only when waking is allowed and a reminder is pending.
    void WM_Powerbroadcast(int event);
    void Arm();
    void Stop();

    TMyThread* wakeThread() const { return m_wake.data(); }
    bool wakeArmed() const { return WakeArmed; }
    int wakeThreadsMade() const { return m_threadsMade; }
    platform::PowerEvents* powerEvents() const { return m_power; }

signals:
    // Waking is allowed and cannot be done here: said once a run.
    void cannotWake(const QString& text);
    // The timer was made but cannot be set: the program ends in order after saying why.
    void mustEnd(const QString& error);

private:
    Context& m_ctx;
    std::function<Scheduler*()> m_scheduler;
    QWidget* m_window;
    platform::PowerEvents* m_power = nullptr;
    QPointer<TMyThread> m_wake;
    bool WakeArmed = false;
    bool m_problemTold = false;
    int m_threadsMade = 0;
};

} // namespace vantrel
