// The real program, started hidden as at logon and ended as the session manager ends it.
#include "support/testsupport.h"

#include <QDir>
#include <QProcess>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantrel;

class TestShutdown : public QObject {
    Q_OBJECT
private slots:
    void sigtermSavesTheSettingsAndClosesEveryTableCleanly() {
        test::Sandbox box;
        QProcess p;
        p.start(QString::fromLocal8Bit(qgetenv("VANTREL_PLANNER")), {"--data-dir", box.dataDir(), "STARTUP"});
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.dataDir() + "/drplanner.DAT") &&
                                     QFile::exists(box.configDir() + "/autostart/vantrel-planner.desktop"),
                                 10000);
        QFile::remove(box.settingsFile()); // whatever is there at the end was written by the shutdown
        test::writeAll(box.dataDir() + "/temp/left.tmp", "x");
        p.terminate();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(test::readAll(box.settingsFile()).contains("\"Width\"=dword:"));
        QVERIFY(QDir(box.dataDir() + "/temp").entryList(QDir::Files).isEmpty());
        for (const QString& f : QDir(box.dataDir()).entryList({"*.DAT"})) {
            QProcess check;
            check.start("sqlite3", {box.dataDir() + "/" + f, "PRAGMA integrity_check"});
            QVERIFY(check.waitForFinished());
            QCOMPARE(check.readAllStandardOutput().trimmed(), QByteArray("ok"));
            QVERIFY2(!QFile::exists(box.dataDir() + "/" + f + "-journal"), qPrintable(f));
        }
    }

    // SIGTERM always ends the program; the exit code tells whether the settings were saved.
    void sigtermEndsWithOneWhenTheSettingsCannotBeSaved() {
        test::Sandbox box;
        QProcess p;
        p.start(QString::fromLocal8Bit(qgetenv("VANTREL_PLANNER")), {"--data-dir", box.dataDir(), "STARTUP"});
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.configDir() + "/autostart/vantrel-planner.desktop"),
                                 10000);
        QFile::remove(box.settingsFile());
        QDir().mkpath(box.settingsFile()); // a folder in the file's place: every save fails
        p.terminate();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
    }

    // The program's memory holds the SMTP password: no core dump is written of it, and no other
    // process of the user may read it (its /proc files belong to root). Run as another user than
    // root, where that can be seen.
    void theMemoryIsKeptOutOfCoreDumps() {
        test::Sandbox box;
        test::handToUnprivileged(box.path());
        QProcess p;
        test::startUnprivileged(p, QString::fromLocal8Bit(qgetenv("VANTREL_PLANNER")),
                                {"--data-dir", box.dataDir(), "startup"});
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.configDir() + "/autostart/vantrel-planner.desktop"),
                                 10000);
        const QString proc = QStringLiteral("/proc/%1/").arg(p.processId());
        const QByteArray limits = test::readAll(proc + "limits");
        const QByteArray core = limits.mid(limits.indexOf("Max core file size"), 60).simplified();
        QVERIFY2(core.startsWith("Max core file size 0 0"), core.constData());
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(proc + "environ").constData(), &st), 0);
        QCOMPARE(st.st_uid, uid_t(0));
        p.terminate();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
    }

    // A data folder that cannot be used stops the start with its reason, never with an abort.
    void aDataFolderThatCannotBeUsedIsSaidNotAborted_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a plain file") << "plainfile"
                                      << "is a file, not a folder";
        QTest::newRow("below a plain file") << "plainfile/data"
                                            << "cannot be created";
    }
    void aDataFolderThatCannotBeUsedIsSaidNotAborted() {
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        test::Sandbox box;
        test::writeAll(box.path("plainfile"), "x");
        QProcess p;
        p.start(QString::fromLocal8Bit(qgetenv("VANTREL_PLANNER")),
                {"--data-dir", box.path(folder), "startup"});
        QVERIFY(p.waitForStarted());
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += p.readAllStandardError()).contains(reason.toUtf8()), 10000);
        QVERIFY2(said.contains(box.path(folder).toUtf8()), said.constData());
        QCOMPARE(p.state(), QProcess::Running); // its message box waits for a person; no abort
        QCOMPARE(test::readAll(box.path("plainfile")), QByteArray("x"));
        p.kill();
        p.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestShutdown)
#include "test_shutdown.moc"
