#include "app/wakecontroller.h"

#include "base/errors.h"
#include "base/logging.h"
#include "core/datetime.h"
#include "core/shared.h"
#include "notify/scheduler.h"
#include "platform/power.h"
#include "session/context.h"
#include "ui/messages.h"

namespace vantrel {

WakeController::WakeController(Context& ctx, std::function<Scheduler*()> scheduler, QWidget* window)
    : QObject(window), m_ctx(ctx), m_scheduler(std::move(scheduler)), m_window(window) {}

WakeController::~WakeController() {
    Stop();
}

void WakeController::watchPower() {
    if (m_power) return;
    m_power = platform::makePowerEvents(this);
    if (!m_power->active()) {
        qCInfo(lcWake) << "no logind: the computer is never woken for a reminder";
        return;
    }
    m_power->takeInhibitor();
    connect(m_power, &platform::PowerEvents::goingToSleep, this, [this] {
        WM_Powerbroadcast(0);
        // Ready: the system may sleep now.
        m_power->releaseInhibitor();
    });
    connect(m_power, &platform::PowerEvents::resumed, this, [this] {
        WM_Powerbroadcast(7);
        m_power->takeInhibitor();
    });
}

void WakeController::WM_Powerbroadcast(int event) {
    Scheduler* scheduler = m_scheduler();
    if (GetOSName() == QLatin1String("Windows 95") || !m_ctx.settings.allowwake || !scheduler ||
        scheduler->firstPending() <= 0)
        return;
    switch (event) {
    case 0:
        Arm();
        break;
    case 2:
    case 3:
    case 6:
    case 7:
    case 8:
        Stop();
        break;
    default:
        break;
    }
}

void WakeController::Arm() {
    const double pending = m_scheduler()->firstPending();
    Stop();
    auto* thread = new TMyThread(pending, m_ctx.hooks.wakeTimerFactory);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &TMyThread::timerUnavailable, this, [this](const QString& reason) {
        // Said once a run: the user allowed waking, and it cannot be done here.
        if (m_problemTold) return;
        m_problemTold = true;
        qCWarning(lcWake).noquote() << "the computer cannot be woken:" << reason;
        emit cannotWake(QStringLiteral("The computer cannot be woken for reminders: %1.").arg(reason));
    });
    connect(thread, &TMyThread::timerNotSet, this, [this](const QString& error) {
        qCWarning(lcWake).noquote() << "the wake timer cannot be set:" << error;
        emit mustEnd(error);
    });
    m_wake = thread;
    WakeArmed = true;
    ++m_threadsMade;
    qCDebug(lcWake).noquote() << "armed for the reminder of" << dt::formatDateTime(pending)
                              << "(15 s before it)";
    thread->start();
    if (!thread->isRunning() && !thread->isFinished()) {
        Messages::warning(m_window, QStringLiteral("Error creating thread."));
        throw PlatformError("Error creating thread.");
    }
}

void WakeController::Stop() {
    if (!WakeArmed) return;
    if (m_wake) {
        m_wake->requestStop();
        m_wake->wait();
    }
    WakeArmed = false;
    qCDebug(lcWake) << "stopped";
}

} // namespace vantrel
