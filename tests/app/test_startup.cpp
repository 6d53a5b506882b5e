// Reading the settings at start: first run, a damaged file, a bad window value.
#include "app/messages.h"
#include "app/startup.h"
#include "core/context.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vantrel;

namespace {
// A run's context whose message boxes are answered, not shown.
struct TestContext : Context {
    TestContext() { hooks.answerMessages = true; }
};
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void aFirstRunWritesEveryDefaultAtOnce() {
        test::Sandbox box;
        TestContext ctx;
        loadOrCreateSettings(ctx, 600, box.settingsFile());
        QVERIFY(Messages::shown().isEmpty());
        QCOMPARE(ctx.settings.Height, 580);
        const QByteArray text = test::readAll(box.settingsFile());
        QCOMPARE(text.count("=dword:") + text.count("=\""), 22);
    }

    void aDamagedFileIsKeptAsideAndReported() {
        test::Sandbox box;
        QDir().mkpath(QFileInfo(box.settingsFile()).path());
        const QByteArray garbage("\x01\x02 not a settings file\n[[[\n", 28);
        test::writeAll(box.settingsFile(), garbage);
        TestContext ctx;
        loadOrCreateSettings(ctx, 1080, box.settingsFile());
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY(Messages::shown()[0].contains("is damaged"));
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
        QCOMPARE(Messages::shown().size(), 1);
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
        QCOMPARE(Messages::shown(), QStringList({"Invalid data type for 'Width'"}));
        QCOMPARE(ctx.settings.Width, 600);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
