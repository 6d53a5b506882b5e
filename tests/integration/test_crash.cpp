// A crash in the middle of a write must never keep the program from starting, and never lose a
// row that was committed. A child process writes as the program does and is killed with SIGKILL;
// then the data folder is opened again, by the helper and by the real program.
#include "support/testsupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>
#include <csignal>

using namespace vantrel;

namespace {

QString helper() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/crashwriter");
}

QString planner() {
    return QString::fromLocal8Bit(qgetenv("VANTREL_PLANNER"));
}

QString sqlite(const QString& file, const QString& sql) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The plans a fresh opening of the folder finds, or the reason it failed.
struct Opened {
    bool ok = false;
    QString output;
    QSet<int> plans;
};

Opened openAgain(const QString& dataDir) {
    QProcess p;
    test::startUnprivileged(p, helper(), {dataDir, QStringLiteral("check")});
    p.waitForFinished(20000);
    Opened o;
    // The keys come on standard output; the trace of the opening goes to standard error.
    const QString keys = QString::fromUtf8(p.readAllStandardOutput());
    o.output = keys + QString::fromUtf8(p.readAllStandardError());
    o.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (o.ok)
        for (const QString& line : keys.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            o.plans.insert(line.toInt());
    return o;
}

QStringList leftovers(const QString& dataDir) {
    return QDir(dataDir).entryList({QStringLiteral("*-journal"), QStringLiteral("*-mj*")},
                                   QDir::Files | QDir::Hidden);
}

// Every table file passes SQLite's own check.
void everyFileIsSound(const QString& dataDir) {
    for (const QString& f : QDir(dataDir).entryList({QStringLiteral("*.DAT")}))
        QCOMPARE(sqlite(dataDir + QLatin1Char('/') + f, QStringLiteral("PRAGMA quick_check")),
                 QStringLiteral("ok"));
}

} // namespace

class TestCrash : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (test::runningAsRoot()) qInfo("running as root: the writers and the program run as nobody");
    }

    // A kill with the changes already in the files: the journals are hot, and the next opening
    // rolls them back and opens the tables as they were before the write.
    void aWriteCutShortIsRolledBackAtTheNextStart_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("table");
        QTest::newRow("a wizard's Finish, over two files") << "die-in-finish"
                                                           << "planlist";
        QTest::newRow("a calendar rebuild") << "die-in-rebuild"
                                            << "drplanner";
    }
    void aWriteCutShortIsRolledBackAtTheNextStart() {
        QFETCH(QString, mode);
        QFETCH(QString, table);
        test::Sandbox box;
        QDir().mkpath(box.dataDir());
        test::handToUnprivileged(box.path());
        QProcess writer;
        test::startUnprivileged(writer, helper(), {box.dataDir(), mode});
        QVERIFY(writer.waitForFinished(20000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        QVERIFY2(QFile::exists(box.dataDir() + "/" + table + ".DAT-journal"),
                 qPrintable(leftovers(box.dataDir()).join(' ')));

        const Opened again = openAgain(box.dataDir());
        QVERIFY2(again.ok, qPrintable(again.output));
        QVERIFY(again.plans.isEmpty());
        QCOMPARE(leftovers(box.dataDir()), QStringList());
        everyFileIsSound(box.dataDir());
        QCOMPARE(sqlite(box.dataDir() + "/patient.DAT", "SELECT NAME FROM patient"),
                 QStringLiteral("Crash Test"));
        QCOMPARE(sqlite(box.dataDir() + "/" + table + ".DAT", "SELECT count(*) FROM " + table),
                 QStringLiteral("0"));
    }

    // Kills at random moments of a writer that never stops: after each, the folder opens, and
    // every plan whose commit was reported is there with its reminder row. Then the real program
    // starts on it and ends cleanly.
    void randomKillsLoseNoCommittedRowAndNeverStopTheStart() {
        test::Sandbox box;
        QDir().mkpath(box.dataDir());
        test::handToUnprivileged(box.path());
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        QSet<int> expected;
        int cutInsideAWrite = 0;
        for (int round = 0; round < 16; ++round) {
            QProcess writer;
            test::startUnprivileged(writer, helper(), {box.dataDir(), QStringLiteral("loop")});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(60 + static_cast<int>(random.bounded(400)));
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(10000));
            int removing = -1; // a removal under way at the kill may or may not have landed
            for (const QString& line :
                 QString::fromUtf8(writer.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
                const int id = line.section(' ', 1).toInt();
                if (line.startsWith("committed")) {
                    expected.insert(id);
                } else if (line.startsWith("removing")) {
                    removing = id;
                } else {
                    expected.remove(id);
                    removing = -1;
                }
            }
            expected.remove(removing);
            if (!leftovers(box.dataDir()).isEmpty()) ++cutInsideAWrite;

            const Opened again = openAgain(box.dataDir());
            QVERIFY2(again.ok, qPrintable(QStringLiteral("round %1: %2").arg(round).arg(again.output)));
            QVERIFY2(again.plans.contains(expected),
                     qPrintable(QStringLiteral("round %1 lost a plan").arg(round)));
            // The one write in flight at the kill may have been committed without being reported.
            const QSet<int> extra = again.plans - expected;
            QVERIFY2(extra.size() <= 1, qPrintable(QStringLiteral("round %1").arg(round)));
            expected = again.plans;
            QVERIFY2(leftovers(box.dataDir()).isEmpty(), qPrintable(leftovers(box.dataDir()).join(' ')));
        }
        qInfo("%d of 16 kills left a journal to roll back", cutInsideAWrite);
        everyFileIsSound(box.dataDir());
        QCOMPARE(sqlite(box.dataDir() + "/planlist.DAT",
                        QStringLiteral("ATTACH '%1/notif.DAT' AS n; SELECT count(*) FROM planlist p "
                                       "WHERE NOT EXISTS (SELECT 1 FROM n.notif WHERE NOTIFREF = p.NOTIFREF)")
                            .arg(box.dataDir())),
                 QStringLiteral("0"));

        QProcess program;
        test::startUnprivileged(program, planner(), {"--data-dir", box.dataDir(), "startup"});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(box.configDir() + "/autostart/vantrel-planner.desktop"),
                                 15000);
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(openAgain(box.dataDir()).plans, expected);
    }

    // Kills while doses are answered: each answer reported is there after the next opening, no
    // row is half written, each occurrence has one row, and the pills on hand went down exactly
    // once for each dose taken (the row and the count land in one commit over two files).
    void killsDuringAnswersLeaveEachRowWhole() {
        test::Sandbox box;
        QDir().mkpath(box.dataDir());
        test::handToUnprivileged(box.path());
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        QMap<int, QString> answered;
        for (int round = 0; round < 10; ++round) {
            QProcess writer;
            test::startUnprivileged(writer, helper(), {box.dataDir(), QStringLiteral("answers")});
            QVERIFY(writer.waitForStarted());
            // Killed among the answers, not while the helper sets itself up.
            QByteArray said;
            while (!said.contains("ready") && writer.waitForReadyRead(10000))
                said += writer.readAllStandardOutput();
            QVERIFY(said.contains("ready"));
            QTest::qWait(20 + static_cast<int>(random.bounded(300)));
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(10000));
            for (const QString& line : QString::fromUtf8(said + writer.readAllStandardOutput()).split('\n'))
                if (line.startsWith(QLatin1String("answered")))
                    answered.insert(line.section(' ', 1, 1).toInt(), line.section(' ', 2, 2));
            const Opened again = openAgain(box.dataDir());
            QVERIFY2(again.ok, qPrintable(QStringLiteral("round %1: %2").arg(round).arg(again.output)));
            const QString log = box.dataDir() + QStringLiteral("/doselog.DAT");
            QCOMPARE(sqlite(log, QStringLiteral("SELECT count(*) FROM doselog WHERE STATE NOT IN ('R', 'T', 'S', 'Z', "
                                                "'M') OR (STATE IN ('T', 'S') AND ACTEDAT IS NULL)")),
                     QStringLiteral("0"));
            QCOMPARE(sqlite(log, QStringLiteral("SELECT count(*) - count(DISTINCT EVENTTIME) FROM doselog")),
                     QStringLiteral("0"));
            const QString taken = sqlite(log, QStringLiteral("SELECT count(*) FROM doselog WHERE STATE = 'T'"));
            QCOMPARE(sqlite(box.dataDir() + QStringLiteral("/mlref.DAT"), QStringLiteral("SELECT PILLSONHAND FROM mlref")),
                     QString::number(100000 - taken.toInt()));
        }
        QVERIFY(answered.size() > 10);
        const QString log = box.dataDir() + QStringLiteral("/doselog.DAT");
        for (auto it = answered.cbegin(); it != answered.cend(); ++it)
            QCOMPARE(sqlite(log, QStringLiteral("SELECT STATE FROM doselog WHERE LOGID = %1").arg(it.key())), it.value());
        everyFileIsSound(box.dataDir());
        QVERIFY2(leftovers(box.dataDir()).isEmpty(), qPrintable(leftovers(box.dataDir()).join(' ')));
    }
};

QTEST_GUILESS_MAIN(TestCrash)
#include "test_crash.moc"
