#include "notify/mailsender.h"

#include "base/errors.h"
#include "base/logging.h"
#include "core/shared.h"
#include "notify/tmail.h"
#include "session/context.h"

namespace vantrel {

MailSender::MailSender() : m_worker(new QObject) {
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

MailSender::~MailSender() {
    // A message still being tried gives up at once: the end of the program never waits on a
    // slow server.
    m_stop = true;
    m_thread.quit();
    m_thread.wait();
}

void MailSender::queue(Job job) {
    QMetaObject::invokeMethod(m_worker, [this, job] {
        const QString message = job(m_stop);
        if (!message.isEmpty() && !m_stop)
            QMetaObject::invokeMethod(this, [this, message] { emit failed(message); });
    });
}

namespace {
QString forWhich(const QString& message, const ReminderOccurrence& o) {
    return message + QStringLiteral("\n(the reminder of %1)").arg(o.describe());
}
} // namespace

MailSender::Job mailJobFor(const Context& ctx, const ReminderOccurrence& o,
                           const std::function<void(const QString&)>& tell) {
    const plans::Reminder& n = o.reminder;
    const QString from = n.EMAILFROM, to = n.EMAILTO, subject = n.EMAILSUBJECT, body = n.EMAILMESSAGE;
    const Settings& s = ctx.settings;
    const int apptId = o.APPTID;
    if (s.UseSMTP) {
        const mail::Server server = mail::parseServer(s.SMTPServer);
        const mail::Login login{s.SMTPUser, s.SMTPPass};
        const mail::Mail m{from, mail::splitSmtpRecipients(to), subject, body};
        return [server, login, m, o, apptId](const std::atomic<bool>& stop) {
            qCDebug(lcMail) << "sending the reminder of APPTID" << apptId << "by SMTP to" << server.host
                            << "port" << server.port << "for" << m.to.size() << "recipients";
            const QString error = mail::sendSmtp(server, login, m, 5, 20, 60, &stop);
            if (error.isEmpty()) {
                qCDebug(lcMail) << "sent the reminder of APPTID" << apptId;
                return QString();
            }
            qCWarning(lcMail).noquote() << "the reminder of APPTID" << apptId << "was not sent:" << error;
            return forWhich(QStringLiteral("Error sending message: ") + error, o);
        };
    }
    if (to.isEmpty()) {
        tell(QStringLiteral("There must be at least one name in the To box."));
        return {};
    }
    QStringList recipients;
    int count = 0;
    SplitList(to, recipients, count);
    return [recipients, subject, body, o, apptId](const std::atomic<bool>&) {
        auto handOff = platform::makeMailHandOff();
        TEmail email(*handOff);
        email.Recipient = recipients;
        email.Subject = subject;
        email.Text = body;
        QString failure;
        try {
            if (email.SendMail() != platform::kMapiSuccess) failure = QStringLiteral("MAPI Sendmail failed.");
        } catch (const Error& e) {
            failure = e.message();
        }
        qCDebug(lcMail) << "handed the reminder of APPTID" << apptId
                        << "to the mail program:" << (failure.isEmpty() ? QStringLiteral("done") : failure);
        return failure.isEmpty() ? QString() : forWhich(failure, o);
    };
}

} // namespace vantrel
