#include "notify/mailmessage.h"

#include "base/logging.h"
#include "notify/smtptry.h"
#include "platform/mailaddress.h"
#include "platform/qt/module.h"

#include <QLocale>
#include <QUuid>
#include <cstring>

namespace vantrel::mail {

QStringList splitSmtpRecipients(const QString& text) {
    QStringList out;
    QString piece;
    bool quoted = false;
    const auto flush = [&] {
        if (!piece.trimmed().isEmpty()) out << piece.trimmed();
        piece.clear();
    };
    for (QChar c : text) {
        if (c == u'"') quoted = !quoted;
        if (!quoted && (c == u',' || c == u';')) {
            flush();
            continue;
        }
        piece += c;
    }
    flush();
    return out;
}

QString addressOf(const QString& recipient) {
    const int open = recipient.lastIndexOf(QLatin1Char('<'));
    const int close = recipient.lastIndexOf(QLatin1Char('>'));
    if (open >= 0 && close > open) return recipient.mid(open + 1, close - open - 1).trimmed();
    return recipient.trimmed();
}

namespace {
bool hasBreak(const QString& s) {
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

bool isAscii(const QString& s) {
    for (QChar c : s)
        if (c.unicode() > 126 || (c.unicode() < 32 && c != u'\t')) return false;
    return true;
}

// RFC 2047: words of base64 UTF-8, each at most 75 characters, never splitting a character.
QByteArray encodedWords(const QString& text) {
    if (isAscii(text)) return text.toUtf8();
    QByteArrayList words;
    QString chunk;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        QString next = chunk + c;
        if (c.isHighSurrogate() && i + 1 < text.size()) next += text[++i];
        if (next.toUtf8().size() > 45) {
            words << "=?UTF-8?B?" + chunk.toUtf8().toBase64() + "?=";
            chunk = next.mid(chunk.size());
        } else {
            chunk = next;
        }
    }
    if (!chunk.isEmpty()) words << "=?UTF-8?B?" + chunk.toUtf8().toBase64() + "?=";
    return words.join("\r\n ");
}

// A display name as a header holds it: as it is when it is plain, quoted when it has specials,
// encoded when it is not ASCII.
QByteArray displayName(const QString& name) {
    if (!isAscii(name)) return encodedWords(name);
    static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
    bool plain = true;
    for (QChar c : name)
        plain = plain && !specials.contains(c);
    if (plain) return name.toUtf8();
    QString quoted = name;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return '"' + quoted.toUtf8() + '"';
}

QByteArray headerMailbox(const QString& text) {
    const auto box = parseMailbox(text);
    if (!box) return text.toUtf8(); // refused before sending; never reaches a server
    if (box->display.isEmpty()) return box->address.toUtf8();
    return displayName(box->display) + " <" + box->address.toUtf8() + ">";
}

QString lineEnds(const QString& text) {
    QString t = text;
    return t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
} // namespace

std::optional<Mailbox> parseMailbox(const QString& text) {
    const QString t = text.trimmed();
    Mailbox box;
    const int open = t.indexOf(QLatin1Char('<'));
    if (open < 0) {
        box.address = t;
    } else {
        // Nothing may follow the closing bracket, and the name holds no bracket of its own.
        if (!t.endsWith(QLatin1Char('>')) || t.indexOf(QLatin1Char('>')) != t.size() - 1 ||
            t.lastIndexOf(QLatin1Char('<')) != open)
            return std::nullopt;
        box.address = t.mid(open + 1, t.size() - open - 2).trimmed();
        box.display = t.left(open).trimmed();
        if (box.display.size() >= 2 && box.display.startsWith(QLatin1Char('"')) &&
            box.display.endsWith(QLatin1Char('"')))
            box.display = box.display.mid(1, box.display.size() - 2)
                              .replace(QStringLiteral("\\\""), QStringLiteral("\""));
    }
    if (!platform::mailboxProblem(box.address.toStdString()).empty()) return std::nullopt;
    return box;
}

std::optional<QString> headerProblem(const Mail& m) {
    bool broken = hasBreak(m.from) || hasBreak(m.subject);
    for (const QString& r : m.to)
        broken = broken || hasBreak(r);
    if (broken) return QStringLiteral("a line break in the sender, a recipient or the subject");
    for (const QString& a : QStringList{m.from} + m.to)
        if (!parseMailbox(a)) {
            const std::string why = platform::mailboxProblem(addressOf(a).toStdString());
            return QStringLiteral("\"%1\" is not an e-mail address (%2)")
                .arg(a.left(200), why.empty() ? QStringLiteral("there is more than the address")
                                              : QString::fromStdString(why));
        }
    return std::nullopt;
}

QByteArray quotedPrintable(const QString& text) {
    QByteArrayList out;
    for (const QString& line : lineEnds(text).split(QLatin1Char('\n'))) {
        const QByteArray bytes = line.toUtf8();
        QByteArray encoded;
        int column = 0;
        for (int i = 0; i < bytes.size(); ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            const bool last = i == bytes.size() - 1;
            QByteArray piece;
            // Blanks are kept but at a line's end, where a server may drop them.
            if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))
                piece = QByteArray(1, static_cast<char>(c));
            else
                piece = '=' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
            if (column + piece.size() > 75) { // a soft break keeps each line at 76 with its "="
                encoded += "=\r\n";
                column = 0;
            }
            encoded += piece;
            column += static_cast<int>(piece.size());
        }
        out << encoded;
    }
    return out.join("\r\n");
}

QByteArray buildMessage(const Mail& m, const QDateTime& now) {
    QByteArray out;
    const QString host = addressOf(m.from).section(QLatin1Char('@'), 1).trimmed();
    out += "Date: " + QLocale::c().toString(now, QStringLiteral("ddd, ")).toUtf8() +
           now.toString(Qt::RFC2822Date).toUtf8() + "\r\n";
    out += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toUtf8() + "@" +
           (host.isEmpty() || !isAscii(host) ? QByteArray("vantrel-planner") : host.toUtf8()) + ">\r\n";
    out += "From: " + headerMailbox(m.from) + "\r\n";
    QByteArrayList to;
    for (const QString& r : m.to)
        to << headerMailbox(r);
    out += "To: " + to.join(",\r\n ") + "\r\n";
    out += "Subject: " + encodedWords(m.subject) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: text/plain; charset=UTF-8\r\n";
    out += "Content-Transfer-Encoding: quoted-printable\r\n";
    out += "\r\n";
    out += quotedPrintable(m.body);
    if (!out.endsWith("\r\n")) out += "\r\n";
    return out;
}

Server parseServer(const QString& text) {
    Server s;
    const QString t = text.trimmed();
    if (t.count(QLatin1Char(':')) == 1) {
        bool ok = false;
        const int port = t.section(QLatin1Char(':'), 1).toInt(&ok);
        s.host = t.section(QLatin1Char(':'), 0, 0);
        s.port = ok ? port : -1;
    } else {
        s.host = t;
    }
    return s;
}

namespace {

// The copies of a secret are overwritten before their memory goes back.
void wipe(QByteArray& bytes) {
    if (!bytes.isEmpty() && bytes.isDetached()) bytes.fill('\0');
    bytes.clear();
}

// One try, handed to the mail module. With `requireTls` STARTTLS must succeed; a probe only greets
// the server and learns what it offers.
SmtpOutcome tryOnce(const Server& server, const Login& login, const Mail& m, bool requireTls, bool probe,
                    int connectSeconds, int transferSeconds, const std::atomic<bool>* stop) {
    SmtpOutcome out;
    QString why;
    const auto send = reinterpret_cast<SmtpTryFunction>(
        platform::moduleFunction(QString::fromLatin1(kSmtpModule), kSmtpTryFunction, &why));
    if (!send) {
        out.error = QStringLiteral("the mail library cannot start: ") + why;
        return out;
    }
    SmtpTry t;
    t.implicitTls = server.port == 465;
    t.url = (t.implicitTls ? QByteArray("smtps://") : QByteArray("smtp://")) + server.host.toUtf8() + ":" +
            QByteArray::number(server.port);
    t.requireTls = requireTls;
    t.probe = probe;
    t.from = "<" + parseMailbox(m.from)->address.toUtf8() + ">";
    for (const QString& r : m.to)
        t.recipients << "<" + parseMailbox(r)->address.toUtf8() + ">";
    if (!probe) t.message = buildMessage(m, QDateTime::currentDateTime());
    // The login only where TLS is required: it is never tried in the clear.
    if (login.given() && requireTls && !probe) {
        t.user = login.user.toUtf8();
        t.password = login.password.toUtf8();
    }
    t.caFile = server.caFile.toLocal8Bit();
    t.connectSeconds = connectSeconds;
    t.transferSeconds = transferSeconds;
    t.stop = stop;
    send(t, out);
    wipe(t.password);
    wipe(t.user);
    return out;
}

bool needsUtf8(const Mail& m) {
    for (const QString& a : QStringList{m.from} + m.to)
        if (!platform::isAsciiAddress(parseMailbox(a)->address.toStdString())) return true;
    return false;
}
} // namespace

QString sendSmtp(const Server& server, const Login& login, const Mail& m, int attempts, int connectSeconds,
                 int transferSeconds, const std::atomic<bool>* stop) {
    if (!server.valid())
        return QStringLiteral("the SMTP server \"%1\" is not a host name or host:port").arg(server.host);
    if (m.to.isEmpty()) return QStringLiteral("no recipient");
    if (auto problem = headerProblem(m)) return *problem;
    // With a login, TLS from the first try; without one, from the try after the server offered it.
    bool requireTls = login.given();
    bool utf8Checked = !needsUtf8(m);
    QString error;
    for (int i = 0; i < attempts && !(stop && *stop); ++i) {
        if (!utf8Checked) {
            // An address beyond ASCII goes only where the server says it takes one.
            const SmtpOutcome probe =
                tryOnce(server, login, m, requireTls, true, connectSeconds, transferSeconds, stop);
            error = probe.error;
            requireTls = requireTls || probe.offeredTls;
            if (!probe.ok) continue;
            if (!probe.offeredUtf8)
                return QStringLiteral(
                    "the server takes no address with letters beyond ASCII (it does not offer "
                    "SMTPUTF8)");
            utf8Checked = true;
        }
        const SmtpOutcome sent = tryOnce(server, login, m, requireTls, false, connectSeconds, transferSeconds, stop);
        if (sent.ok) return {};
        error = sent.error;
        requireTls = requireTls || sent.offeredTls;
    }
    if (stop && *stop) return QStringLiteral("the sending was stopped as the program ended");
    return error;
}

} // namespace vantrel::mail
