// Reading the settings at start: first run, a damaged file, a bad window value.
#include "app/startup.h"
#include "session/context.h"
#include "support/testsupport.h"
#include "ui/messages.h"

#include <QtTest>
#include <unistd.h>

using namespace vantrel;

namespace {
// A run's context whose message boxes are answered, not shown.
struct TestContext : Context {
    TestContext() { hooks.answerMessages = true; }
    // What the start has to tell: kept until the reminders run, never shown in a box that waits.
    QStringList said() const {
        QStringList out;
        for (const Notice& n : startNotices)
            out << n.text;
        return out;
    }
};
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void aFirstRunWritesEveryDefaultAtOnce() {
        test::Sandbox box;
        TestContext ctx;
        loadOrCreateSettings(ctx, 600, box.settingsFile());
        QVERIFY(ctx.said().isEmpty());
        QVERIFY(Messages::shown().isEmpty());
        QCOMPARE(ctx.settings.Height, 580);
        const QByteArray text = test::readAll(box.settingsFile());
        // The 22 values of the first two groups, and the 5 of the reminders group that came later.
        QCOMPARE(text.count("=dword:") + text.count("=\""), 22 + 5);
    }

    void aDamagedFileIsKeptAsideAndReported() {
        test::Sandbox box;
        QDir().mkpath(QFileInfo(box.settingsFile()).path());
        const QByteArray garbage("\x01\x02 not a settings file\n[[[\n", 28);
        test::writeAll(box.settingsFile(), garbage);
        TestContext ctx;
        loadOrCreateSettings(ctx, 1080, box.settingsFile());
        QCOMPARE(ctx.said().size(), 1);
        QVERIFY(ctx.said()[0].contains("is damaged"));
        QCOMPARE(test::readAll(box.settingsFile() + ".damaged"), garbage); // nothing lost
        QVERIFY(test::readAll(box.settingsFile()).contains("\"colorscheme\"=dword:"));
        QCOMPARE(ctx.settings.AutoStart, true);
    }

    void whatCanBeReadOfADamagedFileIsKept() {
        test::Sandbox box;
        {
            TestContext first;
            loadOrCreateSettings(first, 1080, box.settingsFile());
            first.settings.SMTPServer = "mail.example.org";
            first.settings.Width = 777;
            first.saveSettings();
        }
        test::writeAll(box.settingsFile(), test::readAll(box.settingsFile()) + "this line is broken\n");
        TestContext ctx;
        loadOrCreateSettings(ctx, 1080, box.settingsFile());
        QCOMPARE(ctx.settings.SMTPServer, QStringLiteral("mail.example.org"));
        QCOMPARE(ctx.settings.Width, 777);
        QCOMPARE(ctx.said().size(), 1);
    }

    void aBadWindowValueIsAWarningNotAStop() {
        test::Sandbox box;
        {
            TestContext first;
            loadOrCreateSettings(first, 1080, box.settingsFile());
        }
        QByteArray text = test::readAll(box.settingsFile());
        text.replace("\"Width\"=dword:00000258", "\"Width\"=\"wide\"");
        test::writeAll(box.settingsFile(), text);
        TestContext ctx;
        loadOrCreateSettings(ctx, 1080, box.settingsFile());
        QCOMPARE(ctx.said(), QStringList({"Invalid data type for 'Width'"}));
        QCOMPARE(ctx.settings.Width, 600);
    }

    // A settings file that exists but cannot be read is said so, left as it is, and not written
    // over during the run. Root reads any file, so there a folder stands in the file's place.
    void anUnreadableFileIsReportedAndNeverWrittenOver() {
        test::Sandbox box;
        QDir().mkpath(QFileInfo(box.settingsFile()).path());
        const bool root = ::getuid() == 0;
        QByteArray original = "[SOFTWARE\\Vantrel\\Planner]\n\"SMTPPass\"=\"secret\"\n";
        if (root) {
            QDir().mkpath(box.settingsFile());
        } else {
            test::writeAll(box.settingsFile(), original);
            QFile::setPermissions(box.settingsFile(), QFileDevice::Permissions());
        }
        TestContext ctx;
        loadOrCreateSettings(ctx, 1080, box.settingsFile());
        QCOMPARE(ctx.said().size(), 1);
        QVERIFY(ctx.said()[0].contains("cannot be read"));
        ctx.settings.SMTPServer = "other.example.org";
        ctx.saveSettings(); // writes nothing over it
        if (root) {
            QVERIFY(QFileInfo(box.settingsFile()).isDir());
        } else {
            QFile::setPermissions(box.settingsFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QCOMPARE(test::readAll(box.settingsFile()), original);
        }
        QVERIFY(!QFile::exists(box.settingsFile() + ".damaged"));
    }

    // A mistyped value at the head of the general group: the reading stops there as before, but
    // the user is told which value was wrong, and the old file (password and all) is kept.
    void aMistypedGeneralValueKeepsTheOldFileAndSaysWhich() {
        test::Sandbox box;
        {
            TestContext first;
            loadOrCreateSettings(first, 1080, box.settingsFile());
            first.settings.SMTPServer = "mail.example.org";
            first.settings.SMTPPass = "secret";
            first.saveSettings();
        }
        QByteArray text = test::readAll(box.settingsFile());
        text.replace("\"AutoStart\"=dword:00000001", "\"AutoStart\"=\"yes\"");
        test::writeAll(box.settingsFile(), text);
        TestContext ctx;
        loadOrCreateSettings(ctx, 1080, box.settingsFile());
        QCOMPARE(ctx.said().size(), 1);
        QVERIFY2(ctx.said()[0].contains("Invalid data type for 'AutoStart'"), qPrintable(ctx.said()[0]));
        QVERIFY(ctx.said()[0].contains("planner.reg.damaged"));
        QCOMPARE(ctx.settings.SMTPPass, QString()); // the rule of reading is kept
        ctx.saveSettings();
        const QString copy = box.settingsFile() + ".damaged";
        QVERIFY(test::readAll(copy).contains("\"SMTPPass\"=\"secret\""));
        QCOMPARE(QFileInfo(copy).permissions() & 0x0077, QFileDevice::Permissions());
    }

    // A file or a value beyond a sane size is damage: kept aside and reported, not read.
    void aHugeFileOrValueIsTakenAsDamage() {
        test::Sandbox box;
        {
            TestContext first;
            loadOrCreateSettings(first, 1080, box.settingsFile());
        }
        const QByteArray good = test::readAll(box.settingsFile());
        test::writeAll(box.settingsFile(), good + "\"Huge\"=\"" + QByteArray(100 * 1024, 'x') + "\"\n");
        {
            TestContext ctx;
            loadOrCreateSettings(ctx, 1080, box.settingsFile());
            QCOMPARE(ctx.said().size(), 1);
            QVERIFY(ctx.said()[0].contains("longer than 64 KiB"));
        }
        test::writeAll(box.settingsFile(), good + "; " + QByteArray(2 * 1024 * 1024, 'y') + "\n");
        TestContext ctx;
        loadOrCreateSettings(ctx, 1080, box.settingsFile());
        QCOMPARE(ctx.said().size(), 1);
        QVERIFY(ctx.said()[0].contains("larger than 1 MiB"));
        QVERIFY(QFileInfo(box.settingsFile() + ".damaged").size() > 2 * 1024 * 1024);
    }

    // A hand-edited file with a byte-order mark and CR LF line ends reads as it should.
    void aByteOrderMarkAndCrLfAreRead() {
        test::Sandbox box;
        {
            TestContext first;
            loadOrCreateSettings(first, 1080, box.settingsFile());
            first.settings.SMTPServer = "mail.example.org";
            first.saveSettings();
        }
        QByteArray text = test::readAll(box.settingsFile());
        text.replace("\n", "\r\n");
        test::writeAll(box.settingsFile(), "\xEF\xBB\xBF" + text);
        TestContext ctx;
        loadOrCreateSettings(ctx, 1080, box.settingsFile());
        QVERIFY2(ctx.said().isEmpty(), qPrintable(ctx.said().join("|")));
        QCOMPARE(ctx.settings.SMTPServer, QStringLiteral("mail.example.org"));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
