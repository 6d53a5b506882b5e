#include "notify/mailsender.h"

#include "core/context.h"
#include "core/errors.h"
#include "core/shared.h"
#include "data/table.h"
#include "notify/tmail.h"


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

MailSender::Job mailJobFor(const Context& ctx, const data::Table& n,
                                    const std::function<void(const QString&)>& tell) {
    const QString from = n.text(QStringLiteral("EMAILFROM"));
    const QString to = n.text(QStringLiteral("EMAILTO"));
    const QString subject = n.text(QStringLiteral("EMAILSUBJECT"));
    const QString body = n.text(QStringLiteral("EMAILMESSAGE"));
    const Settings& s = ctx.settings;
    if (s.UseSMTP) {
        const mail::Server server = mail::parseServer(s.SMTPServer);
        const mail::Login login{s.SMTPUser, s.SMTPPass};
        const mail::Mail m{from, mail::splitSmtpRecipients(to), subject, body};
        return [server, login, m](const std::atomic<bool>& stop) {
            const QString error = mail::sendSmtp(server, login, m, 5, 20, 60, &stop);
            return error.isEmpty() ? QString() : QStringLiteral("Error sending message: ") + error;
        };
    }
    if (to.isEmpty()) {
        tell(QStringLiteral("There must be at least one name in the To box."));
        return {};
    }
    QStringList recipients;
    int count = 0;
    SplitList(to, recipients, count);
    return [recipients, subject, body](const std::atomic<bool>&) {
        auto handOff = platform::makeMailHandOff();
        TEmail email(*handOff);
        email.Recipient = recipients;
        email.Subject = subject;
        email.Text = body;
        try {
            return email.SendMail() == platform::kMapiSuccess ? QString()
                                                              : QStringLiteral("MAPI Sendmail failed.");
        } catch (const Error& e) {
            return e.message();
        }
    };
}

} // namespace vantrel
