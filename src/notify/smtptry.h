#pragma once
// One try of an SMTP conversation, as the mail module (vantrel-smtp, over libcurl) makes it. The
// program works out everything beforehand, so the module needs nothing of it but these two
// structs; libcurl and what it brings load with the first e-mail, not at every start.
#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>

namespace vantrel::mail {

struct SmtpTry {
    QByteArray url;               // smtp://host:port, or smtps://host:port for TLS from the start
    bool implicitTls = false;     // port 465
    bool requireTls = false;      // STARTTLS must succeed
    bool probe = false;           // only greet the server and learn what it offers
    QByteArray from;              // "<address>"
    QList<QByteArray> recipients; // "<address>" each
    QByteArray message;
    QByteArray user, password; // logged in only with both and requireTls
    QByteArray caFile;
    int connectSeconds = 20;
    int transferSeconds = 60;
    const std::atomic<bool>* stop = nullptr;
};

// What a try learned: whether it went through, what the server offered, and the error in words.
struct SmtpOutcome {
    bool ok = false;
    bool offeredTls = false;
    bool offeredUtf8 = false;
    QString error;
};

// The module's entry point, by name.
constexpr const char* kSmtpModule = "vantrel-smtp";
constexpr const char* kSmtpTryFunction = "vantrelSmtpTry";
using SmtpTryFunction = void (*)(const SmtpTry&, SmtpOutcome&);

} // namespace vantrel::mail
