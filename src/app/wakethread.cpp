#include "app/wakethread.h"

#include "core/datetime.h"

namespace vantrel {

std::int64_t wakeDueUtcMs(double pendingLocal) {
    return dt::toQDateTime(pendingLocal).toMSecsSinceEpoch() - 15000;
}

TMyThread::TMyThread(double pendingLocal, TimerFactory factory)
    : m_due(wakeDueUtcMs(pendingLocal)), m_factory(factory ? std::move(factory) : platform::makeWakeTimer) {}

void TMyThread::run() {
    std::string reason;
    const auto timer = m_factory(reason);
    if (!timer) {
        emit timerUnavailable(QString::fromStdString(reason));
        return;
    }
    std::string error;
    if (!timer->arm(m_due, error)) {
        emit timerNotSet(QString::fromStdString(error));
        return;
    }
    while (!m_stop)
        if (timer->wait(100)) break;
}

} // namespace vantrel
