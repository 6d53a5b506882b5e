#include "base/errors.h"
#include "data/database.h"
#include "data/listquery.h"
#include "data/table.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vantrel;
using namespace vantrel::data;

class TestTable : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Sandbox> box;
    std::unique_ptr<Database> db;

    int addPlan(int patient, int dr, int med) {
        Table t(*db, "planlist");
        t.open();
        t.append();
        t.setValue("PATIENTREF", patient);
        t.setValue("DRREF", dr);
        t.setValue("MEDREF", med);
        t.setValue("APPTTYPE", dr > 0 ? "D" : "M");
        t.post();
        return t.integer("APPTID");
    }

private slots:
    void init() {
        box = std::make_unique<test::Sandbox>();
        db = std::make_unique<Database>();
        db->open(box->dataDir());
    }
    void cleanup() {
        db.reset();
        box.reset();
    }

    void theKeyIsReadableRightAfterAPost() {
        Table notif(*db, "notif", "tbnotif");
        notif.open();
        QVERIFY(notif.isEmpty() && notif.eof());
        notif.append();
        notif.setValue("NOTIFTYPE", "P");
        notif.post();
        const int first = notif.integer("NOTIFREF");
        QVERIFY(first > 0);
        notif.append();
        notif.post();
        QCOMPARE(notif.integer("NOTIFREF"), first + 1);
        QCOMPARE(notif.state(), Table::State::Browse);
    }

    void filtersOfOneOrTwoComparisons() {
        const int a = addPlan(1, 5, -1);
        addPlan(1, -1, 7);
        const int c = addPlan(2, 5, -1);
        Table t(*db, "planlist", "tbplanlist");
        t.open();
        QCOMPARE(t.rowCount(), 3);
        t.setFilter("PATIENTREF = 1 and DRREF = 5");
        t.setFiltered(true);
        QCOMPARE(t.rowCount(), 1);
        QCOMPARE(t.integer("APPTID"), a);
        t.setFilter("patientref=2 AND drref = 5");
        QCOMPARE(t.integer("APPTID"), c);
        t.setFilter("DRREF = 5");
        QCOMPARE(t.rowCount(), 2);
        // -1 links nothing: a dose never matches a doctor filter and the other way round.
        t.setFilter("MEDREF = -1");
        QCOMPARE(t.rowCount(), 2);
        t.setFilter("DRREF = 7");
        QCOMPARE(t.rowCount(), 0);
        QVERIFY(t.eof() && t.isEmpty());
        t.setFiltered(false);
        QCOMPARE(t.rowCount(), 3);
    }

    void aFilterOfAnyOtherFormIsRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << "NAME = 'x'";
        QTest::newRow("injection") << "PATIENTREF = 1; DROP TABLE planlist";
        QTest::newRow("or") << "PATIENTREF = 1 or 1 = 1";
        QTest::newRow("three") << "PATIENTREF = 1 and DRREF = 2 and MEDREF = 3";
        QTest::newRow("unknown field") << "NOSUCH = 1";
        QTest::newRow("empty") << "";
        QTest::newRow("less") << "PATIENTREF < 3";
    }
    void aFilterOfAnyOtherFormIsRefused() {
        QFETCH(QString, text);
        addPlan(1, 5, -1);
        Table t(*db, "planlist");
        t.open();
        t.setFilter("PATIENTREF = 1");
        t.setFiltered(true);
        QVERIFY_THROWS_EXCEPTION(DataError, t.setFilter(text));
        QCOMPARE(t.filter(), QStringLiteral("PATIENTREF = 1"));
        QCOMPARE(t.rowCount(), 1);
    }

    void locateIsExactAndNumbersMayComeAsText() {
        Table p(*db, "patient", "tbpatient");
        p.open();
        for (const char* n : {"Ann", "ann", "Ann Lee", "Bob"}) {
            p.append();
            p.setValue("NAME", QString::fromUtf8(n));
            p.post();
        }
        QVERIFY(p.locate("name", "ann"));
        QCOMPARE(p.text("NAME"), QStringLiteral("ann"));
        QVERIFY(p.locate("NAME", "Ann"));
        QCOMPARE(p.integer("PATIENTREF"), 1);
        QVERIFY(!p.locate("NAME", "An"));
        QCOMPARE(p.text("NAME"), QStringLiteral("Ann")); // stays where it was
        QVERIFY(p.locate("PATIENTREF", "4"));
        QCOMPARE(p.text("NAME"), QStringLiteral("Bob"));
        QVERIFY(p.locate("PATIENTREF", 3));
        QVERIFY(!p.locate("PATIENTREF", "4x"));
    }

    void naturalOrderIsStableKeyOrder() {
        Table p(*db, "patient");
        p.open();
        for (int i = 0; i < 5; ++i) {
            p.append();
            p.setValue("NAME", QString("P%1").arg(4 - i));
            p.post();
        }
        p.locate("NAME", "P2");
        p.remove(); // the next row becomes current
        QCOMPARE(p.text("NAME"), QStringLiteral("P1"));
        QStringList seen;
        for (p.first(); !p.eof(); p.next())
            seen << p.text("NAME");
        QCOMPARE(seen, QStringList({"P4", "P3", "P1", "P0"}));
        p.first();
        p.moveBy(2);
        QCOMPARE(p.text("NAME"), QStringLiteral("P1"));
        p.moveBy(10);
        QVERIFY(p.eof());
        QCOMPARE(p.text("NAME"), QStringLiteral("P0"));
        p.remove(); // removing the last row leaves the one before it
        QCOMPARE(p.text("NAME"), QStringLiteral("P1"));
    }

    void aRowPostedThroughOneCursorIsSeenByAnother() {
        Table mine(*db, "dlref", "dialog");
        Table main(*db, "dlref", "tbdlref");
        mine.open();
        main.open();
        main.setFilter("patientref = 3");
        main.setFiltered(true);
        QVERIFY(main.isEmpty());
        mine.append();
        mine.setValue("PATIENTREF", 3);
        mine.setValue("DRREF", 9);
        mine.post();
        QVERIFY(main.locate("DLREF", QString::number(mine.integer("DLREF"))));
        QCOMPARE(main.integer("DRREF"), 9);
        mine.edit();
        mine.setValue("DRREF", 10);
        mine.post();
        main.refresh();
        QCOMPARE(main.integer("DRREF"), 10);
        mine.remove();
        main.first();
        QVERIFY(main.isEmpty());
    }

    void nullsReadAsEmptyZeroOrFalse() {
        Table t(*db, "planlist");
        t.open();
        t.append();
        t.post();
        QVERIFY(t.isNull("REPEND"));
        QCOMPARE(t.number("REPEND"), 0.0);
        QCOMPARE(t.integer("REPDAYS"), 0);
        QCOMPARE(t.text("REPTYPE"), QString());
        Table n(*db, "notif");
        n.open();
        n.append();
        n.post();
        QCOMPARE(n.boolean("PLAYAUDIO"), false);
    }

    void textRoundTripsUnchanged() {
        const QString tricky =
            QStringLiteral("O'Brien; \"Dr.\" \u00c4rztin\nsecond line\t\u20ac \u65e5\u672c");
        Table d(*db, "doctor");
        d.open();
        d.append();
        for (const char* f : {"LASTNAME", "FIRSTNAME", "SPECIALTY", "COMMENTS"})
            d.setValue(f, tricky);
        d.post();
        Table again(*db, "doctor");
        again.open();
        QVERIFY(again.locate("LASTNAME", tricky));
        QCOMPARE(again.text("COMMENTS"), tricky);
        QCOMPARE(again.text("FIRSTNAME"), tricky);
    }

    void cancelDropsAnAppendedRow() {
        Table t(*db, "patient");
        t.open();
        t.append();
        t.setValue("NAME", "x");
        t.cancel();
        QCOMPARE(t.rowCount(), 0);
        QVERIFY_THROWS_EXCEPTION(DataError, t.setValue("NAME", "y"));
        QVERIFY_THROWS_EXCEPTION(DataError, t.value("NOSUCH"));
    }

    void theListQueriesJoinLinksToTheirRows() {
        db->run(
            "INSERT INTO doctor (LASTNAME, FIRSTNAME, SPECIALTY) VALUES ('House', 'Greg', 'Diagnostics')");
        db->run("INSERT INTO doctor (LASTNAME, FIRSTNAME) VALUES ('Other', 'Doc')");
        db->run("INSERT INTO dlref (PATIENTREF, DRREF) VALUES (1, 1)");
        db->run("INSERT INTO dlref (PATIENTREF, DRREF) VALUES (2, 2)");
        db->run("INSERT INTO medicine (NAME) VALUES ('Aspirin')");
        db->run("INSERT INTO mlref (PATIENTREF, MEDREF, rxnum) VALUES (1, 1, 'RX1')");
        ListQuery q(*db, "qrydoctor");
        QCOMPARE(doctorListSql(1),
                 QStringLiteral("select LASTNAME,FIRSTNAME,SPECIALTY,DOCTOR.DRREF,dlref.dlref from "
                                "dlref, doctor where dlref.patientref=1 and dlref.drref=doctor.drref"));
        q.setSql(doctorListSql(1));
        q.open();
        QCOMPARE(q.rowCount(), 1);
        QCOMPARE(q.value(0, "LASTNAME").toString(), QStringLiteral("House"));
        QCOMPARE(q.value(0, "DRREF").toInt(), 1);
        QCOMPARE(q.value(0, "DLREF").toInt(), 1);
        QVERIFY_THROWS_EXCEPTION(DataError, q.setSql(doctorListSql(2)));
        q.close();
        QVERIFY_THROWS_EXCEPTION(DataError, q.setSql("delete from doctor"));
        QVERIFY_THROWS_EXCEPTION(DataError, q.setSql("select 1; delete from doctor"));
        ListQuery m(*db, "qrymedicine");
        m.setSql(medicineListSql(1));
        m.open();
        QCOMPARE(m.rowCount(), 1);
        QCOMPARE(m.value(0, "NAME").toString(), QStringLiteral("Aspirin"));
        QCOMPARE(m.value(0, "MLREF").toInt(), 1);
        QCOMPARE(m.value(0, "medref").toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestTable)
#include "test_table.moc"
