// The hand-off to the desktop's mail program through the real xdg-email, pointed at a scratch
// mail handler that records the mailto address it is given.
#include "base/errors.h"
#include "core/shared.h"
#include "notify/tmail.h"
#include "support/testsupport.h"

#include <QDir>
#include <QStandardPaths>
#include <QUrlQuery>
#include <QtTest>

using namespace vantrel;

namespace {
// The desktop's mail program replaced by a handler that records the mailto address it is given.
struct Recorder {
    test::Sandbox box;
    QString got = box.path("got");
    Recorder() {
        QDir().mkpath(box.path("share/applications"));
        test::writeAll(box.path("record.sh"), "#!/bin/sh\nprintf '%s' \"$1\" > '" + got.toUtf8() + "'\n");
        QFile::setPermissions(box.path("record.sh"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        test::writeAll(box.path("share/applications/recorder.desktop"),
                       "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" +
                           box.path("record.sh").toUtf8() + " %u\nMimeType=x-scheme-handler/mailto;\n");
        test::writeAll(box.configDir() + "/mimeapps.list",
                       "[Default Applications]\nx-scheme-handler/mailto=recorder.desktop\n");
        qputenv("XDG_DATA_HOME", box.path("share").toLocal8Bit());
        qputenv("XDG_DATA_DIRS", "/usr/share");
        qputenv("DISPLAY", ":99"); // xdg-open only looks for a handler where there is a display
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("DESKTOP_SESSION");
    }
    QUrl recorded() const { return QUrl(QString::fromUtf8(test::readAll(got))); }
};
} // namespace

class TestHandOff : public QObject {
    Q_OBJECT
private slots:
    // A To that would pass an option to the tool or a parameter to the address, a subject that
    // would add one, and a body that would ask the tool for its help: the mail program gets a
    // message to the plain addresses alone, with that subject and that body as text.
    void nothingTypedBecomesAnOptionOrAParameter() {
        if (QStandardPaths::findExecutable("xdg-email").isEmpty())
            QSKIP("xdg-email is not installed (xdg-utils)");
        Recorder r;
        auto handOff = platform::makeMailHandOff();
        TEmail email(*handOff);
        QStringList to;
        int count = 0;
        SplitList("--attach;" + r.box.settingsFile() +
                      ";someone@example.org;mailto:x@example.org?attach=/etc/passwd"
                      "&bcc=evil@example.org; -x@example.org ;ann@example.org?bcc=evil@example.org",
                  to, count);
        email.Recipient = to;
        email.Subject = "Dose&bcc=evil@example.org&attach=/etc/passwd";
        email.Text = "--help";
        QCOMPARE(email.SendMail(), platform::kMapiSuccess);
        QTRY_VERIFY(QFile::exists(r.got));
        const QUrl url = r.recorded();
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(), QStringLiteral("someone@example.org"));
        const QUrlQuery query(url);
        QStringList keys;
        for (const auto& item : query.queryItems())
            keys << item.first;
        QCOMPARE(keys, QStringList({"subject", "body"}));
        QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded),
                 QStringLiteral("Dose&bcc=evil@example.org&attach=/etc/passwd"));
        QCOMPARE(query.queryItemValue("body", QUrl::FullyDecoded), QStringLiteral("--help"));
    }

    void theMailProgramGetsRecipientsSubjectAndText() {
        if (QStandardPaths::findExecutable("xdg-email").isEmpty())
            QSKIP("xdg-email is not installed (xdg-utils)");
        Recorder r;
        const QString got = r.got;
        auto handOff = platform::makeMailHandOff();
        TEmail email(*handOff);
        QVERIFY(email.MapiAvail());
        email.Recipient = {"ann@example.org", "", "ben@example.org"};
        email.Subject = QString::fromUtf8("Dose f\u00fcr Ann");
        email.Text = "Take one tablet\nnow";
        QCOMPARE(email.SendMail(), platform::kMapiSuccess);
        QTRY_VERIFY(QFile::exists(got));
        const QString url = QUrl::fromPercentEncoding(test::readAll(got));
        QVERIFY2(url.startsWith("mailto:ann@example.org"), qPrintable(url));
        QVERIFY(url.contains("ben@example.org"));
        QVERIFY(url.contains(QString::fromUtf8("subject=Dose f\u00fcr Ann")));
        QVERIFY(url.contains("body=Take one tablet\r\nnow"));
    }

    void withoutXdgEmailTheHandOffIsNotAvailable() {
        test::Sandbox box;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", box.path().toLocal8Bit());
        auto handOff = platform::makeMailHandOff();
        TEmail email(*handOff);
        email.Recipient = {"ann@example.org"};
        QString said;
        try {
            email.SendMail();
        } catch (const PlatformError& e) {
            said = e.message();
        }
        qputenv("PATH", path);
        QCOMPARE(said, QStringLiteral("MAPI services are not available on this system"));
    }
};

QTEST_GUILESS_MAIN(TestHandOff)
#include "test_handoff.moc"
