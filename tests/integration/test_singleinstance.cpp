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
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
