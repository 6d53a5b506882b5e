// The History page over a seeded month: newest first, the adherence line, a square a day, answers
// set afterwards, notes, and the export read back by a CSV parser.
#include "core/datetime.h"
#include "plans/doselog.h"
#include "plans/history.h"
#include "records/historypage.h"
#include "support/guifixture.h"
#include "support/plans.h"
#include "widgets/datagrid.h"
#include "widgets/daysquares.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

using namespace vantrel;
using test::MainWindowFixture;

namespace {

// The fixture's clock stands at 5 January 2026, 9:00.
double daysAgo(int days, int hour) {
    return dt::encode(2026, 1, 5, hour) - days;
}

// Ann's Amoxicillin at 8:00 on each of the last 28 days: taken but on two days (one skipped, one
// not confirmed), ten pills on hand; and an appointment yesterday.
struct HistoryFixture : MainWindowFixture {
    int plan = -1;
    HistoryFixture() : MainWindowFixture({}, {}, {QStringLiteral("Ann"), QStringLiteral("Ben")}) {
        seed([this](data::Database& db) {
            const int med = test::addMedicine(db, QStringLiteral("Amoxicillin"));
            test::addLink(db, "mlref", 1, med);
            db.run(QStringLiteral("UPDATE mlref SET PILLSONHAND = 10, PILLSPERDOSE = 1"));
            test::PlanSpec p;
            p.medicine = med;
            p.start = daysAgo(60, 8);
            p.repeat = QStringLiteral("D");
            plan = test::addPlan(db, p);
            plans::DoseLog log(db);
            for (int day = 28; day >= 1; --day) {
                const auto row = log.raise(occurrence(plan, "M", "Amoxicillin", daysAgo(day, 8)), daysAgo(day, 8));
                if (day == 10) log.setAnswer(row.LOGID, u'S', daysAgo(day, 9));
                else if (day == 4) db.run(QStringLiteral("UPDATE doselog SET STATE = 'M' WHERE LOGID = ?"), {row.LOGID});
                else log.setAnswer(row.LOGID, u'T', daysAgo(day, 8) + 5 * dt::kMinute);
            }
            db.run(QStringLiteral("UPDATE mlref SET PILLSONHAND = 10"));
            const auto visit = log.raise(occurrence(99, "D", "Greg House", daysAgo(1, 14)), daysAgo(1, 13));
            log.setAnswer(visit.LOGID, u'T', daysAgo(1, 15));
            // Ben's row is never shown on Ann's page.
            ReminderOccurrence ben = occurrence(98, "M", "Ibuprofen", daysAgo(2, 8));
            ben.PATIENTREF = 2;
            log.raise(ben, daysAgo(2, 8));
        });
        window->dxSideBar1ItemClick(3);
        page()->reload(); // the rows were written behind the page's back
    }
    static ReminderOccurrence occurrence(int plan, const char* type, const char* name, double at) {
        ReminderOccurrence o;
        o.APPTID = plan;
        o.PATIENTREF = 1;
        o.APPTTYPE = QString::fromLatin1(type);
        o.itemName = QString::fromLatin1(name);
        o.eventTime = at;
        return o;
    }
    HistoryPage* page() const { return window->historyPage(); }
    DataGrid* grid() const { return page()->grid(); }
    // Selects the shown row whose date and medicine or doctor are these.
    void select(double eventTime, const QString& item) {
        for (int r = 1; r <= grid()->shownRows(); ++r)
            if (grid()->cell(r, 0) == dt::formatDate(eventTime) && grid()->cell(r, 2) == item) {
                grid()->selectShownRow(r);
                return;
            }
        QFAIL("no such row");
    }
    plans::DoseLogRow row(double eventTime) {
        return *plans::DoseLog(ctx.db).find(plan, eventTime);
    }
};

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void theMonthIsListedNewestFirstWithItsAdherence() {
        HistoryFixture f;
        QCOMPARE(f.page()->periodDays(), 30);
        QCOMPARE(f.grid()->shownRows(), 29);
        QStringList header;
        for (const auto& c : f.grid()->columns())
            header << c.caption;
        QCOMPARE(header.mid(0, 5), QStringList({"Date", "Time", "Medicine / Doctor", "Answer", "Answered"}));
        QCOMPARE(f.grid()->cell(1, 2), QStringLiteral("Greg House"));
        QCOMPARE(f.grid()->cell(1, 3), QStringLiteral("Attended"));
        QCOMPARE(f.grid()->cell(2, 0), dt::formatDate(daysAgo(1, 8)));
        QCOMPARE(f.grid()->cell(2, 1), QStringLiteral("08:00 AM"));
        QCOMPARE(f.grid()->cell(2, 4), dt::formatDate(daysAgo(1, 8)) + QStringLiteral(" 08:05 AM"));
        QCOMPARE(f.grid()->cell(29, 0), dt::formatDate(daysAgo(28, 8)));
        QCOMPARE(f.find<QLabel>("lblAdherence")->text(),
                 QStringLiteral("Amoxicillin: 26 of 28 doses taken (93%) in the last 30 days"));

        // A square a day: 30 days, the oldest two without doses, a skipped day none taken.
        const auto days = f.page()->days()->days();
        QCOMPARE(days.size(), 30);
        QCOMPARE(days.last().date, QDate(2026, 1, 5));
        QCOMPARE(days[0].kind, DaySquares::Kind::NoDoses);
        QCOMPARE(days[29].kind, DaySquares::Kind::NoDoses); // today's dose is still to come
        QCOMPARE(days[28].kind, DaySquares::Kind::AllTaken);
        QCOMPARE(days[19].kind, DaySquares::Kind::NoneTaken); // ten days ago, skipped
        QCOMPARE(days[19].tooltip, QStringLiteral("Fri 12/26/2025\n08:00 AM Amoxicillin: Skipped"));
        QVERIFY(days[19].tooltip.startsWith(QLocale::c().toString(QDate(2025, 12, 26), "ddd")));

        f.find<QComboBox>("cbHistoryPeriod")->setCurrentIndex(0); // 7 days
        QCOMPARE(f.grid()->shownRows(), 7); // six doses and the visit
        QCOMPARE(f.find<QLabel>("lblAdherence")->text(),
                 QStringLiteral("Amoxicillin: 5 of 6 doses taken (83%) in the last 7 days"));
        QCOMPARE(f.page()->days()->days().size(), 7);
        f.find<QComboBox>("cbHistoryPeriod")->setCurrentIndex(3); // all
        QCOMPARE(f.find<QLabel>("lblAdherence")->text(), QStringLiteral("Amoxicillin: 26 of 28 doses taken (93%) in all"));
    }

    // A row's answer set afterwards: taken at a chosen time (its pill off the count), skipped
    // (the pill back), and a note kept as typed.
    void anAnswerAndANoteAreSetAfterwards() {
        HistoryFixture f;
        f.select(daysAgo(4, 8), "Amoxicillin");
        QCOMPARE(f.grid()->cell(f.grid()->selectedRow(), 3), QStringLiteral("Not confirmed"));
        test::whenModal<TfrmHistoryEntry>([](TfrmHistoryEntry* d) {
            auto* edit = d->findChild<QDateTimeEdit*>("dtTakenAt");
            QCOMPARE(edit->dateTime(), dt::toQDateTime(daysAgo(4, 8)));
            edit->setDateTime(dt::toQDateTime(daysAgo(4, 11)));
            test::clickOk(d);
        });
        QTest::mouseClick(f.find<QPushButton>("btnHistoryTaken"), Qt::LeftButton);
        QCOMPARE(f.row(daysAgo(4, 8)).STATE, QStringLiteral("T"));
        QCOMPARE(f.row(daysAgo(4, 8)).ACTEDAT, daysAgo(4, 11));
        QCOMPARE(f.grid()->cell(f.grid()->selectedRow(), 3), QStringLiteral("Taken")); // still selected
        QCOMPARE(f.find<QLabel>("lblAdherence")->text(),
                 QStringLiteral("Amoxicillin: 27 of 28 doses taken (96%) in the last 30 days"));
        QSqlQuery& q = f.ctx.db.run(QStringLiteral("SELECT PILLSONHAND FROM mlref"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 9);
        q.finish();

        QTest::mouseClick(f.find<QPushButton>("btnHistorySkipped"), Qt::LeftButton);
        QCOMPARE(f.row(daysAgo(4, 8)).STATE, QStringLiteral("S"));
        QSqlQuery& back = f.ctx.db.run(QStringLiteral("SELECT PILLSONHAND FROM mlref"));
        QVERIFY(back.next());
        QCOMPARE(back.value(0).toInt(), 10);
        back.finish();

        const QString note = QStringLiteral("<b>Felt dizzy</b>, took it \"later\"");
        test::whenModal<TfrmHistoryEntry>([note](TfrmHistoryEntry* d) {
            d->findChild<QLineEdit*>("teNote")->setText(note);
            test::clickOk(d);
        });
        QTest::mouseClick(f.find<QPushButton>("btnHistoryNote"), Qt::LeftButton);
        QCOMPARE(f.row(daysAgo(4, 8)).NOTE, note);
        QCOMPARE(f.grid()->cell(f.grid()->selectedRow(), 5), note);
    }

    // The export, read back by Python's CSV reader: a header, the rows shown, times with their
    // offset, quotes and line breaks whole, formulas disarmed; a file only its owner reads.
    void theExportIsReadBackByACsvParser() {
        HistoryFixture f;
        f.select(daysAgo(3, 8), "Amoxicillin");
        plans::DoseLog(f.ctx.db).setNote(f.row(daysAgo(3, 8)).LOGID,
                                         QStringLiteral("=HYPERLINK(\"x\"), then\nsecond line, é"));
        f.find<QComboBox>("cbHistoryPeriod")->setCurrentIndex(0);
        const QString file = f.box.path(QStringLiteral("history.csv"));
        f.ctx.hooks.nextFileNames = {file};
        Messages::clearShown();
        QTest::mouseClick(f.find<QPushButton>("btnExportHistory"), Qt::LeftButton);
        QCOMPARE(Messages::shown(), QStringList({QStringLiteral("7 rows were written to %1.").arg(file)}));
        QCOMPARE(QFile(file).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
        QVERIFY(test::readAll(file).contains("\r\n"));

        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import csv, json, sys\n"
                                     "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                     "    print(json.dumps(list(csv.reader(f))))\n"),
                      file});
        QVERIFY(python.waitForFinished(10000));
        QCOMPARE(python.exitCode(), 0);
        const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), 8);
        QCOMPARE(rows[0].toArray().toVariantList(),
                 QVariantList({"Time", "Medicine / Doctor", "Kind", "Answer", "Answered", "Note"}));
        const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d([+-]\\d\\d:\\d\\d|Z)$"));
        for (int i = 1; i < rows.size(); ++i) {
            const QJsonArray r = rows[i].toArray();
            QCOMPARE(r.size(), 6);
            QVERIFY2(iso.match(r[0].toString()).hasMatch(), qPrintable(r[0].toString()));
            QCOMPARE(QDateTime::fromString(r[0].toString(), Qt::ISODate), dt::toQDateTime(f.page()->rows()[i - 1].EVENTTIME));
        }
        QCOMPARE(rows[1].toArray()[1].toString(), QStringLiteral("Greg House"));
        QCOMPARE(rows[1].toArray()[2].toString(), QStringLiteral("Appointment"));
        QCOMPARE(rows[1].toArray()[3].toString(), QStringLiteral("Attended"));
        const QJsonArray noted = rows[4].toArray(); // three days ago
        QCOMPARE(noted[3].toString(), QStringLiteral("Taken"));
        QCOMPARE(noted[5].toString(), QStringLiteral("'=HYPERLINK(\"x\"), then\nsecond line, é"));

        f.ctx.hooks.nextFileNames = {QStringLiteral("/proc/history.csv")};
        Messages::clearShown();
        QTest::mouseClick(f.find<QPushButton>("btnExportHistory"), Qt::LeftButton);
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY2(Messages::shown()[0].startsWith("Cannot write the history"), qPrintable(Messages::shown()[0]));
    }

    // Another profile shows its own rows; one without any says so and offers nothing to answer.
    void eachProfileSeesItsOwnRows() {
        HistoryFixture f;
        f.find<QComboBox>("cbPatient")->setCurrentIndex(1);
        f.window->cbPatientChange();
        QCOMPARE(f.page()->rows().size(), 1);
        QCOMPARE(f.grid()->cell(1, 2), QStringLiteral("Ibuprofen"));
        f.ctx.db.run(QStringLiteral("DELETE FROM doselog WHERE PATIENTREF = 2"));
        f.page()->reload();
        QCOMPARE(f.find<QLabel>("lblAdherence")->text(), QStringLiteral("No doses in this period."));
        QVERIFY(!f.find<QPushButton>("btnHistoryTaken")->isEnabled());
        QVERIFY(!f.find<QPushButton>("btnExportHistory")->isEnabled());
    }
};

QTEST_MAIN(TestHistory)
#include "test_history.moc"
