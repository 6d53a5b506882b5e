#include "base/errors.h"
#include "core/datetime.h"
#include "data/database.h"
#include "data/maincursors.h"
#include "data/schema.h"
#include "support/testsupport.h"

#include <QProcess>
#include <QtTest>
#include <sys/stat.h>

using namespace vantrel;
using namespace vantrel::data;

namespace {
// The version-1 files committed beside this test, copied into a folder of the test's own.
QString copyOfVersionOne(const test::Sandbox& box) {
    const QString from = QFINDTESTDATA("version1");
    QDir().mkpath(box.dataDir());
    for (const QString& f : QDir(from).entryList({"*.DAT"})) {
        QFile::copy(from + "/" + f, box.dataDir() + "/" + f);
        QFile::setPermissions(box.dataDir() + "/" + f, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    return from;
}

QString sqlite(const QString& file, const QString& sql) {
    QProcess p;
    p.start("sqlite3", {file, sql});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const DataError& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}
} // namespace

class TestDatabase : public QObject {
    Q_OBJECT
private slots:
    void theEightFilesAreCreatedWithTheirFields() {
        test::Sandbox box;
        Database db;
        db.open(box.dataDir());
        db.close();
        for (const TableDef& t : allTables()) {
            const QString file = box.dataDir() + "/" + t.fileName();
            QVERIFY2(QFile::exists(file), qPrintable(file));
            // Each file opens on its own in the sqlite3 shell.
            QProcess p;
            p.start("sqlite3", {file, QStringLiteral("PRAGMA table_info(%1)").arg(t.name)});
            QVERIFY(p.waitForFinished());
            const QString out = QString::fromUtf8(p.readAllStandardOutput());
            for (const FieldDef& f : t.fields)
                QVERIFY2(out.contains("|" + f.name + "|"), qPrintable(t.name + "." + f.name));
        }
    }

    void anExistingFileIsOpenedAsItIs() {
        test::Sandbox box;
        {
            Database db;
            db.open(box.dataDir());
            db.run("INSERT INTO patient (NAME) VALUES (?)", {"Ann"});
        }
        Database db;
        db.open(box.dataDir());
        QSqlQuery& q = db.run("SELECT NAME FROM patient");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Ann"));
        q.finish();
    }

    void aFileThatIsNotATableIsNamedAndLeftAlone_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << "notif.DAT" << QByteArray("this is not a table at all\n\x01\x02", 29);
        QTest::newRow("main file garbage") << "patient.DAT" << QByteArray(200, 'x');
        QTest::newRow("dose log garbage") << "doselog.DAT" << QByteArray(4096, '\x5a');
    }
    void aFileThatIsNotATableIsNamedAndLeftAlone() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        test::Sandbox box;
        QDir().mkpath(box.dataDir());
        test::writeAll(box.dataDir() + "/" + file, content);
        Database db;
        const QString err = errorOf([&] { db.open(box.dataDir()); });
        QVERIFY2(err.contains(file), qPrintable(err));
        QVERIFY(!db.isOpen());
        QCOMPARE(test::readAll(box.dataDir() + "/" + file), content);
        // Nothing else was created either: the check comes before any file is opened.
        QCOMPARE(QDir(box.dataDir()).entryList(QDir::Files).size(), 1);
    }

    void aForeignDatabaseIsRefused() {
        test::Sandbox box;
        QDir().mkpath(box.dataDir());
        const QString file = box.dataDir() + "/doctor.DAT";
        QProcess::execute("sqlite3", {file, "CREATE TABLE other (x); INSERT INTO other VALUES (1);"});
        const QByteArray before = test::readAll(file);
        Database db;
        QVERIFY(errorOf([&] { db.open(box.dataDir()); }).contains("doctor.DAT"));
        QCOMPARE(test::readAll(file), before);

        QFile::remove(file);
        QProcess::execute("sqlite3",
                          {file, "CREATE TABLE doctor (DRREF INTEGER PRIMARY KEY, LASTNAME TEXT);"});
        QVERIFY(errorOf([&] { db.open(box.dataDir()); }).contains("FIRSTNAME"));
    }

    void aDataFolderThatCannotBeMadeIsReported() {
        test::Sandbox box;
        test::writeAll(box.path("plainfile"), "x");
        Database db;
        QVERIFY(errorOf([&] { db.open(box.path("plainfile/data")); }).contains("cannot be created"));
    }

    void transactionsLandWholeOrNotAtAll() {
        test::Sandbox box;
        Database db;
        db.open(box.dataDir());
        db.run("INSERT INTO notif (NOTIFTYPE) VALUES ('P')");
        const QString err = errorOf([&] {
            db.transaction([&] {
                db.run("DELETE FROM notif");
                db.run("INSERT INTO planlist (APPTTYPE) VALUES ('M')");
                db.run("INSERT INTO no_such_table VALUES (1)");
            });
        });
        QVERIFY(!err.isEmpty());
        QSqlQuery& q = db.run("SELECT (SELECT count(*) FROM notif), (SELECT count(*) FROM planlist)");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toInt(), 0);
        q.finish();
        db.transaction([&] {
            db.run("DELETE FROM notif");
            db.run("INSERT INTO planlist (APPTTYPE) VALUES ('M')");
        });
        QSqlQuery& r = db.run("SELECT (SELECT count(*) FROM notif), (SELECT count(*) FROM planlist)");
        QVERIFY(r.next());
        QCOMPARE(r.value(0).toInt(), 0);
        QCOMPARE(r.value(1).toInt(), 1);
        r.finish();
    }

    // A loop over a statement's rows that runs the same statement inside it keeps its own rows.
    void aStatementInUseIsNotHandedOutAgain() {
        test::Sandbox box;
        Database db;
        db.open(box.dataDir());
        for (const char* name : {"Ann", "Ben", "Cid"})
            db.run(QStringLiteral("INSERT INTO patient (NAME) VALUES (?)"), {QString::fromLatin1(name)});
        const QString sql =
            QStringLiteral("SELECT NAME FROM patient WHERE PATIENTREF >= ? ORDER BY PATIENTREF");
        QStringList outer, inner;
        QSqlQuery& q = db.run(sql, {1});
        while (q.next()) {
            outer << q.value(0).toString();
            QSqlQuery& nested = db.run(sql, {3});
            QVERIFY(&nested != &q);
            while (nested.next())
                inner << nested.value(0).toString();
            nested.finish();
        }
        q.finish();
        QCOMPARE(outer, QStringList({"Ann", "Ben", "Cid"}));
        QCOMPARE(inner, QStringList({"Cid", "Cid", "Cid"}));
        // Once finished, the statement is used again rather than made anew.
        QCOMPARE(&db.run(sql, {1}), &q);
        db.close();
    }

    // The tables hold a household's medical data: the folder the program makes is 0700 and its
    // files 0600 whatever the umask; a folder given to it keeps its own mode.
    void theFilesArePrivateWhateverTheUmask_data() {
        QTest::addColumn<int>("mask");
        QTest::newRow("umask 022") << 022;
        QTest::newRow("umask 000") << 0;
    }
    void theFilesArePrivateWhateverTheUmask() {
        QFETCH(int, mask);
        const mode_t old = ::umask(static_cast<mode_t>(mask));
        test::Sandbox box;
        const QString made = box.path("made/data");
        {
            Database db;
            db.open(made);
            db.run("INSERT INTO patient (NAME) VALUES ('Ann')");
        }
        QDir().mkpath(box.path("given"));
        QFile::setPermissions(box.path("given"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                     QFileDevice::ExeGroup);
        {
            Database db;
            db.open(box.path("given"));
        }
        ::umask(old);
        const auto mode = [](const QString& path) {
            struct stat st {};
            ::stat(QFile::encodeName(path).constData(), &st);
            return static_cast<int>(st.st_mode & 0777);
        };
        QCOMPARE(mode(made), 0700);
        QCOMPARE(mode(box.path("given")), 0750);
        for (const TableDef& t : allTables()) {
            QCOMPARE(mode(made + "/" + t.fileName()), 0600);
            QCOMPARE(mode(box.path("given/") + t.fileName()), 0600);
        }
    }

    // A table file whose header is sound but a page is not is named, and nothing is written.
    void aDamagedPageIsNamedAndNothingIsWritten() {
        test::Sandbox box;
        {
            Database db;
            db.open(box.dataDir());
            db.transaction([&] {
                for (int i = 0; i < 300; ++i)
                    db.run("INSERT INTO patient (NAME) VALUES (?)", {QString(100, QChar('a' + i % 26))});
            });
        }
        const QString file = box.dataDir() + "/patient.DAT";
        QByteArray bytes = test::readAll(file);
        QVERIFY(bytes.size() > 3 * 4096);
        for (int i = 0; i < 64; ++i)
            bytes[2 * 4096 + i] = char(0xA5);
        test::writeAll(file, bytes);
        const auto before = QFileInfo(file).lastModified();
        Database db;
        const QString error = errorOf([&] { db.open(box.dataDir()); });
        QVERIFY2(error.contains("patient.DAT") && error.contains("damaged"), qPrintable(error));
        QCOMPARE(test::readAll(file), bytes);
        QCOMPARE(QFileInfo(file).lastModified(), before);
        QVERIFY(!db.isOpen());
    }

    // Every existing file is checked before a missing one is made: one foreign file stops the
    // opening with nothing new beside it.
    void oneForeignFileAddsNoNewFiles() {
        test::Sandbox box;
        QDir().mkpath(box.dataDir());
        test::writeAll(box.dataDir() + "/notif.DAT", "not a table file at all, just some text");
        Database db;
        QVERIFY(errorOf([&] { db.open(box.dataDir()); }).contains("notif.DAT"));
        QCOMPARE(QDir(box.dataDir()).entryList(QDir::Files), QStringList({"notif.DAT"}));
    }

    // An emptied profile table, with links of the old profiles still there: a new profile gets a
    // key none of them uses, so it never inherits another person's medicines.
    void aTableMadeAnewHandsOutKeysAboveTheOnesStillReferred() {
        test::Sandbox box;
        {
            Database db;
            db.open(box.dataDir());
            for (const char* name : {"Ann", "Ben", "Cid"})
                db.run("INSERT INTO patient (NAME) VALUES (?)", {QString::fromLatin1(name)});
            db.run("INSERT INTO mlref (PATIENTREF, MEDREF) VALUES (3, 1)");
            db.run("INSERT INTO planlist (PATIENTREF, NOTIFREF) VALUES (2, 7)");
        }
        QFile::resize(box.dataDir() + "/patient.DAT", 0);
        QFile::remove(box.dataDir() + "/notif.DAT");
        Database db;
        db.open(box.dataDir());
        db.run("INSERT INTO patient (NAME) VALUES ('Dee')");
        QSqlQuery& q = db.run("SELECT PATIENTREF FROM patient");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 4);
        q.finish();
        db.run("INSERT INTO notif (NOTIFTYPE) VALUES ('P')");
        QSqlQuery& n = db.run("SELECT max(NOTIFREF) FROM notif");
        QVERIFY(n.next());
        QCOMPARE(n.value(0).toInt(), 8);
        n.finish();
    }

    // Files written before a file carried its version open as version 1, with every row, and
    // carry the version from then on; every file the program makes carries it from the start.
    void theVersionOneFilesOpenWithEveryRow() {
        test::Sandbox box;
        copyOfVersionOne(box);
        {
            Database db;
            db.open(box.dataDir());
            // The dose log came with version 2: its file is new, the others are the old ones.
            QCOMPARE(db.createdTables(), QStringList({"doselog"}));
            QSqlQuery& q =
                db.run("SELECT p.APPTID, p.REPTYPE, p.REPDAYS, n.NOTIFTEXT, d.LASTNAME, m.NAME, l.rxnum "
                       "FROM planlist p JOIN notif n ON n.NOTIFREF = p.NOTIFREF "
                       "LEFT JOIN doctor d ON d.DRREF = p.DRREF LEFT JOIN medicine m ON m.MEDREF = p.MEDREF "
                       "LEFT JOIN mlref l ON l.MEDREF = p.MEDREF ORDER BY p.APPTID");
            QStringList rows;
            while (q.next())
                rows << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                            .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                 q.value(3).toString(), q.value(4).toString(), q.value(5).toString(),
                                 q.value(6).toString());
            q.finish();
            QCOMPARE(rows, QStringList({"1 N  Take it with water  Vitamin D RX-1234",
                                        "2 N  Bring the X-rays House  ",
                                        "3 W 246 With breakfast  Vitamin D RX-1234"}));
        }
        for (const TableDef& t : allTables())
            QCOMPARE(sqlite(box.dataDir() + "/" + t.fileName(), "PRAGMA user_version").toInt(),
                     t.name == "mlref" || t.name == "planlist" ? 2 : 1);
        // Only the files that were upgraded were copied first.
        QCOMPARE(QDir(box.dataDir()).entryList({"*.version*"}),
                 QStringList({"mlref.DAT.version1", "planlist.DAT.version1"}));
        // The plans already there count as written at the upgrade: nothing before it is caught up.
        const double now = dt::fromQDateTime(QDateTime::currentDateTime());
        for (const QString& changed :
             sqlite(box.dataDir() + "/planlist.DAT", "SELECT CHANGEDAT FROM planlist").split('\n')) {
            QVERIFY2(std::abs(changed.toDouble() - now) < 5 * dt::kMinute, qPrintable(changed));
        }
        QCOMPARE(sqlite(box.dataDir() + "/mlref.DAT",
                        "SELECT rxnum, PILLSONHAND IS NULL, PILLSPERDOSE, REFILLDAYS FROM mlref"),
                 QStringLiteral("RX-1234|1|1|7"));
        test::Sandbox fresh;
        {
            Database db;
            db.open(fresh.dataDir());
            QCOMPARE(db.createdTables().size(), int(allTables().size()));
        }
        for (const TableDef& t : allTables())
            QVERIFY(sqlite(fresh.dataDir() + "/" + t.fileName(), "PRAGMA user_version").toInt() >= 1);
    }

    // An upgrade that adds: each file of an earlier version is copied first (private), then all
    // are upgraded in one transaction; the rows stay and the new column has its default. A
    // file made now goes the same way, from version 1, and needs no copy.
    void anEarlierFileIsCopiedThenUpgraded() {
        const std::vector<Migration> laterVersion{
            {"mlref", 3, {"ALTER TABLE %1.mlref ADD COLUMN PILLS INTEGER DEFAULT 30"}},
            {"patient", 2, {"ALTER TABLE %1.patient ADD COLUMN NICKNAME TEXT DEFAULT 'none'"}}};
        test::Sandbox box;
        const QString original = copyOfVersionOne(box);
        {
            Database db("upgrade", laterVersion);
            db.open(box.dataDir());
            QSqlQuery& q = db.run("SELECT (SELECT PILLS FROM mlref), (SELECT NICKNAME FROM patient), "
                                  "(SELECT count(*) FROM planlist)");
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 30);
            QCOMPARE(q.value(1).toString(), QStringLiteral("none"));
            QCOMPARE(q.value(2).toInt(), 3);
            q.finish();
        }
        for (const char* t : {"mlref", "patient"}) {
            const QString file = box.dataDir() + "/" + t + ".DAT";
            QCOMPARE(sqlite(file, "PRAGMA user_version"),
                     QString::fromLatin1(t == QByteArray("mlref") ? "3" : "2"));
            QCOMPARE(test::readAll(file + ".version1"), test::readAll(original + "/" + t + ".DAT"));
            QCOMPARE(QFileInfo(file + ".version1").permissions() & 0x0077, QFileDevice::Permissions());
        }
        QCOMPARE(sqlite(box.dataDir() + "/doctor.DAT", "PRAGMA user_version"), QStringLiteral("1"));
        QCOMPARE(QDir(box.dataDir()).entryList({"*.version*"}).size(), 3); // and planlist, by the program's own

        test::Sandbox fresh;
        {
            Database db("fresh", laterVersion);
            db.open(fresh.dataDir());
        }
        QCOMPARE(sqlite(fresh.dataDir() + "/mlref.DAT", "PRAGMA user_version"), QStringLiteral("3"));
        QVERIFY(sqlite(fresh.dataDir() + "/mlref.DAT", "PRAGMA table_info(mlref)").contains("PILLS"));
        QVERIFY(QDir(fresh.dataDir()).entryList({"*.version*"}).isEmpty());
    }

    // One step of the upgrade fails: no file is upgraded, and the program says which.
    void anUpgradeThatFailsChangesNoFile() {
        test::Sandbox box;
        copyOfVersionOne(box);
        Database db("failing", {{"patient", 2, {"ALTER TABLE %1.patient ADD COLUMN NICKNAME TEXT"}},
                                {"mlref", 3, {"ALTER TABLE %1.mlref ADD COLUMN"}}});
        QVERIFY(!errorOf([&] { db.open(box.dataDir()); }).isEmpty());
        QVERIFY(!db.isOpen());
        QVERIFY(!sqlite(box.dataDir() + "/patient.DAT", "PRAGMA table_info(patient)").contains("NICKNAME"));
        for (const TableDef& t : allTables())
            QCOMPARE(sqlite(box.dataDir() + "/" + t.fileName(), "PRAGMA user_version"), QStringLiteral("0"));
        // The next start of a program that knows only version 1 opens them as they were.
        Database again;
        again.open(box.dataDir());
    }

    // A file of a later program is refused, named, and nothing is written or made.
    void aFileOfALaterVersionIsRefusedAndNothingWritten() {
        test::Sandbox box;
        copyOfVersionOne(box);
        QVERIFY(sqlite(box.dataDir() + "/planlist.DAT", "PRAGMA user_version = 7").isEmpty());
        QFile::remove(box.dataDir() + "/drplanner.DAT");
        QMap<QString, QByteArray> before;
        for (const QString& f : QDir(box.dataDir()).entryList(QDir::Files))
            before[f] = test::readAll(box.dataDir() + "/" + f);
        Database db;
        const QString error = errorOf([&] { db.open(box.dataDir()); });
        QVERIFY2(error.contains("planlist.DAT") && error.contains("later version"), qPrintable(error));
        QMap<QString, QByteArray> after;
        for (const QString& f : QDir(box.dataDir()).entryList(QDir::Files))
            after[f] = test::readAll(box.dataDir() + "/" + f);
        QCOMPARE(after, before);
    }

    void theMainWindowCursorsOpenInTheirOrder() {
        test::Sandbox box;
        Database db;
        db.open(box.dataDir());
        MainCursors c(db);
        QStringList names;
        for (Table* t : c.inOpeningOrder())
            names << t->objectName();
        QCOMPARE(names, QStringList({"tbplanlist", "tbplanlist2", "tbplanlist3", "tbplanlist4", "tbplanner",
                                     "tbmedicine", "tbmedicine2", "tbmlref", "tbdlref", "tbdoctor",
                                     "tbdoctor2", "tbpatient", "tbnotif", "tbnotif2"}));
        c.openAll();
        for (Table* t : c.inOpeningOrder())
            QVERIFY(t->active());
        QVERIFY(!c.qrydoctor.active());
        c.closeAll();
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
