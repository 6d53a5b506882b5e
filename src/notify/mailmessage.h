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

// A sender or recipient as written: an address alone, or a display name and the address in angle
// brackets with nothing after them. Nothing when the text is neither, or its address is no plain
// mailbox: such a text never reaches the envelope.
struct Mailbox {
    QString display;
    QString address;
};
std::optional<Mailbox> parseMailbox(const QString& text);

// A line break in the sender, a recipient or the subject would start a header of its own; an
// address that is not one could add to the envelope.
std::optional<QString> headerProblem(const Mail& m);

// The message: Date, Message-ID, From and To (display names in RFC 2047 where not ASCII), Subject
// (the same), MIME-Version and a UTF-8 text body, quoted-printable, so that no line of the
// message is longer than a server takes whatever was typed.
QByteArray buildMessage(const Mail& m, const QDateTime& now);
// Quoted-printable (RFC 2045) of a text in UTF-8 with CR LF line ends, lines of 76 at most.
QByteArray quotedPrintable(const QString& text);

// "host" (port 25) or "host:port"; port 465 means TLS from the start. `caFile` names the
// certificates to trust instead of the system's (a server of one's own).
struct Server {
    QString host;
    int port = 25;
    QString caFile;
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
// Setting `stop` ends the sending soon, between tries or during one. A login always needs TLS,
// and once a server has offered STARTTLS every try needs it: a password or a message is never
// sent in the clear to a server that can encrypt. An address beyond ASCII goes only to a server
// that offers SMTPUTF8.
QString sendSmtp(const Server& server, const Login& login, const Mail& m, int attempts = 5,
                 int connectSeconds = 20, int transferSeconds = 60, const std::atomic<bool>* stop = nullptr);

} // namespace vantrel::mail
