// Two real processes of the program: the second start must end at once and touch nothing.
#include "support/testsupport.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QtTest>

using namespace vantrel;

namespace {

// Every file below the folder with a digest of its content and its modification time.
QMap<QString, QByteArray> snapshot(const QString& dir) {
    QMap<QString, QByteArray> out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        out[f] = QCryptographicHash::hash(test::readAll(f), QCryptographicHash::Sha1) +
                 QByteArray::number(QFileInfo(f).lastModified().toMSecsSinceEpoch());
    }
    return out;
}

QString program() {
    return QString::fromLocal8Bit(qgetenv("VANTREL_PLANNER"));
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void aSecondStartEndsAtOnceAndWritesNothing() {
        test::Sandbox box;
        QProcess first;
        first.start(program(), {"--data-dir", box.dataDir(), "startup"});
        QVERIFY(first.waitForStarted());
        // The auto-start entry is the last thing start-up writes.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.configDir() + "/autostart/vantrel-planner.desktop"),
                                 10000);
        const auto before = snapshot(box.path());

        QProcess second;
        second.start(program(), {"--data-dir", box.dataDir()});
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(snapshot(box.path()), before);
        QCOMPARE(first.state(), QProcess::Running);

        first.terminate();
        QVERIFY(first.waitForFinished(5000));
    }

    void helpAndVersionNeedNoWindow() {
        test::Sandbox box;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM"); // no display of any kind is needed
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        p.setProcessEnvironment(env);
        p.start(program(), {"--version"});
        QVERIFY(p.waitForFinished(5000));
        QVERIFY(p.readAllStandardOutput().startsWith("Vantrel Planner "));
        p.start(program(), {"--help"});
        QVERIFY(p.waitForFinished(5000));
        QVERIFY(p.readAllStandardOutput().contains("--data-dir"));
        p.start(program(), {"--nonsense"});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(!QFile::exists(box.settingsFile()));
    }

    // A runtime folder that others may write is not used for the lock; a private folder in the
    // user's cache is, and the hand-over still works.
    void aForeignLockFolderIsPassedBy() {
        test::Sandbox box;
        const QString shared = box.path("shared");
        QDir().mkpath(shared);
        QFile::setPermissions(shared, QFileDevice::Permissions(0x7777)); // rwx for everyone
        test::writeAll(shared + "/VantrelPlanner.lock", "99999\nvantrel-planner\nsomeone\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", shared);
        env.insert("XDG_CACHE_HOME", box.path("cache"));
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(program(), {"--data-dir", box.dataDir(), "startup"});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.configDir() + "/autostart/vantrel-planner.desktop"),
                                 10000);
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(QFile::exists(box.path("cache/vantrel/VantrelPlanner.lock")));
        QCOMPARE(QFileInfo(box.path("cache/vantrel")).permissions() & 0x0077, QFileDevice::Permissions());
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program(), {"--data-dir", box.dataDir()});
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(5000));
    }

    // The same user in two sessions (another runtime folder each) on one data folder: the second
    // start finds the folder taken, says so, and touches no table.
    void aSecondSessionOnTheSameTablesIsStopped() {
        test::Sandbox box;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QProcess first;
        env.insert("XDG_RUNTIME_DIR", box.path("run"));
        first.setProcessEnvironment(env);
        first.start(program(), {"--data-dir", box.dataDir(), "startup"});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.configDir() + "/autostart/vantrel-planner.desktop"),
                                 10000);
        const auto before = snapshot(box.dataDir());

        QDir().mkpath(box.path("run2"));
        QFile::setPermissions(box.path("run2"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", box.path("run2"));
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program(), {"--data-dir", box.dataDir(), "startup"});
        QVERIFY(second.waitForStarted());
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += second.readAllStandardError()).contains("already running"), 10000);
        QVERIFY2(said.contains(QString::number(first.processId()).toUtf8()), said.constData());
        QCOMPARE(snapshot(box.dataDir()), before);
        second.kill(); // its message box waits for a person
        second.waitForFinished(5000);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(5000));
    }

    // A start that cannot take the lock for any reason but a running instance says why.
    void aLockThatCannotBeTakenIsSaidNotSilent() {
        test::Sandbox box;
        test::writeAll(box.path("not-a-folder"), "x");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        env.insert("XDG_CACHE_HOME", box.path("not-a-folder"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program(), {"--data-dir", box.dataDir(), "startup"});
        QVERIFY(p.waitForStarted());
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += p.readAllStandardError()).contains("cannot start"), 10000);
        QVERIFY2(said.contains("not-a-folder"), said.constData());
        QVERIFY(!QFile::exists(box.dataDir() + "/patient.DAT")); // nothing was opened
        p.kill();                                                // its message box waits for a person
        p.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
