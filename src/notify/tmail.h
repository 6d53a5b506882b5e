#pragma once
// The mail hand-off as the reminders use it: recipients, subject and text handed to the
// desktop's mail program through the platform's MailHandOff.
#include "platform/mailhandoff.h"

#include <QString>
#include <QStringList>

namespace vantrel {

class TEmail {
public:
    explicit TEmail(platform::MailHandOff& mail) : m_mail(mail) {}

    QStringList Recipient;
    QString Subject; // cut to 255 characters when sent
    QString Text;    // the long message text

    bool MapiAvail() const { return m_mail.available(); }
    // 0 on success, else a Simple MAPI error code. Throws PlatformError when there is no mail
    // program at all ("MAPI services are not available on this system").
    int SendMail();

private:
    int Logon();

    platform::MailHandOff& m_mail;
};

} // namespace vantrel
