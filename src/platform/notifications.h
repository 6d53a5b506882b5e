#pragma once
// Desktop notifications: the notification server of the user's session, where there is one.
#include <QList>
#include <QObject>
#include <QString>
#include <utility>

namespace vantrel::platform {

struct DesktopNotification {
    QString appName;
    QString iconName;     // a name of the icon theme
    QString desktopEntry; // the desktop file's name, without ".desktop"
    QString summary;
    QString body;         // plain text; escaped for a server that reads markup
    bool critical = false;
    QList<std::pair<QString, QString>> actions; // key and label, offered where the server has actions
};

class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Whether a notification server answers now.
    virtual bool available() = 0;
    // Whether it shows actions on its notifications.
    virtual bool hasActions() = 0;
    // Shows the notification, with no expiry: the server's id, or 0 when the call failed.
    virtual quint32 notify(const DesktopNotification& n) = 0;
    virtual void close(quint32 id) = 0;

    // Why the server closed one: it expired, the person dismissed it, it was closed by a call.
    enum Reason : quint32 { Expired = 1, Dismissed = 2, ClosedByCall = 3, Undefined = 4 };

signals:
    void actionInvoked(quint32 id, const QString& key);
    void closed(quint32 id, quint32 reason);
};

// The session's notifications; where the system has no notification server, one that is never
// available.
DesktopNotifications* makeDesktopNotifications(QObject* parent);

} // namespace vantrel::platform
