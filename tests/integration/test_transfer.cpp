// The real program's command line tasks, read back by tools that know nothing of it: the
// exported calendar expanded by Debian's python3-icalendar and python3-dateutil gives the
// calendar's occurrences; the medicine list's PDF read by pdftotext holds every name, phone and
// schedule, a hostile name literally, and 200 medicines over several pages; an import of a file
// that is no calendar writes nothing.
#include "core/datetime.h"
#include "plans/occurrences.h"
#include "plans/planstore.h"
#include "support/plans.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

using namespace vantrel;

namespace {

const char* kPython = "/usr/bin/python3";

QString program() {
    return qEnvironmentVariable("VANTREL_PLANNER");
}

struct Run {
    int code = -1;
    QString out, err;
};

Run run(const QString& exe, const QStringList& args) {
    QProcess p;
    p.start(exe, args);
    if (!p.waitForFinished(60000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The wall clock of a local date-time value, as the peer prints it.
QString wallClock(double v) {
    return dt::toQDateTime(v).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

bool pythonHasICalendar() {
    return run(QString::fromLatin1(kPython), {"-c", "import icalendar, dateutil"}).code == 0;
}

int addPlan(data::Database& db, const QString& type, int ref, double start, const QString& repeat, QVariant days = {},
            double end = 0) {
    plans::Plan p;
    p.PATIENTREF = 1;
    p.APPTTYPE = type;
    (type == "M" ? p.MEDREF : p.DRREF) = ref;
    p.STARTTIME = start;
    p.ENDTIME = start + 15 * dt::kMinute;
    p.REPTYPE = repeat;
    p.REPDAYS = days;
    p.REPEND = end;
    p.reminder = plans::Reminder{};
    p.reminder->NOTIFTYPE = "P";
    p.reminder->NOTIFMIN = 5;
    p.reminder->NOTIFTEXT = "Now";
    return plans::PlanStore(db).save(p);
}

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT

    test::Sandbox m_box;

    // A household of one with a doctor, two medicines and plans of every repeat kind.
    void seed(const QString& dir, const QString& person) {
        data::Database db(QStringLiteral("seed"));
        db.open(dir);
        db.run("INSERT INTO patient (NAME) VALUES (?)", {person}).finish();
        const int amox = test::addMedicine(db, "Amoxicillin");
        test::addLink(db, "mlref", 1, amox, "RX-4471");
        const int vit = test::addMedicine(db, "Vitamin D");
        test::addLink(db, "mlref", 1, vit);
        const int house = test::addDoctor(db, "Gregory", "House");
        test::addLink(db, "dlref", 1, house);
        db.run("UPDATE doctor SET POFFICE = '(555) 010-2000', PMOBILE = '(555) 010-3000', SPECIALTY = 'Diagnostics'")
            .finish();
        addPlan(db, "M", amox, dt::encode(2026, 12, 11, 8, 0), "X", 3, dt::encode(2027, 1, 31));
        addPlan(db, "M", vit, dt::encode(2026, 3, 2, 21, 30), "W", 246);
        addPlan(db, "M", vit, dt::encode(2026, 1, 5, 7, 15), "D", {}, dt::encode(2026, 11, 15));
        // An appointment a few days from now, so the list shows it among the next 30 days.
        const double soon = std::floor(dt::fromQDateTime(QDateTime::currentDateTime())) + 3 + 10 * dt::kHour;
        addPlan(db, "D", house, soon, "N");
        addPlan(db, "D", house, dt::encode(2026, 2, 1, 16, 45), "X", 14);
    }

private slots:
    void initTestCase() {
        if (program().isEmpty()) QSKIP("VANTREL_PLANNER names no program");
    }

    void exportReadByAnotherReader() {
        if (!pythonHasICalendar()) QSKIP("Debian's python3-icalendar and python3-dateutil are not installed");
        const QString dir = m_box.path("export");
        seed(dir, "Alice Tester");
        const QString ics = m_box.path("alice.ics");
        const Run r = run(program(), {"--data-dir", dir, "--export-ics", ics});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.contains("5 plans were written"));
        QCOMPARE(QFileInfo(ics).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        const Run peer = run(QString::fromLatin1(kPython), {QFINDTESTDATA("expand_ics.py"), ics,
                                                           "2026-01-01T00:00:00", "2027-01-01T00:00:00"});
        QVERIFY2(peer.code == 0, qPrintable(peer.err));
        QSet<QString> theirs;
        for (const QString& line : peer.out.split('\n', Qt::SkipEmptyParts))
            theirs << line;
        QSet<QString> ours;
        data::Database db(QStringLiteral("check"));
        db.open(dir);
        for (const plans::Plan& p : plans::PlanStore(db).loadAll())
            for (const auto& o : plans::occurrences(p, dt::encode(2026, 1, 1), dt::encode(2027, 1, 1)))
                ours << QStringLiteral("vantrel-plan-%1@vantrel-planner %2").arg(p.APPTID).arg(wallClock(o.start));
        QVERIFY(ours.size() > 300);
        QCOMPARE(theirs.size(), ours.size());
        QCOMPARE(theirs, ours);
    }

    void medicineListAsPdf() {
        const QString dir = m_box.path("list");
        const QString hostile = "<b>Bob</b> & \"Co\" 'x'";
        seed(dir, hostile);
        const QString pdf = m_box.path("list.pdf");
        const Run r = run(program(), {"--data-dir", dir, "--print-pdf", pdf, "--profile", hostile});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(QFileInfo(pdf).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        const Run text = run("pdftotext", {"-layout", pdf, "-"});
        if (text.code < 0) QSKIP("pdftotext is not installed");
        // Ligatures ("ffi") read back as one letter, and the layout puts its own blanks.
        const QRegularExpression blanks(" +");
        const QString t = text.out.normalized(QString::NormalizationForm_KC).replace(blanks, " ");
        for (const char* expected : {"Medicine list of <b>Bob</b> & \"Co\" 'x'", "Dr. Gregory House, Diagnostics",
                                     "Office: (555) 010-2000", "Mobile: (555) 010-3000", "Amoxicillin, Rx RX-4471",
                                     "Every 3 days at 8:00 AM, from 12/11/2026 until 1/31/2027",
                                     "Mon, Wed, Fri at 9:30 PM, from 3/2/2026",
                                     "Daily at 7:15 AM, from 1/5/2026 until 11/15/2026", "Vitamin D, no prescription number",
                                     "Appointments in the next 30 days", "10:00 AM  Dr. Gregory House", "Page 1"})
            QVERIFY2(t.contains(QString::fromUtf8(expected).replace(blanks, " ")),
                     qPrintable(QString::fromUtf8(expected) + " not in:\n" + t));
        // A profile that is not there is named, and nothing is written.
        const Run missing = run(program(), {"--data-dir", dir, "--print-pdf", m_box.path("none.pdf"), "--profile", "Nobody"});
        QCOMPARE(missing.code, 1);
        QVERIFY(missing.err.contains("There is no profile named \"Nobody\"."));
        QVERIFY(!QFile::exists(m_box.path("none.pdf")));
    }

    void longListBreaksOverPages() {
        const QString dir = m_box.path("long");
        {
            data::Database db(QStringLiteral("long"));
            db.open(dir);
            db.run("INSERT INTO patient (NAME) VALUES ('Carol')").finish();
            for (int i = 0; i < 200; ++i) {
                const int med = test::addMedicine(db, QStringLiteral("Medicine %1").arg(i, 3, 10, QLatin1Char('0')));
                test::addLink(db, "mlref", 1, med, QStringLiteral("RX-%1").arg(i));
            }
        }
        const QString pdf = m_box.path("long.pdf");
        const Run r = run(program(), {"--data-dir", dir, "--print-pdf", pdf, "--profile", "Carol"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const Run text = run("pdftotext", {pdf, "-"});
        if (text.code < 0) QSKIP("pdftotext is not installed");
        const QStringList pages = text.out.split('\f', Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 4, qPrintable(QString::number(pages.size())));
        for (int i = 0; i < pages.size(); ++i) {
            if (pages[i].trimmed().isEmpty()) continue;
            QVERIFY(pages[i].contains("medicine list of Carol"));
            QVERIFY(pages[i].contains(QStringLiteral("Page %1").arg(i + 1)));
        }
        for (int i = 0; i < 200; ++i)
            QVERIFY(text.out.contains(QStringLiteral("Medicine %1, Rx RX-%2").arg(i, 3, 10, QLatin1Char('0')).arg(i)));
    }

    // Our own export into an empty store; a file that is no calendar writes nothing.
    void importByCommandLine() {
        const QString from = m_box.path("from");
        seed(from, "Alice Tester");
        const QString ics = m_box.path("round.ics");
        QCOMPARE(run(program(), {"--data-dir", from, "--export-ics", ics, "--profile", "Alice Tester"}).code, 0);
        const QString to = m_box.path("to");
        {
            data::Database db(QStringLiteral("to"));
            db.open(to);
            db.run("INSERT INTO patient (NAME) VALUES ('Dana')").finish();
        }
        const QByteArray whole = test::readAll(ics);
        test::writeAll(m_box.path("cut.ics"), whole.left(whole.size() * 2 / 3));
        // A device that never ends is read no further than a calendar may go.
        const Run endless = run(program(), {"--data-dir", to, "--import-ics", "/dev/zero", "--profile", "Dana"});
        QCOMPARE(endless.code, 1);
        QVERIFY2(endless.err.contains("Nothing was imported."), qPrintable(endless.err));
        const Run cut = run(program(), {"--data-dir", to, "--import-ics", m_box.path("cut.ics"), "--profile", "Dana"});
        QCOMPARE(cut.code, 1);
        QVERIFY2(cut.err.contains("cut short") && cut.err.contains("Nothing was imported."), qPrintable(cut.err));
        // A planner at work on the tables (its lock held) keeps them: the task says so and ends.
        {
            QLockFile running(QDir(to).filePath("vantrel-planner.lock"));
            QVERIFY(running.tryLock());
            for (const QStringList& task : {QStringList{"--import-ics", ics, "--profile", "Dana"},
                                            QStringList{"--export-ics", m_box.path("busy.ics")}}) {
                const Run busy = run(program(), QStringList{"--data-dir", to} + task);
                QCOMPARE(busy.code, 1);
                QVERIFY2(busy.err.contains("is running on the tables"), qPrintable(busy.err));
            }
            QVERIFY(!QFile::exists(m_box.path("busy.ics")));
        }
        const Run ok = run(program(), {"--data-dir", to, "--import-ics", ics, "--profile", "Dana"});
        QVERIFY2(ok.code == 0, qPrintable(ok.err + ok.out));
        QVERIFY(ok.out.contains("5 plans were imported."));
        data::Database db(QStringLiteral("after"));
        db.open(to);
        QCOMPARE(test::count(db, "planlist"), 5);
        QCOMPARE(test::count(db, "medicine"), 2);
        QCOMPARE(test::count(db, "doctor"), 1);
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "test_transfer.moc"
