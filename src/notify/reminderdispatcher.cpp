#include "notify/reminderdispatcher.h"

#include "data/profiles.h"
#include "base/errors.h"
#include "base/logging.h"
#include "core/datetime.h"
#include "core/shared.h"
#include "notify/activenotif.h"
#include "notify/missedreminders.h"
#include "plans/doselog.h"
#include "plans/pills.h"
#include "platform/notifications.h"
#include "session/context.h"
#include "ui/messages.h"

#include <QMessageBox>
#include <QSqlQuery>

namespace vantrel {

ReminderMailer::ReminderMailer(Context& ctx, QWidget* window) : m_ctx(ctx), m_window(window) {
    connect(&m_sender, &MailSender::failed, this, &ReminderMailer::tell);
}

void ReminderMailer::sendReminder(const ReminderOccurrence& occurrence) {
    if (auto job = mailJobFor(m_ctx, occurrence, [this](const QString& m) { tell(m); })) m_sender.queue(job);
}

void ReminderMailer::tell(const QString& message) {
    Messages::warningWithoutWaiting(m_window, message);
}

ReminderDispatcher::ReminderDispatcher(Context& ctx, QWidget* window)
    : QObject(nullptr), m_ctx(ctx), m_window(window), m_mail(std::make_unique<ReminderMailer>(ctx, window)),
      m_notifier(platform::makeDesktopNotifications(this)) {
    connect(m_notifier, &platform::DesktopNotifications::actionInvoked, this,
            &ReminderDispatcher::notificationAction);
    connect(m_notifier, &platform::DesktopNotifications::closed, this, &ReminderDispatcher::notificationClosed);
}

ReminderDispatcher::~ReminderDispatcher() {
    for (const auto& w : m_reminders)
        delete w.data();
    // A notification left behind could no longer be answered.
    for (quint32 id : m_notified.keys())
        m_notifier->close(id);
}

void ReminderDispatcher::attach() {
    m_log = std::make_unique<plans::DoseLog>(m_ctx.db);
    m_memory = std::make_unique<plans::DoseLogMemory>(m_ctx.db);
    m_scheduler = std::make_unique<Scheduler>(m_ctx, *this, m_memory.get());
    m_scheduler->setDoseLog(m_log.get());
}

void ReminderDispatcher::tick() {
    try {
        m_scheduler->tick();
        m_tickErrorShown = false;
    } catch (const std::exception& e) {
        // One failing tick must not end the reminders: the next one rebuilds the list, and the
        // same error is not shown again every second.
        m_ctx.NotifsLoaded = false;
        if (!m_tickErrorShown) {
            m_tickErrorShown = true;
            // The tick goes on; reminder windows stay above the box.
            if (QMessageBox* box = Messages::errorWithoutWaiting(m_window, errorText(e))) {
                box->setObjectName(QStringLiteral("tickError"));
                for (TfrmActiveNotif* w : openReminders())
                    w->raise();
            }
        }
    }
}

void ReminderDispatcher::showPopup(const ReminderOccurrence& raised) {
    m_reminders.removeAll(nullptr);
    ReminderOccurrence o = raised;
    o.showPerson = profileCount() > 1;
    if (o.dose()) o.refillWarning = refillWarning(o, true);
    // The window, a desktop notification or both, as the settings ask; without a notification
    // the window is always shown, so no choice can lose a reminder.
    const int as = std::clamp(m_ctx.settings.ShowRemindersAs, 0, 2);
    const bool notified = as != kShowAsWindow && notifyDesktop(o);
    if (notified && as == kShowAsNotification) return;
    // The same occurrence again (reminded again, back from a snooze): its window, if it is open.
    for (TfrmActiveNotif* w : openReminders())
        if (sameOccurrence(w->occurrence(), raised)) {
            w->raiseAgain();
            return;
        }
    auto* w = TfrmActiveNotif::open(m_ctx, o, static_cast<int>(openReminders().size()));
    connect(w, &TfrmActiveNotif::answered, this, &ReminderDispatcher::answer);
    connect(w, &TfrmActiveNotif::snoozed, this, &ReminderDispatcher::snooze);
    m_reminders.append(w);
}

void ReminderDispatcher::showMissed(const QList<ReminderOccurrence>& missed) {
    if (m_missedWindow) m_missedWindow->close();
    QList<ReminderOccurrence> shown = missed;
    const bool several = profileCount() > 1;
    for (ReminderOccurrence& o : shown)
        o.showPerson = several;
    m_missedWindow = new TfrmMissedReminders(shown);
    connect(m_missedWindow, &TfrmMissedReminders::answered, this, [this](int logId, QChar state, double at) {
        runOrSay([&] { m_log->setAnswer(logId, state, at); });
        qCDebug(lcReminders) << "missed log row" << logId << "answered" << state;
        emit logChanged();
    });
    m_missedWindow->show();
    m_missedWindow->raise();
    emit missedAtStart(static_cast<int>(missed.size()));
}

TfrmMissedReminders* ReminderDispatcher::missedWindow() const {
    return m_missedWindow.data();
}

bool ReminderDispatcher::sameOccurrence(const ReminderOccurrence& a, const ReminderOccurrence& b) {
    return a.APPTID == b.APPTID && dt::roundToSecond(a.eventTime) == dt::roundToSecond(b.eventTime);
}

int ReminderDispatcher::profileCount() const {
    return data::profileCount(m_ctx.db);
}

// The row of the occurrence in the log: the one it was raised with, or found (or made) now.
int ReminderDispatcher::logRowOf(const ReminderOccurrence& o) {
    if (o.LOGID >= 0) return o.LOGID;
    return m_log->raise(o, m_ctx.clock->nowValue()).LOGID;
}

void ReminderDispatcher::answer(const ReminderOccurrence& o, QChar state) {
    runOrSay([&] {
        const bool written = m_log->answer(logRowOf(o), state, m_ctx.clock->nowValue());
        qCDebug(lcReminders) << "APPTID" << o.APPTID << "answered" << state
                             << (written ? "" : "(answered before)");
        closeWindowsOf(o);
        if (written && state == u'T' && o.dose()) refillWarning(o, false);
    });
    emit logChanged();
}

void ReminderDispatcher::snooze(const ReminderOccurrence& o, double until) {
    runOrSay([&] {
        m_log->snooze(logRowOf(o), until, m_ctx.clock->nowValue());
        qCDebug(lcReminders).noquote()
            << "APPTID" << o.APPTID << "snoozed until" << dt::formatDateTime(until);
        closeWindowsOf(o);
        if (m_scheduler) m_scheduler->snoozed(until);
    });
    emit logChanged();
}

// An answer that cannot be written (a full disk) is said; the window it came from is gone, and
// the reminder stays raised.
void ReminderDispatcher::runOrSay(const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& e) {
        Messages::errorWithoutWaiting(m_window, errorText(e));
    }
}

void ReminderDispatcher::closeWindowsOf(const ReminderOccurrence& o) {
    for (TfrmActiveNotif* w : openReminders())
        if (sameOccurrence(w->occurrence(), o)) w->close();
    closeNotificationsOf(o);
}

void ReminderDispatcher::dismissAll() {
    for (TfrmActiveNotif* w : openReminders())
        w->close();
    for (quint32 id : m_notified.keys())
        m_notifier->close(id);
    m_notified.clear();
}

bool ReminderDispatcher::snoozeAllowed(const ReminderOccurrence& o) const {
    return o.nextEventTime <= 0 ||
           o.nextEventTime - m_ctx.clock->nowValue() >=
               TfrmActiveNotif::kSnoozeMinutes[0] * dt::kMinute - dt::kSecond / 2;
}

// The notification says what the window says: its first line, then whom it is for, the time
// and the reminder's text, as plain text. A dose can be taken, skipped or snoozed from it, an
// appointment snoozed, where the server shows actions.
bool ReminderDispatcher::notifyDesktop(const ReminderOccurrence& o) {
    closeNotificationsOf(o);
    platform::DesktopNotification n;
    n.appName = QString::fromLatin1(kAppTitle);
    n.iconName = QStringLiteral("vantrel-planner");
    n.desktopEntry = QStringLiteral("vantrel-planner");
    n.summary = TfrmActiveNotif::headline(o);
    QStringList body;
    if (!o.personName.isEmpty()) body << QStringLiteral("For: ") + displayText(o.personName, kShortDisplay);
    body << QStringLiteral("At ") + dt::formatDateTime(dt::roundToSecond(o.eventTime));
    if (!o.reminder.NOTIFTEXT.isEmpty()) body << displayText(o.reminder.NOTIFTEXT, kLongDisplay);
    if (!o.refillWarning.isEmpty()) body << o.refillWarning;
    n.body = body.join(QLatin1Char('\n'));
    n.critical = o.dose();
    if (o.dose()) n.actions = {{QStringLiteral("taken"), QStringLiteral("Taken")}, {QStringLiteral("skip"), QStringLiteral("Skip")}};
    if (snoozeAllowed(o)) n.actions.append({QStringLiteral("snooze"), QStringLiteral("Snooze 10 min")});
    const quint32 id = m_notifier->notify(n);
    if (!id) {
        qCDebug(lcReminders) << "no desktop notification for APPTID" << o.APPTID;
        return false;
    }
    m_notified.insert(id, o);
    return true;
}

void ReminderDispatcher::closeNotificationsOf(const ReminderOccurrence& o) {
    for (auto it = m_notified.begin(); it != m_notified.end();) {
        if (sameOccurrence(it.value(), o)) {
            m_notifier->close(it.key());
            it = m_notified.erase(it);
        } else {
            ++it;
        }
    }
}

// An action on one of our notifications answers as the window's button does.
void ReminderDispatcher::notificationAction(quint32 id, const QString& key) {
    if (!m_notified.contains(id)) return;
    const ReminderOccurrence o = m_notified.value(id);
    if (key == QLatin1String("taken") && o.dose()) {
        answer(o, u'T');
    } else if (key == QLatin1String("skip") && o.dose()) {
        answer(o, u'S');
    } else if (key == QLatin1String("snooze") && snoozeAllowed(o)) {
        const double until = m_ctx.clock->nowValue() + kNotificationSnooze * dt::kMinute;
        snooze(o, o.nextEventTime > 0 ? std::min(until, o.nextEventTime) : until);
    }
}

// The person dismissed the notification (or it expired): its window goes too.
void ReminderDispatcher::notificationClosed(quint32 id, quint32 reason) {
    if (!m_notified.contains(id)) return;
    const ReminderOccurrence o = m_notified.take(id);
    if (reason == platform::DesktopNotifications::Expired || reason == platform::DesktopNotifications::Dismissed)
        for (TfrmActiveNotif* w : openReminders())
            if (sameOccurrence(w->occurrence(), o)) w->close();
}

// Below its warning, a counted medicine says so: in the dose's window, and once a day in the
// notification area.
QString ReminderDispatcher::refillWarning(const ReminderOccurrence& o, bool forWindow) {
    const int medRef = m_ctx.db.isOpen() ? medicineOf(o.APPTID) : -1;
    if (medRef < 0) return {};
    const auto count = plans::pillCount(m_ctx.db, o.PATIENTREF, medRef);
    if (!count || !count->low()) return {};
    const QString text = plans::refillText(o.itemName, *count);
    const QDate today = m_ctx.clock->now().date();
    const auto key = qMakePair(o.PATIENTREF, medRef);
    if (m_refillToldOn.value(key) != today) {
        m_refillToldOn.insert(key, today);
        emit refillNeeded(text);
    }
    return forWindow ? text : QString();
}

int ReminderDispatcher::medicineOf(int apptId) const {
    QSqlQuery& q = m_ctx.db.run(QStringLiteral("SELECT MEDREF FROM planlist WHERE APPTID = ?"), {apptId});
    const int medRef = q.next() ? q.value(0).toInt() : -1;
    q.finish();
    return medRef;
}

void ReminderDispatcher::SendRMail(const ReminderOccurrence& occurrence) {
    if (m_mail) m_mail->sendReminder(occurrence);
}

void ReminderDispatcher::planUnusable(int apptId, const QString& why) {
    QString what = QStringLiteral("A plan");
    QSqlQuery& q = m_ctx.db.run(
        QStringLiteral("SELECT p.APPTTYPE, m.NAME, d.FIRSTNAME, d.LASTNAME, pt.NAME FROM planlist p "
                       "LEFT JOIN medicine m ON m.MEDREF = p.MEDREF LEFT JOIN doctor d ON d.DRREF = p.DRREF "
                       "LEFT JOIN patient pt ON pt.PATIENTREF = p.PATIENTREF WHERE p.APPTID = ?"),
        {apptId});
    if (q.next()) {
        const QString person = displayText(q.value(4).toString(), kShortDisplay);
        what = q.value(0).toString() == QLatin1String("M")
                   ? QStringLiteral("The dosing of %1 for %2")
                         .arg(displayText(q.value(1).toString(), kShortDisplay), person)
                   : QStringLiteral("The appointment with Dr. %1 %2 for %3")
                         .arg(displayText(q.value(2).toString(), kShortDisplay),
                              displayText(q.value(3).toString(), kShortDisplay), person);
    }
    q.finish();
    const QString text =
        QStringLiteral("%1 gives no reminder: %2. Edit the plan or remove it.").arg(what, why);
    if (tellWithoutWaiting)
        tellWithoutWaiting(text);
    else
        Messages::warningWithoutWaiting(m_window, text);
}

QList<TfrmActiveNotif*> ReminderDispatcher::openReminders() const {
    QList<TfrmActiveNotif*> out;
    for (const auto& w : m_reminders)
        if (w) out << w.data();
    return out;
}

} // namespace vantrel
