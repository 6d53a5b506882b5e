// Desktop notifications over the session bus (org.freedesktop.Notifications).
#include "platform/notifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QFileInfo>
#include <QVariantMap>

namespace vantrel::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr int kCallTimeoutMs = 3000;

// The session's bus where the session has one: named in the environment, or the user's bus in
// the runtime folder. Never one started on demand (an X11 "autolaunch" can hold the start up and
// leave a bus behind that no desktop listens on).
QDBusConnection sessionConnection() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return QDBusConnection::sessionBus();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus")))
        return QDBusConnection::connectToBus(QStringLiteral("unix:path=") + runtime + QStringLiteral("/bus"),
                                             QStringLiteral("vantrel-session"));
    return QDBusConnection(QStringLiteral("vantrel-no-session"));
}

class SessionNotifications : public DesktopNotifications {
    Q_OBJECT
public:
    explicit SessionNotifications(QObject* parent) : DesktopNotifications(parent), m_bus(sessionConnection()) {
        if (!m_bus.isConnected()) return;
        m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                      SLOT(onActionInvoked(uint, QString)));
        m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                      SLOT(onClosed(uint, uint)));
    }

    bool available() override {
        return m_bus.isConnected() && m_bus.interface() && m_bus.interface()->isServiceRegistered(kService);
    }

    bool hasActions() override {
        if (!available()) return false;
        QDBusInterface server(kService, kPath, kInterface, m_bus);
        server.setTimeout(kCallTimeoutMs);
        const QDBusReply<QStringList> caps = server.call(QStringLiteral("GetCapabilities"));
        return caps.isValid() && caps.value().contains(QStringLiteral("actions"));
    }

    quint32 notify(const DesktopNotification& n) override {
        if (!available()) return 0;
        QStringList actions;
        if (!n.actions.isEmpty() && hasActions())
            for (const auto& [key, label] : n.actions)
                actions << key << label;
        QVariantMap hints;
        hints.insert(QStringLiteral("desktop-entry"), n.desktopEntry);
        hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(n.critical ? 2 : 1));
        hints.insert(QStringLiteral("resident"), true);
        QDBusInterface server(kService, kPath, kInterface, m_bus);
        server.setTimeout(kCallTimeoutMs);
        const QDBusReply<uint> id = server.call(QStringLiteral("Notify"), n.appName, uint(0), n.iconName,
                                                n.summary, n.body.toHtmlEscaped(), actions, hints,
                                                int(0)); // no expiry
        return id.isValid() ? id.value() : 0;
    }

    void close(quint32 id) override {
        if (!id || !available()) return;
        QDBusInterface server(kService, kPath, kInterface, m_bus);
        server.setTimeout(kCallTimeoutMs);
        server.call(QDBus::NoBlock, QStringLiteral("CloseNotification"), uint(id));
    }

private:
    QDBusConnection m_bus;

private slots:
    void onActionInvoked(uint id, const QString& key) { emit actionInvoked(id, key); }
    void onClosed(uint id, uint reason) { emit closed(id, reason); }
};

} // namespace

DesktopNotifications* makeDesktopNotifications(QObject* parent) {
    return new SessionNotifications(parent);
}

} // namespace vantrel::platform

#include "notifications_linux.moc"
