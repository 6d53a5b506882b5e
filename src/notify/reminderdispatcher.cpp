#include "notify/reminderdispatcher.h"

#include "base/errors.h"
#include "core/shared.h"
#include "notify/activenotif.h"
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
    : QObject(nullptr), m_ctx(ctx), m_window(window), m_mail(std::make_unique<ReminderMailer>(ctx, window)) {}

ReminderDispatcher::~ReminderDispatcher() {
    for (const auto& w : m_reminders)
        delete w.data();
}

void ReminderDispatcher::attach() {
    m_scheduler = std::make_unique<Scheduler>(m_ctx, *this);
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

void ReminderDispatcher::showPopup(const ReminderOccurrence& occurrence) {
    m_reminders.removeAll(nullptr);
    m_reminders.append(TfrmActiveNotif::open(m_ctx, occurrence));
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
