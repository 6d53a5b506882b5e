#pragma once
// Raises what the scheduler finds due: it runs the reminder timer's tick, opens the pop-up
// windows and keeps them, and hands e-mail reminders to the mail transport.
#include "notify/mailsender.h"
#include "notify/scheduler.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QWidget;

namespace vantrel {

class TfrmActiveNotif;
class TfrmMissedReminders;
namespace platform {
class DesktopNotifications;
}
namespace plans {
class DoseLog;
class DoseLogMemory;
} // namespace plans

// Sends the e-mail of one reminder. Without a transport no e-mail goes out.
class MailTransport {
public:
    virtual ~MailTransport() = default;
    virtual void sendReminder(const ReminderOccurrence& occurrence) = 0;
};

// The program's transport: the reminder's e-mail goes to the sending worker, and what failed is
// shown over the main window without holding anything up.
class ReminderMailer : public QObject, public MailTransport {
    Q_OBJECT
public:
    ReminderMailer(Context& ctx, QWidget* window);
    void sendReminder(const ReminderOccurrence& occurrence) override;
    MailSender& sender() { return m_sender; }

private:
    void tell(const QString& message);

    Context& m_ctx;
    QWidget* m_window;
    MailSender m_sender;
};

class ReminderDispatcher : public QObject, public ReminderRaiser {
    Q_OBJECT
public:
    // ShowRemindersAs: the program's window, a desktop notification, or both.
    enum { kShowAsWindow = 0, kShowAsNotification = 1, kShowAsBoth = 2 };
    // A snooze from a notification: ten minutes, never past the plan's next occurrence.
    static constexpr int kNotificationSnooze = 10;

    // Errors of a tick are shown over `window`.
    ReminderDispatcher(Context& ctx, QWidget* window);
    ~ReminderDispatcher() override;

    // A new scheduler for the data store just opened.
    void attach();
    Scheduler* scheduler() const { return m_scheduler.get(); }

    // One tick of the reminder timer. A failing tick is shown once and marks the pending list
    // out of date, so the next tick rebuilds it; reminders go on.
    void tick();

    void showPopup(const ReminderOccurrence& occurrence) override;
    // At start: the reminders missed while the program was not running, in one window.
    void showMissed(const QList<ReminderOccurrence>& missed) override;
    TfrmMissedReminders* missedWindow() const;
    // What the person did in a reminder window, written to the dose log; every window of that
    // occurrence closes.
    void answer(const ReminderOccurrence& occurrence, QChar state);
    void snooze(const ReminderOccurrence& occurrence, double until);
    // "Dismiss All Reminders": every reminder window and notification closes; the reminders
    // stay raised.
    void dismissAll();
    // The desktop's notifications, where the settings ask for them and a server is there.
    platform::DesktopNotifications* notifications() const { return m_notifier; }
    // The notifications shown now, by the server's id.
    QList<quint32> openNotifications() const { return m_notified.keys(); }
    plans::DoseLog* doseLog() const { return m_log.get(); }
    void SendRMail(const ReminderOccurrence& occurrence) override;
    void planUnusable(int apptId, const QString& why) override;
    // How a warning reaches the user without holding the tick up.
    std::function<void(const QString&)> tellWithoutWaiting;
    QList<TfrmActiveNotif*> openReminders() const;

    void setMailTransport(std::unique_ptr<MailTransport> transport) { m_mail = std::move(transport); }
    MailTransport* mailTransport() const { return m_mail.get(); }

signals:
    // A counted medicine runs low: said in the notification area, once a day.
    void refillNeeded(const QString& text);
    // A reminder was answered or snoozed: the log holds something new.
    void logChanged();
    // So many reminders came due while the program was not running: said in the notification area.
    void missedAtStart(int count);

private:
    static bool sameOccurrence(const ReminderOccurrence& a, const ReminderOccurrence& b);
    int profileCount() const;
    int logRowOf(const ReminderOccurrence& o);
    int medicineOf(int apptId) const;
    void closeWindowsOf(const ReminderOccurrence& o);
    // Sends the reminder as a desktop notification; false when it could not be shown.
    bool notifyDesktop(const ReminderOccurrence& o);
    void closeNotificationsOf(const ReminderOccurrence& o);
    void notificationAction(quint32 id, const QString& key);
    void notificationClosed(quint32 id, quint32 reason);
    bool snoozeAllowed(const ReminderOccurrence& o) const;
    void runOrSay(const std::function<void()>& work);
    QString refillWarning(const ReminderOccurrence& o, bool forWindow);

    Context& m_ctx;
    QWidget* m_window;
    std::unique_ptr<plans::DoseLog> m_log;
    std::unique_ptr<plans::DoseLogMemory> m_memory;
    std::unique_ptr<Scheduler> m_scheduler;
    QHash<QPair<int, int>, QDate> m_refillToldOn;
    std::unique_ptr<MailTransport> m_mail;
    QList<QPointer<TfrmActiveNotif>> m_reminders;
    QPointer<TfrmMissedReminders> m_missedWindow;
    platform::DesktopNotifications* m_notifier;
    QHash<quint32, ReminderOccurrence> m_notified;
    bool m_tickErrorShown = false;
};

} // namespace vantrel
