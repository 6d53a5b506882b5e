// E-mail reminders: the message, the recipients, the hand-off's rules, and SMTP against a real
// server on loopback.
#include "base/errors.h"
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
    // A peer that offers STARTTLS made a certificate of its own, which the client trusts.
    Server server() const {
        const QString cert = box.path("cert.pem");
        return {QStringLiteral("127.0.0.1"), port, QFile::exists(cert) ? cert : QString()};
    }
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
    // The SMTP client lives in a module loaded at the first e-mail. Where it cannot be found the
    // message fails with the reason; nothing counts as sent. (First: a module once loaded stays.)
    void aMissingMailModuleIsSaid() {
        test::Sandbox box;
        const QByteArray kept = qgetenv("VANTREL_MODULE_DIR");
        qputenv("VANTREL_MODULE_DIR", box.path().toLocal8Bit());
        const QString error = sendSmtp({"127.0.0.1", 9, {}}, {}, reminder(), 1, 1, 1);
        qputenv("VANTREL_MODULE_DIR", kept);
        QVERIFY2(error.startsWith("the mail library cannot start: the module \"vantrel-smtp\" cannot be loaded"),
                 qPrintable(error));
    }

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
        QVERIFY(sendSmtp({"127.0.0.1", 9, {}}, {}, m, 1).contains("line break"));
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
        Peer peer({"--login", "ann:s3cret", "--tls"});
        QCOMPARE(sendSmtp(peer.server(), {"ann", "s3cret"}, reminder(), 5, 5, 10), QString());
        const QJsonObject m = peer.message(1);
        QCOMPARE(m["from"].toString(), QStringLiteral("ann@example.org"));
        QCOMPARE(m["to"].toVariant().toStringList(),
                 QStringList({"ben@example.org", "cid@example.org", "dee@example.org", "eve@example.org"}));
        const QByteArray data = peer.data(1);
        QVERIFY(data.contains("Subject: =?UTF-8?B?"));
        QVERIFY(data.contains("Take one tablet.\r\nWith water.\r\n.\r\nThat line above is a lone dot.\r\n"));
        QVERIFY(!data.contains("s3cret"));
        QVERIFY(m["tls"].toBool());
        QCOMPARE(peer.logins(), QStringLiteral("LOGIN ok tls\n"));
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
        Peer peer({"--login", "ann:s3cret", "--refuse", "cid@example.org", "--tls"});
        const QString refusedLogin = sendSmtp(peer.server(), {"ann", "wrong"}, reminder(), 5, 5, 10);
        QVERIFY(!refusedLogin.isEmpty());
        QVERIFY(!refusedLogin.contains("wrong"));
        QCOMPARE(peer.logins().count("refused"), 5);
        QVERIFY(!sendSmtp(peer.server(), {"ann", "s3cret"}, reminder(), 2, 5, 10).isEmpty());
        QVERIFY(!QFile::exists(peer.box.path("1.json")));
        const int closed = peer.port;
        QVERIFY(!sendSmtp({"127.0.0.1", closed == 1 ? 2 : 1, {}}, {}, reminder(), 5, 2, 4).isEmpty());
        // The end of the program stops the tries, and that is no success.
        const std::atomic<bool> stop{true};
        QVERIFY(!sendSmtp(peer.server(), {}, reminder(), 5, 2, 4, &stop).isEmpty());
        QVERIFY(!QFile::exists(peer.box.path("1.json")));
    }

    // A password never goes in the clear: not to a server without STARTTLS, not to one that offers
    // it and then refuses it, not on a later try.
    void aLoginIsNeverSentInTheClear_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("said");
        QTest::newRow("STARTTLS offered, then refused") << QStringList{"--refuse-tls"} << "refused";
        QTest::newRow("no STARTTLS at all") << QStringList{} << "password is never sent";
    }
    void aLoginIsNeverSentInTheClear() {
        QFETCH(QStringList, options);
        QFETCH(QString, said);
        Peer peer(QStringList{"--login", "ann:s3cret"} + options);
        const QString error = sendSmtp(peer.server(), {"ann", "s3cret"}, reminder(), 3, 5, 10);
        QVERIFY2(error.contains(said), qPrintable(error));
        QCOMPARE(peer.logins(), QString());
        QVERIFY(!QFile::exists(peer.box.path("1.json")));
    }

    // Without a login, a server that offered STARTTLS gets no message in the clear; one that
    // encrypts gets it encrypted; one that never offered it gets it as before.
    void aMessageFollowsTheServersOfferOfTls() {
        {
            Peer refusing({"--refuse-tls"});
            const QString error = sendSmtp(refusing.server(), {}, reminder(), 2, 5, 10);
            QVERIFY2(error.contains("STARTTLS"), qPrintable(error));
            QVERIFY(!QFile::exists(refusing.box.path("1.json")));
        }
        Peer encrypting({"--tls"});
        QCOMPARE(sendSmtp(encrypting.server(), {}, reminder(), 1, 5, 10), QString());
        QVERIFY(encrypting.message(1)["tls"].toBool());
    }

    // Every envelope address is a plain mailbox; anything more is refused before a connection.
    void anAddressThatSaysMoreIsRefused_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("a parameter after the sender") << "a@example.org> XINJECT=1 AUTH=<evil@example.org"
                                                      << "b@example.org";
        QTest::newRow("text after the brackets") << "Ann <a@example.org> SIZE=1"
                                                 << "b@example.org";
        QTest::newRow("a blank in a recipient") << "a@example.org"
                                                << "b @example.org";
        QTest::newRow("brackets in a recipient") << "a@example.org"
                                                 << "<b@example.org> NOTIFY=NEVER";
        QTest::newRow("no address") << "a@example.org"
                                    << "Ben";
        QTest::newRow("an option") << "a@example.org"
                                   << "-b@example.org";
    }
    void anAddressThatSaysMoreIsRefused() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        Peer peer;
        Mail m = reminder();
        m.from = from;
        m.to = {to};
        const QString error = sendSmtp(peer.server(), {}, m, 5, 5, 10);
        QVERIFY2(error.contains("is not an e-mail address"), qPrintable(error));
        QVERIFY(!QFile::exists(peer.box.path("1.json")));
    }

    // Display names beyond ASCII are encoded words; an address beyond ASCII goes only to a server
    // that offers SMTPUTF8, and then with it.
    void namesAndAddressesBeyondAscii() {
        Mail m = reminder();
        m.from = QString::fromUtf8("\u00c4nne M\u00fcller <anne@example.org>");
        m.to = {QString::fromUtf8("\"Doe, Eve\" <eve@example.org>")};
        const QByteArray msg = buildMessage(m, QDateTime::currentDateTime());
        QVERIFY(msg.contains("From: =?UTF-8?B?" +
                             QString::fromUtf8("\u00c4nne M\u00fcller").toUtf8().toBase64() +
                             "?= <anne@example.org>\r\n"));
        QVERIFY(msg.contains("To: \"Doe, Eve\" <eve@example.org>\r\n"));

        m.to = {QString::fromUtf8("j\u00f6rg@example.org")};
        {
            Peer plain;
            const QString error = sendSmtp(plain.server(), {}, m, 2, 5, 10);
            QVERIFY2(error.contains("SMTPUTF8"), qPrintable(error));
            QVERIFY(!QFile::exists(plain.box.path("1.json")));
        }
        Peer utf8({"--smtputf8"});
        QCOMPARE(sendSmtp(utf8.server(), {}, m, 2, 5, 10), QString());
        const QJsonObject got = utf8.message(1);
        QCOMPARE(got["to"].toVariant().toStringList(),
                 QStringList({QString::fromUtf8("j\u00f6rg@example.org")}));
        QVERIFY(got["mail_options"].toVariant().toStringList().contains("SMTPUTF8"));
    }

    // Any text that was typed arrives whole: lines far longer than a server takes, trailing
    // blanks, "=" signs and letters beyond ASCII go quoted-printable and come back as they were.
    void aLongLineArrivesWhole() {
        Peer peer;
        Mail m = reminder();
        m.body = QString(5000, QLatin1Char('x')) + QString::fromUtf8(" \u00fc=3D  \n.\nend  ");
        QCOMPARE(sendSmtp(peer.server(), {}, m, 1, 5, 10), QString());
        const QByteArray data = peer.data(1);
        QVERIFY(data.contains("Content-Transfer-Encoding: quoted-printable\r\n"));
        for (const QByteArray& line : data.split('\n'))
            QVERIFY(line.size() <= 78);
        QProcess decode;
        decode.start("/usr/bin/python3",
                     {"-c", "import sys,email;m=email.message_from_bytes(sys.stdin.buffer.read());"
                            "sys.stdout.buffer.write(m.get_payload(decode=True))"});
        decode.write(data);
        decode.closeWriteChannel();
        QVERIFY(decode.waitForFinished());
        // The message ends its last line, as every message does.
        QCOMPARE(QString::fromUtf8(decode.readAllStandardOutput()).replace("\r\n", "\n"), m.body + "\n");
    }
};

QTEST_GUILESS_MAIN(TestMail)
#include "test_mail.moc"
