#include "platform/power.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>

namespace vantrel::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

// logind on the system bus: PrepareForSleep(true) before the sleep, (false) after the resume;
// a "delay" inhibitor for "sleep" holds the sleep back until it is let go.
class LogindPower : public PowerEvents {
    Q_OBJECT
public:
    explicit LogindPower(QObject* parent) : PowerEvents(parent) {
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected()) return;
        m_active = bus.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
                               SLOT(prepareForSleep(bool)));
    }

    bool active() const override { return m_active; }

    void takeInhibitor() override {
        if (!m_active || m_inhibitor.isValid()) return;
        QDBusInterface manager(kService, kPath, kManager, QDBusConnection::systemBus());
        const QDBusReply<QDBusUnixFileDescriptor> reply = manager.call(
            QStringLiteral("Inhibit"), QStringLiteral("sleep"), QStringLiteral("Vantrel Planner"),
            QStringLiteral("Waking the computer before the next reminder"), QStringLiteral("delay"));
        if (reply.isValid()) m_inhibitor = reply.value();
    }

    void releaseInhibitor() override { m_inhibitor = QDBusUnixFileDescriptor(); }
    bool holdsInhibitor() const override { return m_inhibitor.isValid(); }

private slots:
    void prepareForSleep(bool start) {
        if (start)
            emit goingToSleep();
        else
            emit resumed();
    }

private:
    bool m_active = false;
    QDBusUnixFileDescriptor m_inhibitor;
};

} // namespace

PowerEvents* makePowerEvents(QObject* parent) {
    return new LogindPower(parent);
}

} // namespace vantrel::platform

#include "power_linux.moc"
