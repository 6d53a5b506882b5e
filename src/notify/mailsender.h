#pragma once
// Sends reminder e-mail on a worker of its own, one message at a time in the order they fell
// due, so that a slow or dead server never holds up a reminder. What failed comes back as the
// text to show the user.
#include "notify/mailmessage.h"
#include "plans/reminderoccurrence.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>

namespace vantrel {

struct Context;

class MailSender : public QObject {
    Q_OBJECT
public:
    MailSender();
    ~MailSender() override;

    // A job returns the text to show, empty when all went well; it gives up soon once `stop` is
    // set, as it is when the program ends.
    using Job = std::function<QString(const std::atomic<bool>& stop)>;
    // Runs the job on the worker, after those queued before it.
    void queue(Job job);

signals:
    void failed(const QString& message);

private:
    QThread m_thread;
    QObject* m_worker;
    std::atomic<bool> m_stop{false};
};

// The job for one reminder, by the settings' method: SMTP, or the hand-off to the desktop's mail
// program. Returns nothing and shows its message itself (through `tell`) when the reminder can be
// refused before anything is sent. A failure names the reminder it was for.
MailSender::Job mailJobFor(const Context& ctx, const ReminderOccurrence& occurrence,
                           const std::function<void(const QString&)>& tell);

} // namespace vantrel
