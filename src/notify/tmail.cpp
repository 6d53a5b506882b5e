#include "notify/tmail.h"

#include "base/errors.h"

namespace vantrel {

int TEmail::Logon() {
    // The default profile first; then the mail program may ask the user.
    if (m_mail.logon(false) == platform::kMapiSuccess) return platform::kMapiSuccess;
    return m_mail.logon(true);
}

int TEmail::SendMail() {
    if (!MapiAvail()) throw PlatformError("MAPI services are not available on this system");
    if (Logon() != platform::kMapiSuccess) return platform::kMapiLoginFailure;
    std::vector<platform::MailRecipient> to;
    for (QString& entry : Recipient) {
        if (entry.isEmpty()) continue;
        platform::MailRecipient r;
        int result = m_mail.resolve(entry.toStdString(), false, r);
        if (result == platform::kMapiAmbiguousRecipient || result == platform::kMapiUnknownRecipient)
            result = m_mail.resolve(entry.toStdString(), true, r);
        if (result != platform::kMapiSuccess) continue; // left out of the message
        const QString display = QString::fromStdString(r.name);
        const bool bracketed = entry.contains(QLatin1Char('[')) && entry.contains(QLatin1Char(']'));
        if (bracketed && !display.contains(QLatin1Char('[')) && !display.contains(QLatin1Char(']'))) {
            // An explicit address written in brackets is taken as it stands, brackets removed.
            QString explicitAddress = entry;
            explicitAddress.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
            to.push_back({explicitAddress.toStdString(), explicitAddress.toStdString()});
        } else {
            entry = display;
            to.push_back({r.name, r.address.empty() ? r.name : r.address});
        }
    }
    const int result = m_mail.send(Subject.left(255).toStdString(), Text.toStdString(), to, to.empty());
    m_mail.logoff();
    return result;
}

} // namespace vantrel
