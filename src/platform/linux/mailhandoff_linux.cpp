#include "platform/mailaddress.h"
#include "platform/mailhandoff.h"

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace vantrel::platform {

namespace {

// A mailto: address (RFC 6068) built here, whole and percent-encoded, and handed to xdg-email as
// its one argument. Nothing a person typed ever becomes an argument of its own, so no text can
// pass as an option of the tool ("--attach", "--help") or as a parameter of the address.
QByteArray mailtoAddress(const std::string& subject, const std::string& body,
                         const std::vector<MailRecipient>& to) {
    QByteArrayList addresses;
    for (const MailRecipient& r : to)
        addresses << QUrl::toPercentEncoding(QString::fromStdString(r.address), "@");
    QByteArrayList fields;
    const auto field = [&](const char* name, const std::string& text) {
        if (text.empty()) return;
        // Line breaks in a mailto: body are written as CR LF.
        QString t = QString::fromStdString(text);
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        fields << QByteArray(name) + '=' + QUrl::toPercentEncoding(t);
    };
    field("subject", subject);
    field("body", body);
    QByteArray out = "mailto:" + addresses.join(',');
    if (!fields.isEmpty()) out += '?' + fields.join('&');
    return out;
}

// The desktop's mail program, through xdg-email: it opens the user's mail program with the
// message filled in.
class XdgMail : public MailHandOff {
public:
    bool available() const override {
        return !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty();
    }
    int logon(bool) override { return kMapiSuccess; }
    // Only a plain address is one: anything else is left out of the message.
    int resolve(const std::string& text, bool, MailRecipient& out) override {
        if (!mailboxProblem(text).empty()) return kMapiUnknownRecipient;
        out = {text, text};
        return kMapiSuccess;
    }
    int send(const std::string& subject, const std::string& body, const std::vector<MailRecipient>& to,
             bool) override {
        for (const MailRecipient& r : to)
            if (!mailboxProblem(r.address).empty()) return kMapiFailure;
        QProcess p;
        p.start(QStringLiteral("xdg-email"), {QString::fromLatin1(mailtoAddress(subject, body, to))});
        if (!p.waitForFinished(30000)) {
            p.kill();
            return kMapiFailure;
        }
        // The tool says how it is used, and ends well, when it opened nothing.
        const QByteArray said = p.readAllStandardOutput();
        if (said.startsWith("xdg-email -") || said.contains("Usage:")) return kMapiFailure;
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? kMapiSuccess : kMapiFailure;
    }
    void logoff() override {}
};

} // namespace

std::unique_ptr<MailHandOff> makeMailHandOff() {
    return std::make_unique<XdgMail>();
}

} // namespace vantrel::platform
