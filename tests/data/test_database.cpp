#include "core/errors.h"
#include "data/database.h"
#include "data/maincursors.h"
#include "data/schema.h"
#include "support/testsupport.h"

#include <QProcess>
#include <QtTest>

using namespace vantrel;
using namespace vantrel::data;

namespace {
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
