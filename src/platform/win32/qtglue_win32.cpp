// The Windows build's Qt face of the platform services that are not plain Qt: the single
// instance, the power events and the end of the session, each a thin QObject over the plain
// Windows side. Its hidden windows are served by Qt's own message loop on the GUI thread.
#include "platform/notifications.h"
#include "platform/power.h"
#include "platform/sessionend.h"
#include "platform/singleinstance.h"
#include "platform/win32/instance_win32.h"
#include "platform/win32/systemevents_win32.h"

#include <QLocalServer>
#include <QLockFile>
#include <QMetaObject>

namespace vantrel::platform {

namespace {

// The named objects, owned by the SingleInstance as its child.
class NamedInstanceHolder : public QObject {
public:
    NamedInstanceHolder(const QString& name, SingleInstance* owner)
        : QObject(owner), instance(name.toStdString()) {
        // Posted by a later start; the signal is raised from the message loop, never nested.
        instance.onActivation([owner] {
            QMetaObject::invokeMethod(owner, &SingleInstance::activationRequested, Qt::QueuedConnection);
        });
    }
    win32::NamedInstance instance;
};

NamedInstanceHolder* holderOf(SingleInstance& owner) {
    return owner.findChild<NamedInstanceHolder*>(QString(), Qt::FindDirectChildrenOnly);
}

// The broadcasts of standby and resume. Windows waits for the answer to each before it goes on,
// and the wake timer is armed on a thread of its own, so there is no delay to hold.
class WindowsPower : public PowerEvents {
    Q_OBJECT
public:
    explicit WindowsPower(QObject* parent) : PowerEvents(parent) {
        m_events.onPower = [this](win32::PowerChange change) {
            if (change == win32::PowerChange::GoingToSleep)
                emit goingToSleep();
            else if (change == win32::PowerChange::Resumed)
                emit resumed();
        };
    }
    bool active() const override { return m_events.window() != nullptr; }
    void takeInhibitor() override {}
    void releaseInhibitor() override {}
    bool holdsInhibitor() const override { return false; }

private:
    win32::SystemEvents m_events;
};

// The end of the session, as the hidden window hears it.
class SessionEndListener : public QObject {
public:
    explicit SessionEndListener(TerminationWatcher* owner) : QObject(owner) {
        m_events.onSessionEnd = [owner] { emit owner->terminationRequested(); };
    }

private:
    win32::SystemEvents m_events;
};

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

SingleInstance::~SingleInstance() = default;

// Windows keeps no files for the instance: its kernel objects carry the name.
QString SingleInstance::lockPath() const {
    return m_name;
}
QString SingleInstance::socketPath() const {
    return m_name + QStringLiteral(".Window");
}

bool SingleInstance::tryBecomePrimary() {
    if (holderOf(*this)) return true;
    auto* holder = new NamedInstanceHolder(m_name, this);
    if (holder->instance.claim()) return true;
    delete holder;
    return false;
}

void SingleInstance::onConnection() {}

bool SingleInstance::activateRunning(int) {
    return win32::NamedInstance(m_name.toStdString()).activateRunning();
}

PowerEvents* makePowerEvents(QObject* parent) {
    return new WindowsPower(parent);
}

namespace {
// Windows has no notification server of this kind: the reminder window is always shown.
class NoNotifications : public DesktopNotifications {
public:
    using DesktopNotifications::DesktopNotifications;
    bool available() override { return false; }
    bool hasActions() override { return false; }
    quint32 notify(const DesktopNotification&) override { return 0; }
    void close(quint32) override {}
};
} // namespace

DesktopNotifications* makeDesktopNotifications(QObject* parent) {
    return new NoNotifications(parent);
}

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {
    new SessionEndListener(this);
}

TerminationWatcher::~TerminationWatcher() = default;

} // namespace vantrel::platform

#include "qtglue_win32.moc"
