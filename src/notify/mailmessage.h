#pragma once
// One reminder's e-mail: its recipients, the message as it goes over the wire, and the server
// it goes to.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>

namespace vantrel::mail {

struct Mail {
    QString from;
    QStringList to;
    QString subject;
    QString body;
};

// SMTP recipients: split at commas outside double quotes and at semicolons (the reminder page
// asks for semicolons); blanks trimmed, empty pieces left out.
QStringList splitSmtpRecipients(const QString& text);
// The address of a recipient written as `"Name, Other" <a@b>`, or the text itself.
QString addressOf(const QString& recipient);

// A line break in the sender, a recipient or the subject would start a header of its own.
std::optional<QString> headerProblem(const Mail& m);

// The message: Date, Message-ID, From, To, Subject (RFC 2047 where not ASCII), MIME-Version and a
// UTF-8 text body with CR LF line ends.
QByteArray buildMessage(const Mail& m, const QDateTime& now);

// "host" (port 25) or "host:port"; port 465 means TLS from the start.
struct Server {
    QString host;
    int port = 25;
    bool valid() const { return !host.isEmpty() && port > 0 && port < 65536; }
};
Server parseServer(const QString& text);

struct Login {
    QString user;
    QString password;
    // Only both together log in.
    bool given() const { return !user.isEmpty() && !password.isEmpty(); }
};

// Sends over SMTP with up to `attempts` tries; empty on success, else the last error's text.
// Each try is bounded in time, so a dead server costs minutes of the sending worker at most.
// Setting `stop` ends the sending soon, between tries or during one.
QString sendSmtp(const Server& server, const Login& login, const Mail& m, int attempts = 5,
                 int connectSeconds = 20, int transferSeconds = 60, const std::atomic<bool>* stop = nullptr);

} // namespace vantrel::mail
