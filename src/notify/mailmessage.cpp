#include "notify/mailmessage.h"

#include "base/logging.h"
#include "platform/mailaddress.h"

#include <QLocale>
#include <QUuid>
#include <cstring>
#include <curl/curl.h>

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

// What a try learns of the server from its replies: whether it offered STARTTLS and SMTPUTF8, and
// whether the connection is encrypted now.
struct Watch {
    bool offeredTls = false;
    bool offeredUtf8 = false;
    bool tlsUp = false;
};

struct Upload {
    QByteArray data;
    qsizetype at = 0;
    const Watch* watch = nullptr;
};

int watchReplies(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    auto* w = static_cast<Watch*>(user);
    if (type == CURLINFO_SSL_DATA_IN || type == CURLINFO_SSL_DATA_OUT) w->tlsUp = true;
    // Only the server's replies are read; what goes out (a login above all) is never looked at.
    if (type == CURLINFO_HEADER_IN) {
        const QByteArray reply = QByteArray(data, static_cast<qsizetype>(size)).toUpper();
        if (reply.startsWith("250") && reply.contains("STARTTLS")) w->offeredTls = true;
        if (reply.startsWith("250") && reply.contains("SMTPUTF8")) w->offeredUtf8 = true;
    }
    return 0;
}

size_t readMessage(char* buffer, size_t size, size_t items, void* user) {
    auto* u = static_cast<Upload*>(user);
    // A server that offered STARTTLS and then refused it gets no message in the clear.
    if (u->watch && u->watch->offeredTls && !u->watch->tlsUp) return CURL_READFUNC_ABORT;
    const qsizetype n = std::min<qsizetype>(static_cast<qsizetype>(size * items), u->data.size() - u->at);
    std::memcpy(buffer, u->data.constData() + u->at, static_cast<size_t>(n));
    u->at += n;
    return static_cast<size_t>(n);
}

int stopWhenAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return stop && static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

// The copies of a secret are overwritten before their memory goes back.
void wipe(QByteArray& bytes) {
    if (!bytes.isEmpty() && bytes.isDetached()) bytes.fill('\0');
    bytes.clear();
}

enum class Step { Send, Probe };

// One try. With `requireTls` STARTTLS must succeed. A probe only greets the server and learns
// what it offers.
CURLcode tryOnce(const Server& server, const Login& login, const Mail& m, bool requireTls, Step step,
                 int connectSeconds, int transferSeconds, const std::atomic<bool>* stop, Watch& watch,
                 QString& error) {
    CURL* curl = curl_easy_init();
    if (!curl) {
        error = QStringLiteral("the mail library cannot start");
        return CURLE_FAILED_INIT;
    }
    char message[CURL_ERROR_SIZE] = {0};
    const bool tls = server.port == 465;
    const QByteArray url = (tls ? QByteArray("smtps://") : QByteArray("smtp://")) + server.host.toUtf8() +
                           ":" + QByteArray::number(server.port);
    const QByteArray from = "<" + parseMailbox(m.from)->address.toUtf8() + ">";
    curl_slist* rcpt = nullptr;
    for (const QString& r : m.to)
        rcpt = curl_slist_append(rcpt, ("<" + parseMailbox(r)->address.toUtf8() + ">").constData());
    Upload upload{step == Step::Send ? buildMessage(m, QDateTime::currentDateTime()) : QByteArray(), 0,
                  &watch};
    QByteArray user = login.user.toUtf8(), password = login.password.toUtf8();
    const QByteArray caFile = server.caFile.toLocal8Bit();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, watchReplies);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &watch);
    if (!caFile.isEmpty()) curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (step == Step::Probe) {
        curl_easy_setopt(curl, CURLOPT_CONNECT_ONLY, 1L);
    } else {
        curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
        curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(connectSeconds));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(transferSeconds));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, stopWhenAsked);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(stop));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    if (!tls)
        curl_easy_setopt(curl, CURLOPT_USE_SSL,
                         static_cast<long>(requireTls ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    // The login only where TLS is required: it is never tried in the clear.
    if (login.given() && requireTls && step == Step::Send) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    }
    const CURLcode code = curl_easy_perform(curl);
    if (code == CURLE_ABORTED_BY_CALLBACK && watch.offeredTls && !watch.tlsUp && !(stop && *stop))
        error =
            QStringLiteral("the server offered an encrypted connection (STARTTLS) and then refused it; the "
                           "message is not sent in the clear");
    else if (code == CURLE_USE_SSL_FAILED && watch.offeredTls)
        error = QStringLiteral("the server offered an encrypted connection (STARTTLS) and then refused it");
    else if (code == CURLE_USE_SSL_FAILED)
        error =
            QStringLiteral("the server offers no encrypted connection (STARTTLS); the password is never sent "
                           "without one");
    else if (code != CURLE_OK)
        error = QString::fromUtf8(*message ? message : curl_easy_strerror(code));
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    wipe(password);
    wipe(user);
    return code;
}

bool needsUtf8(const Mail& m) {
    for (const QString& a : QStringList{m.from} + m.to)
        if (!platform::isAsciiAddress(parseMailbox(a)->address.toStdString())) return true;
    return false;
}
} // namespace

QString sendSmtp(const Server& server, const Login& login, const Mail& m, int attempts, int connectSeconds,
                 int transferSeconds, const std::atomic<bool>* stop) {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!ready) return QStringLiteral("the mail library cannot start");
    if (!server.valid())
        return QStringLiteral("the SMTP server \"%1\" is not a host name or host:port").arg(server.host);
    if (m.to.isEmpty()) return QStringLiteral("no recipient");
    if (auto problem = headerProblem(m)) return *problem;
    // With a login, TLS from the first try; without one, from the try after the server offered it.
    bool requireTls = login.given();
    bool utf8Checked = !needsUtf8(m);
    QString error;
    for (int i = 0; i < attempts && !(stop && *stop); ++i) {
        error.clear();
        Watch watch;
        if (!utf8Checked) {
            // An address beyond ASCII goes only where the server says it takes one.
            const CURLcode probe = tryOnce(server, login, m, requireTls, Step::Probe, connectSeconds,
                                           transferSeconds, stop, watch, error);
            requireTls = requireTls || watch.offeredTls;
            if (probe != CURLE_OK) continue;
            if (!watch.offeredUtf8)
                return QStringLiteral(
                    "the server takes no address with letters beyond ASCII (it does not offer "
                    "SMTPUTF8)");
            utf8Checked = true;
            watch = {};
        }
        const CURLcode code = tryOnce(server, login, m, requireTls, Step::Send, connectSeconds,
                                      transferSeconds, stop, watch, error);
        if (code == CURLE_OK) return {};
        requireTls = requireTls || watch.offeredTls;
    }
    if (stop && *stop) return QStringLiteral("the sending was stopped as the program ended");
    return error;
}

} // namespace vantrel::mail
