#include "notify/reminderdispatcher.h"

#include "app/messages.h"
#include "core/context.h"
#include "core/errors.h"
#include "data/maincursors.h"
#include "notify/activenotif.h"

#include <QMessageBox>

namespace vantrel {

ReminderMailer::ReminderMailer(Context& ctx, QWidget* window) : m_ctx(ctx), m_window(window) {
    connect(&m_sender, &MailSender::failed, this, &ReminderMailer::tell);
}

void ReminderMailer::sendReminder(data::Table& tbnotif2) {
    if (auto job = mailJobFor(m_ctx, tbnotif2, [this](const QString& m) { tell(m); })) m_sender.queue(job);
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

void ReminderDispatcher::attach(data::MainCursors& cursors) {
    m_scheduler = std::make_unique<Scheduler>(m_ctx, cursors.tbplanlist4, cursors.tbnotif2, *this);
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

void ReminderDispatcher::showPopup(const PopupRequest& request) {
    m_reminders.removeAll(nullptr);
    m_reminders.append(TfrmActiveNotif::open(m_ctx, request));
}

void ReminderDispatcher::SendRMail(data::Table& tbnotif2) {
    if (m_mail) m_mail->sendReminder(tbnotif2);
}

QList<TfrmActiveNotif*> ReminderDispatcher::openReminders() const {
    QList<TfrmActiveNotif*> out;
    for (const auto& w : m_reminders)
        if (w) out << w.data();
    return out;
}

} // namespace vantrel
