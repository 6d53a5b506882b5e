#pragma once
// The wake thread: arms the wake timer for 15 seconds before the next reminder and waits on it
// in 100 ms slices until it fires or the main window stops it.
#include "platform/waketimer.h"

#include <QThread>
#include <atomic>
#include <functional>

namespace vantrel {

// The moment the computer is woken for a reminder pending at a local date-time value: 15 s
// before it, in milliseconds since 1970, universal time.
std::int64_t wakeDueUtcMs(double pendingLocal);

class TMyThread : public QThread {
    Q_OBJECT
public:
    using TimerFactory = std::function<std::unique_ptr<platform::WakeTimer>(std::string&)>;

    // The wake time is handed in before the thread starts; nothing else is shared but the stop flag.
    TMyThread(double pendingLocal, TimerFactory factory);
    std::int64_t dueUtcMs() const { return m_due; }
    void requestStop() { m_stop = true; }

signals:
    // The timer cannot be made: the computer is not woken.
    void timerUnavailable(const QString& reason);
    // The timer was made but cannot be set: the program ends in order.
    void timerNotSet(const QString& error);

protected:
    void run() override;

private:
    const std::int64_t m_due;
    const TimerFactory m_factory;
    std::atomic<bool> m_stop{false};
};

} // namespace vantrel
