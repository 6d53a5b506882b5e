// The mail module (vantrel-smtp): one SMTP try over libcurl. It is built as a module of its own,
// so libcurl and the libraries it brings (TLS, Kerberos, LDAP, ...) load with the first e-mail
// rather than at every start. Everything it sends was worked out by the program (smtptry.h).
#include "notify/smtptry.h"

#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <curl/curl.h>

namespace vantrel::mail {

namespace {

// What a try learns of the server from its replies: whether it offered STARTTLS and SMTPUTF8, and
// whether the connection is encrypted now.
struct Watch {
    bool offeredTls = false;
    bool offeredUtf8 = false;
    bool tlsUp = false;
};

struct Upload {
    const QByteArray* data = nullptr;
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
    const qsizetype n = std::min<qsizetype>(static_cast<qsizetype>(size * items), u->data->size() - u->at);
    std::memcpy(buffer, u->data->constData() + u->at, static_cast<size_t>(n));
    u->at += n;
    return static_cast<size_t>(n);
}

int stopWhenAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return stop && static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

} // namespace

} // namespace vantrel::mail

// The module's one entry point: one try as `t` says, its outcome into `out`.
extern "C" Q_DECL_EXPORT void vantrelSmtpTry(const vantrel::mail::SmtpTry& t, vantrel::mail::SmtpOutcome& out) {
    using namespace vantrel::mail;
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    out = {};
    CURL* curl = ready ? curl_easy_init() : nullptr;
    if (!curl) {
        out.error = QStringLiteral("the mail library cannot start");
        return;
    }
    char message[CURL_ERROR_SIZE] = {0};
    Watch watch;
    curl_slist* rcpt = nullptr;
    for (const QByteArray& r : t.recipients)
        rcpt = curl_slist_append(rcpt, r.constData());
    Upload upload{&t.message, 0, &watch};
    curl_easy_setopt(curl, CURLOPT_URL, t.url.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, watchReplies);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &watch);
    if (!t.caFile.isEmpty()) curl_easy_setopt(curl, CURLOPT_CAINFO, t.caFile.constData());
    if (t.probe) {
        curl_easy_setopt(curl, CURLOPT_CONNECT_ONLY, 1L);
    } else {
        curl_easy_setopt(curl, CURLOPT_MAIL_FROM, t.from.constData());
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
        curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(t.connectSeconds));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(t.transferSeconds));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, stopWhenAsked);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(t.stop));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    if (!t.implicitTls)
        curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(t.requireTls ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    // The program hands a login only with TLS required; it is never tried in the clear.
    if (!t.user.isEmpty() && !t.password.isEmpty() && t.requireTls && !t.probe) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, t.user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, t.password.constData());
        curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    }
    const CURLcode code = curl_easy_perform(curl);
    if (code == CURLE_ABORTED_BY_CALLBACK && watch.offeredTls && !watch.tlsUp && !(t.stop && *t.stop))
        out.error =
            QStringLiteral("the server offered an encrypted connection (STARTTLS) and then refused it; the "
                           "message is not sent in the clear");
    else if (code == CURLE_USE_SSL_FAILED && watch.offeredTls)
        out.error = QStringLiteral("the server offered an encrypted connection (STARTTLS) and then refused it");
    else if (code == CURLE_USE_SSL_FAILED)
        out.error =
            QStringLiteral("the server offers no encrypted connection (STARTTLS); the password is never sent "
                           "without one");
    else if (code != CURLE_OK)
        out.error = QString::fromUtf8(*message ? message : curl_easy_strerror(code));
    out.ok = code == CURLE_OK;
    out.offeredTls = watch.offeredTls;
    out.offeredUtf8 = watch.offeredUtf8;
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
}
