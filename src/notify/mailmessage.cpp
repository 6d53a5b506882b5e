#include "notify/mailmessage.h"

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

QByteArray crlf(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.toUtf8().replace("\n", "\r\n");
}
} // namespace

std::optional<QString> headerProblem(const Mail& m) {
    bool broken = hasBreak(m.from) || hasBreak(m.subject);
    for (const QString& r : m.to)
        broken = broken || hasBreak(r);
    if (broken) return QStringLiteral("a line break in the sender, a recipient or the subject");
    return std::nullopt;
}

QByteArray buildMessage(const Mail& m, const QDateTime& now) {
    QByteArray out;
    const QString host = addressOf(m.from).section(QLatin1Char('@'), 1).trimmed();
    out += "Date: " + QLocale::c().toString(now, QStringLiteral("ddd, ")).toUtf8() +
           now.toString(Qt::RFC2822Date).toUtf8() + "\r\n";
    out += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toUtf8() + "@" +
           (host.isEmpty() ? QByteArray("vantrel-planner") : host.toUtf8()) + ">\r\n";
    out += "From: " + m.from.toUtf8() + "\r\n";
    out += "To: " + m.to.join(QStringLiteral(", ")).toUtf8() + "\r\n";
    out += "Subject: " + encodedWords(m.subject) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: text/plain; charset=UTF-8\r\n";
    out += "Content-Transfer-Encoding: 8bit\r\n";
    out += "\r\n";
    out += crlf(m.body);
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
struct Upload {
    QByteArray data;
    qsizetype at = 0;
};

size_t readMessage(char* buffer, size_t size, size_t items, void* user) {
    auto* u = static_cast<Upload*>(user);
    const qsizetype n = std::min<qsizetype>(static_cast<qsizetype>(size * items), u->data.size() - u->at);
    std::memcpy(buffer, u->data.constData() + u->at, static_cast<size_t>(n));
    u->at += n;
    return static_cast<size_t>(n);
}

// One try. `requireTls` asks STARTTLS to succeed (with a login, so the password never goes in
// the clear to a server that offers it).
int stopWhenAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return stop && static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

CURLcode tryOnce(const Server& server, const Login& login, const Mail& m, bool requireTls, int connectSeconds,
                 int transferSeconds, const std::atomic<bool>* stop, QString& error) {
    CURL* curl = curl_easy_init();
    if (!curl) {
        error = QStringLiteral("the mail library cannot start");
        return CURLE_FAILED_INIT;
    }
    char message[CURL_ERROR_SIZE] = {0};
    const bool tls = server.port == 465;
    const QByteArray url = (tls ? QByteArray("smtps://") : QByteArray("smtp://")) + server.host.toUtf8() +
                           ":" + QByteArray::number(server.port);
    const QByteArray from = "<" + addressOf(m.from).toUtf8() + ">";
    curl_slist* rcpt = nullptr;
    for (const QString& r : m.to)
        rcpt = curl_slist_append(rcpt, ("<" + addressOf(r).toUtf8() + ">").constData());
    Upload upload{buildMessage(m, QDateTime::currentDateTime()), 0};
    const QByteArray user = login.user.toUtf8(), password = login.password.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(connectSeconds));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(transferSeconds));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, stopWhenAsked);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(stop));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    if (!tls)
        curl_easy_setopt(curl, CURLOPT_USE_SSL,
                         static_cast<long>(requireTls ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (login.given()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    }
    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) error = QString::fromUtf8(*message ? message : curl_easy_strerror(code));
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    return code;
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
    QString error;
    for (int i = 0; i < attempts && !(stop && *stop); ++i) {
        error.clear();
        // With a login, TLS first; a server that offers no STARTTLS at all gets the login in the
        // clear, as before TLS was common; one that offers it but fails is an error.
        CURLcode code = tryOnce(server, login, m, login.given(), connectSeconds, transferSeconds, stop, error);
        if (code == CURLE_USE_SSL_FAILED && login.given())
            code = tryOnce(server, login, m, false, connectSeconds, transferSeconds, stop, error);
        if (code == CURLE_OK) return {};
    }
    if (stop && *stop) return QStringLiteral("the sending was stopped as the program ended");
    return error;
}

} // namespace vantrel::mail
