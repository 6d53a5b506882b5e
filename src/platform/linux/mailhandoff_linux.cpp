#include "platform/mailhandoff.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace vantrel::platform {

namespace {

// The desktop's mail program, through xdg-email: it opens the user's mail program with the
// message filled in. A recipient is passed as written; the mail program checks it.
class XdgMail : public MailHandOff {
public:
    bool available() const override {
        return !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty();
    }
    int logon(bool) override { return kMapiSuccess; }
    int resolve(const std::string& text, bool, MailRecipient& out) override {
        out = {text, text};
        return kMapiSuccess;
    }
    int send(const std::string& subject, const std::string& body, const std::vector<MailRecipient>& to,
             bool) override {
        QStringList args{QStringLiteral("--utf8")};
        if (!subject.empty()) args << QStringLiteral("--subject") << QString::fromStdString(subject);
        if (!body.empty()) args << QStringLiteral("--body") << QString::fromStdString(body);
        for (const MailRecipient& r : to)
            args << QString::fromStdString(r.address);
        QProcess p;
        p.start(QStringLiteral("xdg-email"), args);
        if (!p.waitForFinished(30000)) {
            p.kill();
            return kMapiFailure;
        }
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? kMapiSuccess : kMapiFailure;
    }
    void logoff() override {}
};

} // namespace

std::unique_ptr<MailHandOff> makeMailHandOff() {
    return std::make_unique<XdgMail>();
}

} // namespace vantrel::platform
