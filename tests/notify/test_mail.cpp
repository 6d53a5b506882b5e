// E-mail reminders: the message, the recipients, the hand-off's rules, and SMTP against a real
// server on loopback.
#include "core/errors.h"
#include "notify/mailmessage.h"
#include "notify/tmail.h"
#include "support/testsupport.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace vantrel;
using namespace vantrel::mail;

namespace {

// A mail program that records what it is given.
struct FakeMail : platform::MailHandOff {
    bool there = true;
    QList<bool> logons;
    QMap<QString, QString> names; // entry -> resolved display name; a missing one is unknown
    std::vector<platform::MailRecipient> sentTo;
    std::string subject;
    bool dialog = false;
    bool available() const override { return there; }
    int logon(bool withUi) override {
        logons << withUi;
        return withUi ? platform::kMapiSuccess : platform::kMapiFailure;
    }
    int resolve(const std::string& text, bool, platform::MailRecipient& out) override {
        const QString t = QString::fromStdString(text);
        if (!names.contains(t)) return platform::kMapiUnknownRecipient;
        out = {names[t].toStdString(), ""};
        return platform::kMapiSuccess;
    }
    int send(const std::string& s, const std::string&, const std::vector<platform::MailRecipient>& to,
             bool d) override {
        subject = s;
        sentTo = to;
        dialog = d;
        return platform::kMapiSuccess;
    }
    void logoff() override {}
};

// The SMTP server, run by Debian's Python for this test.
struct Peer {
    test::Sandbox box;
    QProcess process;
    int port = 0;
    explicit Peer(const QStringList& options = {}) {
        process.start("/usr/bin/python3",
                      QStringList{QFINDTESTDATA("../integration/smtp_peer.py"), box.path()} + options);
        QTRY_VERIFY_WITH_TIMEOUT((port = test::readAll(box.path("port")).toInt()) > 0, 10000);
    }
    ~Peer() {
        process.kill();
        process.waitForFinished();
    }
    Server server() const { return {QStringLiteral("127.0.0.1"), port}; }
    QJsonObject message(int n) const {
        return QJsonDocument::fromJson(test::readAll(box.path(QStringLiteral("%1.json").arg(n)))).object();
    }
    QByteArray data(int n) const { return QByteArray::fromBase64(message(n)["data"].toString().toLatin1()); }
    QString logins() const { return QString::fromUtf8(test::readAll(box.path("logins"))); }
};

Mail reminder() {
    return {"Ann <ann@example.org>",
            splitSmtpRecipients(
                "ben@example.org, cid@example.org; dee@example.org;\"Doe, Eve\" <eve@example.org>"),
            QString::fromUtf8("Dosis: Aspirin f\u00fcr Ann \u2013 jetzt"),
            "Take one tablet.\nWith water.\n.\nThat line above is a lone dot."};
}

} // namespace

class TestMail : public QObject {
    Q_OBJECT
private slots:
    void recipientsSplitAtCommasAndSemicolons() {
        QCOMPARE(splitSmtpRecipients("a@x, b@x;c@x ; ;\"Doe, John\" <j@x>"),
                 QStringList({"a@x", "b@x", "c@x", "\"Doe, John\" <j@x>"}));
        QCOMPARE(addressOf("\"Doe, John\" <j@x>"), QStringLiteral("j@x"));
        QCOMPARE(addressOf(" a@x "), QStringLiteral("a@x"));
        QCOMPARE(parseServer("mail.example.org").port, 25);
        QCOMPARE(parseServer("mail.example.org:587").port, 587);
        QCOMPARE(parseServer("mail.example.org:587").host, QStringLiteral("mail.example.org"));
        QVERIFY(!parseServer("mail.example.org:x").valid());
        QVERIFY(!parseServer("").valid());
    }

    void theMessageIsAProperOne() {
        Mail m = reminder();
        m.subject = QString::fromUtf8("Dosis f\u00fcr Ann");
        const QByteArray msg = buildMessage(m, QDateTime(QDate(2026, 12, 10), QTime(9, 5), Qt::UTC));
        const QByteArray head = msg.left(msg.indexOf("\r\n\r\n"));
        QVERIFY(head.contains("Date: Thu, 10 Dec 2026 09:05:00 +0000\r\n"));
        QVERIFY(head.contains("Message-ID: <"));
        QVERIFY(head.contains("From: Ann <ann@example.org>\r\n"));
        QVERIFY(head.contains("MIME-Version: 1.0\r\n"));
        QVERIFY(head.contains("Content-Type: text/plain; charset=UTF-8\r\n"));
        QVERIFY(
            head.contains("Subject: =?UTF-8?B?" + QByteArray("Dosis f\xc3\xbcr Ann").toBase64() + "?=\r\n"));
        QVERIFY(msg.endsWith("Take one tablet.\r\nWith water.\r\n.\r\nThat line above is a lone dot.\r\n"));
        QVERIFY(!msg.contains("\n\n"));
        // A line break in a header field is refused before anything is sent.
        m.subject = "Hi\r\nBcc: evil@example.org";
        QVERIFY(headerProblem(m));
        QVERIFY(sendSmtp({"127.0.0.1", 9}, {}, m, 1).contains("line break"));
    }

    // The hand-off's rules: empty entries skipped, unknown ones retried with the dialog and left
    // out, the bracket rule, the compose window when nobody is left, the subject cut to 255.
    void theHandOffsRules() {
        FakeMail mail;
        mail.names = {{"Ben", "Ben Berger"}, {"[SMTP:dee@example.org]", "Dee"}};
        TEmail email(mail);
        email.Recipient = {"Ben", "", "nobody", "[SMTP:dee@example.org]"};
        email.Subject = QString(300, QLatin1Char('s'));
        QCOMPARE(email.SendMail(), platform::kMapiSuccess);
        QCOMPARE(mail.logons, QList<bool>({false, true})); // the default profile, then with the user's help
        QCOMPARE(mail.sentTo.size(), size_t(2));
        QCOMPARE(mail.sentTo[0].name, std::string("Ben Berger"));
        QCOMPARE(mail.sentTo[1].address, std::string("SMTP:dee@example.org"));
        QCOMPARE(email.Recipient[0], QStringLiteral("Ben Berger"));
        QCOMPARE(mail.subject.size(), size_t(255));
        QVERIFY(!mail.dialog);
        email.Recipient = {"nobody"};
        email.SendMail();
        QVERIFY(mail.dialog); // the compose window, for the user to address
        mail.there = false;
        bool told = false;
        try {
            email.SendMail();
        } catch (const PlatformError& e) {
            told = e.message() == QStringLiteral("MAPI services are not available on this system");
        }
        QVERIFY(told);
    }

    void smtpDeliversToEveryRecipientWithALogin() {
        Peer peer({"--login", "ann:s3cret"});
        QCOMPARE(sendSmtp(peer.server(), {"ann", "s3cret"}, reminder(), 5, 5, 10), QString());
        const QJsonObject m = peer.message(1);
        QCOMPARE(m["from"].toString(), QStringLiteral("ann@example.org"));
        QCOMPARE(m["to"].toVariant().toStringList(),
                 QStringList({"ben@example.org", "cid@example.org", "dee@example.org", "eve@example.org"}));
        const QByteArray data = peer.data(1);
        QVERIFY(data.contains("Subject: =?UTF-8?B?"));
        QVERIFY(data.contains("Take one tablet.\r\nWith water.\r\n.\r\nThat line above is a lone dot.\r\n"));
        QVERIFY(!data.contains("s3cret"));
        QCOMPARE(peer.logins(), QStringLiteral("LOGIN ok\n"));
        // Subject round trip, non-ASCII included, and a long one whole.
        Mail longer = reminder();
        longer.subject = QString(300, QLatin1Char('x')) + QString::fromUtf8("\u00e9");
        QCOMPARE(sendSmtp(peer.server(), {"ann", "s3cret"}, longer, 1, 5, 10), QString());
        QByteArray subject = peer.data(2);
        subject = subject.mid(subject.indexOf("Subject: ") + 9);
        subject = subject.left(subject.indexOf("\r\nMIME"));
        QString decoded;
        for (const QByteArray& word : subject.split('\n'))
            decoded += QString::fromUtf8(QByteArray::fromBase64(word.trimmed().mid(10).chopped(2)));
        QCOMPARE(decoded, longer.subject);
    }

    void noLoginWithoutBothUserAndPassword() {
        Peer peer;
        QCOMPARE(sendSmtp(peer.server(), {"ann", ""}, reminder(), 1, 5, 10), QString());
        QCOMPARE(sendSmtp(peer.server(), {"", "s3cret"}, reminder(), 1, 5, 10), QString());
        QCOMPARE(peer.logins(), QString());
        QVERIFY(!peer.data(2).isEmpty());
    }

    // A refused login, a refused recipient and a closed port each end with the last error,
    // after five tries.
    void failuresEndWithTheLastError() {
        Peer peer({"--login", "ann:s3cret", "--refuse", "cid@example.org"});
        const QString refusedLogin = sendSmtp(peer.server(), {"ann", "wrong"}, reminder(), 5, 5, 10);
        QVERIFY(!refusedLogin.isEmpty());
        QVERIFY(!refusedLogin.contains("wrong"));
        QCOMPARE(peer.logins().count("refused"), 5);
        QVERIFY(!sendSmtp(peer.server(), {"ann", "s3cret"}, reminder(), 2, 5, 10).isEmpty());
        QVERIFY(!QFile::exists(peer.box.path("1.json")));
        const int closed = peer.port;
        QVERIFY(!sendSmtp({"127.0.0.1", closed == 1 ? 2 : 1}, {}, reminder(), 5, 2, 4).isEmpty());
        // The end of the program stops the tries, and that is no success.
        const std::atomic<bool> stop{true};
        QVERIFY(!sendSmtp(peer.server(), {}, reminder(), 5, 2, 4, &stop).isEmpty());
        QVERIFY(!QFile::exists(peer.box.path("1.json")));
    }
};

QTEST_GUILESS_MAIN(TestMail)
#include "test_mail.moc"
